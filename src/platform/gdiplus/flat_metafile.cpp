// Metafile images from files, streams and metafile handles, and their
// header.

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_metafile.h>

#include <new>
#include <vector>

#include "codec_registry.h"
#include "file_name.h"
#include "image.h"
#include "load_budget.h"
#include "metafile_description.h"
#include "session.h"
#include "stream_bytes.h"

namespace pixavue::platform {
namespace {

constexpr UINT32 kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kChecksummedWords = 10;

// Deletes a metafile handle the image took over.
template <class Handle, BOOL (*Delete)(Handle)>
class OwnedHandle final : public ImageResource {
 public:
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  ~OwnedHandle() override { Delete(handle_); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

 private:
  Handle handle_;
};

// An image of metafile bytes, not registered yet.
GpStatus DecodeMetafileImage(std::vector<std::uint8_t>&& bytes, std::unique_ptr<GpImage>& out) {
  auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  gdiplus::DecodedImage decoded;
  gdiplus::LoadBudgetScope budget;
  const GpStatus status = gdiplus::DecodeMetafile(shared, {}, decoded);
  if (status != Ok) return status;
  out = gdiplus::ImageFromDecoded(std::move(decoded));
  out->metafileBytes = std::move(shared);
  return Ok;
}

// Registers the image of `bytes`; with `takeOver` the handle is deleted
// with the image. A handle that does not become an image stays the
// caller's.
template <class Handle, BOOL (*Delete)(Handle)>
GpStatus MakeMetafile(std::vector<std::uint8_t>&& bytes, Handle handle, BOOL takeOver, GpMetafile** metafile) {
  std::unique_ptr<GpImage> image;
  const GpStatus status = DecodeMetafileImage(std::move(bytes), image);
  if (status != Ok) return status;
  if (takeOver) image->ownedResource = std::make_unique<OwnedHandle<Handle, Delete>>(handle);
  *metafile = gdiplus::RegisterImage(std::move(image));
  return Ok;
}

// The 22 bytes of a placeable header with the caller's box and units per
// inch; the checksum is computed here.
std::vector<std::uint8_t> PlaceableBytes(const WmfPlaceableFileHeader& header) {
  std::vector<std::uint8_t> out;
  auto put16 = [&out](std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  put16(header.Key & 0xFFFF);
  put16(header.Key >> 16);
  for (INT16 v : {header.Hmf, header.BoundingBoxLeft, header.BoundingBoxTop, header.BoundingBoxRight,
                  header.BoundingBoxBottom, header.Inch}) {
    put16(static_cast<std::uint16_t>(v));
  }
  put16(header.Reserved & 0xFFFF);
  put16(header.Reserved >> 16);
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < kChecksummedWords; ++i)
    checksum ^= static_cast<std::uint16_t>(out[2 * i] | out[2 * i + 1] << 8);
  put16(checksum);
  return out;
}

GpStatus FromWmf(HMETAFILE handle, BOOL deleteWmf, const WmfPlaceableFileHeader* placeable, GpMetafile** metafile) {
  if (placeable != nullptr && placeable->Key != kPlaceableKey) return InvalidParameter;
  const UINT size = GetMetaFileBitsEx(handle, 0, nullptr);
  if (size == 0) return InvalidParameter;
  std::vector<std::uint8_t> bytes = placeable != nullptr ? PlaceableBytes(*placeable) : std::vector<std::uint8_t>{};
  const std::size_t at = bytes.size();
  bytes.resize(at + size);
  if (GetMetaFileBitsEx(handle, size, bytes.data() + at) != size) return InvalidParameter;
  return MakeMetafile<HMETAFILE, DeleteMetaFile>(std::move(bytes), handle, deleteWmf, metafile);
}

GpStatus FromEmf(HENHMETAFILE handle, BOOL deleteEmf, GpMetafile** metafile) {
  const UINT size = GetEnhMetaFileBits(handle, 0, nullptr);
  if (size == 0) return InvalidParameter;
  std::vector<std::uint8_t> bytes(size);
  if (GetEnhMetaFileBits(handle, size, bytes.data()) != size) return InvalidParameter;
  return MakeMetafile<HENHMETAFILE, DeleteEnhMetaFile>(std::move(bytes), handle, deleteEmf, metafile);
}

GpStatus FromBytes(const gdiplus::EncodedBytes& bytes, GpMetafile** metafile) {
  if (gdiplus::DecoderFor(*bytes) != gdiplus::DecodeMetafile) return UnknownImageFormat;
  return gdiplus::LoadImageFromBytes(bytes, false, false, metafile);
}

GpStatus FromFile(const WCHAR* file, GpMetafile** metafile) {
  auto path = gdiplus::PathFromWide(file);
  if (!path) return InvalidParameter;
  gdiplus::EncodedBytes bytes;
  GpStatus status = gdiplus::ReadWholeFile(*path, bytes);
  if (status != Ok) return status;
  return FromBytes(bytes, metafile);
}

GpStatus FromStream(IStream* stream, GpMetafile** metafile) {
  if (stream == nullptr) return InvalidParameter;
  gdiplus::EncodedBytes bytes;
  GpStatus status = gdiplus::ReadRestOfStream(*stream, bytes);
  if (status != Ok) return status;
  return FromBytes(bytes, metafile);
}

// Runs a constructor with the common checks; allocation failures become
// OutOfMemory.
template <class Make>
GpStatus Construct(GpMetafile** metafile, Make make) {
  if (metafile == nullptr) return InvalidParameter;
  *metafile = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  try {
    return make();
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace

GpStatus GdipCreateMetafileFromFile(const WCHAR* file, GpMetafile** metafile) {
  return Construct(metafile, [&] { return FromFile(file, metafile); });
}

GpStatus GdipCreateMetafileFromStream(IStream* stream, GpMetafile** metafile) {
  return Construct(metafile, [&] { return FromStream(stream, metafile); });
}

GpStatus GdipCreateMetafileFromWmf(HMETAFILE hWmf, BOOL deleteWmf, const WmfPlaceableFileHeader* wmfPlaceableFileHeader,
                                   GpMetafile** metafile) {
  return Construct(metafile, [&] { return FromWmf(hWmf, deleteWmf, wmfPlaceableFileHeader, metafile); });
}

GpStatus GdipCreateMetafileFromEmf(HENHMETAFILE hEmf, BOOL deleteEmf, GpMetafile** metafile) {
  return Construct(metafile, [&] { return FromEmf(hEmf, deleteEmf, metafile); });
}

GpStatus GdipGetMetafileHeaderFromMetafile(GpMetafile* metafile, MetafileHeader* header) {
  GpStatus status = header == nullptr ? InvalidParameter : gdiplus::CheckImage(metafile);
  if (status != Ok) return status;
  return gdiplus::DescribeMetafile(*metafile, *header);
}

}  // namespace pixavue::platform
