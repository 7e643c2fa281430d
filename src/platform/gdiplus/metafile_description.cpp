#include "metafile_description.h"

#include <algorithm>
#include <cstring>

#include "byte_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kPlaceableBytes = 22;
constexpr std::uint32_t kEmrComment = 70;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfPlusSignature = 0x2B464D45;  // "EMF+"
constexpr std::uint16_t kEmfPlusHeader = 0x4001;
constexpr INT kScreenDpi = 96;

// The EMF+ header that opens an EMF+ file, inside its first comment record.
struct EmfPlusHeader final {
  bool present = false;
  bool drawsWithGdi = false;  // other records than comments: a dual file
  std::uint32_t size = 0, version = 0, flags = 0, dpiX = 0, dpiY = 0;
};

// Comment record: type, size, data size, then the data: "EMF+" and EMF+
// records (type, flags, size, data size, then for the header: version,
// flags, logical resolutions).
EmfPlusHeader FindEmfPlusHeader(std::span<const std::uint8_t> data, std::size_t at) {
  const ByteReader reader(data);
  EmfPlusHeader out;
  bool first = true;
  while (data.size() - at >= 8) {
    const std::uint32_t type = *reader.U32At(at), size = *reader.U32At(at + 4);
    if (size < 8 || size > data.size() - at || type == kEmrEof) break;
    if (first && type == kEmrComment && reader.U32At(at + 12) == kEmfPlusSignature &&
        reader.U16At(at + 16) == kEmfPlusHeader && size >= 44) {
      out.present = true;
      out.size = *reader.U32At(at + 20);
      out.version = *reader.U32At(at + 28);
      out.flags = *reader.U32At(at + 32);
      out.dpiX = *reader.U32At(at + 36);
      out.dpiY = *reader.U32At(at + 40);
    } else if (type != kEmrComment) {
      out.drawsWithGdi = true;
      if (!out.present) break;
    }
    first = false;
    at += size;
  }
  return out;
}

void DescribeEmf(std::span<const std::uint8_t> data, MetafileHeader& out) {
  std::memcpy(&out.EmfHeader, data.data(), std::min(data.size(), sizeof out.EmfHeader));
  out.Type = MetafileTypeEmf;
  out.Size = out.EmfHeader.nBytes;
  out.Version = out.EmfHeader.nVersion;
  const EmfPlusHeader plus = FindEmfPlusHeader(data, out.EmfHeader.nSize);
  if (!plus.present) return;
  out.Type = plus.drawsWithGdi ? MetafileTypeEmfPlusDual : MetafileTypeEmfPlusOnly;
  out.Version = plus.version;
  out.EmfPlusFlags = plus.flags;
  out.EmfPlusHeaderSize = static_cast<INT>(plus.size);
  out.LogicalDpiX = static_cast<INT>(plus.dpiX);
  out.LogicalDpiY = static_cast<INT>(plus.dpiY);
}

void DescribeWmf(std::span<const std::uint8_t> data, bool placeable, MetafileHeader& out) {
  const std::size_t at = placeable ? kPlaceableBytes : 0;
  out.WmfHeader = METAHEADER{};
  if (data.size() >= at + sizeof out.WmfHeader) std::memcpy(&out.WmfHeader, data.data() + at, sizeof out.WmfHeader);
  out.Type = placeable ? MetafileTypeWmfPlaceable : MetafileTypeWmf;
  out.Size = static_cast<UINT32>(data.size());
  out.Version = out.WmfHeader.mtVersion;
}

}  // namespace

GpStatus DescribeMetafile(const GpImage& image, MetafileHeader& out) {
  if (image.type != ImageTypeMetafile || !image.metafileBytes) return InvalidParameter;
  const std::span<const std::uint8_t> data = *image.metafileBytes;
  out = MetafileHeader{};
  out.LogicalDpiX = out.LogicalDpiY = kScreenDpi;
  if (image.metafile.enhanced) {
    DescribeEmf(data, out);
  } else {
    DescribeWmf(data, image.metafile.placeable, out);
  }
  out.DpiX = image.metafile.dpiX;
  out.DpiY = image.metafile.dpiY;
  const GpRect& bounds = image.metafile.boundsPixels;
  out.X = bounds.X;
  out.Y = bounds.Y;
  out.Width = bounds.Width;
  out.Height = bounds.Height;
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
