#include <optional>

#include "../byte_reader.h"
#include "metafile_headers.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kPlaceableBytes = 22;
constexpr std::size_t kStandardHeaderBytes = 18;
constexpr std::uint16_t kChecksummedWords = 10;
constexpr std::uint16_t kEofFunction = 0x0000;
constexpr std::uint16_t kSetWindowOrg = 0x020B;
constexpr std::uint16_t kSetWindowExt = 0x020C;

// The 18-byte header every WMF has, at `at`.
bool StandardHeaderValid(const ByteReader& reader, std::size_t at) {
  const auto type = reader.U16At(at);
  const auto headerWords = reader.U16At(at + 2);
  const auto version = reader.U16At(at + 4);
  if (!type || !headerWords || !version || reader.size() < at + kStandardHeaderBytes) return false;
  return (*type == 1 || *type == 2) && *headerWords == 9 && (*version == 0x100 || *version == 0x300);
}

GpStatus ReadPlaceable(std::span<const std::uint8_t> data, MetafileInfo& out) {
  ByteReader reader(data);
  if (data.size() < kPlaceableBytes) return InvalidParameter;
  std::uint16_t checksum = 0;
  for (std::uint16_t i = 0; i < kChecksummedWords; ++i) checksum ^= *reader.U16At(std::size_t{i} * 2);
  if (checksum != *reader.U16At(20)) return InvalidParameter;
  reader.Seek(6);  // key, handle
  const std::int16_t left = *reader.I16(), top = *reader.I16(), right = *reader.I16(), bottom = *reader.I16();
  const std::uint16_t unitsPerInch = *reader.U16();
  if (unitsPerInch == 0 || unitsPerInch > kMaxWmfUnitsPerInch) return InvalidParameter;
  if (!StandardHeaderValid(reader, kPlaceableBytes)) return InvalidParameter;
  out.placeable = true;
  out.dpiX = out.dpiY = unitsPerInch;
  out.boundsPixels = GpRect{left, top, right - left, bottom - top};
  return CheckMetafileBounds(out.boundsPixels);
}

struct WindowSetup final {
  std::optional<GpRect> origin;  // X, Y only
  std::optional<GpRect> extent;  // Width, Height only
};

// Walks the records (size in 16-bit words, then the function) up to the
// end record; every record must lie inside the file.
GpStatus ScanWindowRecords(std::span<const std::uint8_t> data, WindowSetup& window) {
  ByteReader reader(data);
  std::size_t at = kStandardHeaderBytes;
  for (;;) {
    const auto words = reader.U32At(at);
    const auto function = reader.U16At(at + 4);
    if (!words || !function || *words < 3 || *words > (data.size() - at) / 2) return InvalidParameter;
    if (*function == kEofFunction) return Ok;
    const auto first = reader.U16At(at + 6), second = reader.U16At(at + 8);
    if (first && second && *words >= 5) {
      // Both records store y (or height) before x (or width).
      const auto y = static_cast<std::int16_t>(*first), x = static_cast<std::int16_t>(*second);
      if (*function == kSetWindowOrg && !window.origin) window.origin = GpRect{x, y, 0, 0};
      if (*function == kSetWindowExt && !window.extent) window.extent = GpRect{0, 0, x, y};
    }
    at += std::size_t{*words} * 2;
  }
}

GpStatus ReadPlain(std::span<const std::uint8_t> data, MetafileInfo& out) {
  if (!StandardHeaderValid(ByteReader(data), 0)) return InvalidParameter;
  WindowSetup window;
  GpStatus status = ScanWindowRecords(data, window);
  if (status != Ok) return status;
  if (!window.extent) return InvalidParameter;
  const GpRect origin = window.origin.value_or(GpRect{});
  // A negative extent flips the axis; the picture is as large either way.
  const INT width = window.extent->Width < 0 ? -window.extent->Width : window.extent->Width;
  const INT height = window.extent->Height < 0 ? -window.extent->Height : window.extent->Height;
  out.placeable = false;
  out.dpiX = out.dpiY = kDefaultDpi;
  out.boundsPixels = GpRect{origin.X, origin.Y, width, height};
  return CheckMetafileBounds(out.boundsPixels);
}

}  // namespace

bool WmfSetsWindowExtent(std::span<const std::uint8_t> metafile) {
  WindowSetup window;
  return ScanWindowRecords(metafile, window) == Ok && window.extent.has_value();
}

GpStatus ReadWmfHeader(std::span<const std::uint8_t> data, MetafileInfo& out) {
  const auto key = ByteReader(data).U32At(0);
  if (!key) return InvalidParameter;
  out.enhanced = false;
  return *key == kPlaceableKey ? ReadPlaceable(data, out) : ReadPlain(data, out);
}

}  // namespace pixavue::platform::gdiplus
