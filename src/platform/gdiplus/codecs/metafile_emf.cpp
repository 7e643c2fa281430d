#include <cmath>

#include "../byte_reader.h"
#include "metafile_headers.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520u;  // " EMF"
constexpr std::uint32_t kMinHeaderBytes = 88;
constexpr double kHundredthsOfMmPerInch = 2540.0;

struct EmfRect final {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

EmfRect RectAt(const ByteReader& reader, std::size_t at) {
  auto value = [&](std::size_t i) { return static_cast<std::int32_t>(*reader.U32At(at + i * 4)); };
  return EmfRect{value(0), value(1), value(2), value(3)};
}

std::int32_t I32At(const ByteReader& reader, std::size_t at) { return static_cast<std::int32_t>(*reader.U32At(at)); }

float DpiFrom(std::int32_t devicePixels, std::int32_t millimetres) {
  if (devicePixels <= 0 || millimetres <= 0) return kDefaultDpi;
  return static_cast<float>(devicePixels * 25.4 / millimetres);
}

INT Scaled(std::int64_t hundredthsOfMm, float dpi) {
  const double pixels = std::round(static_cast<double>(hundredthsOfMm) * dpi / kHundredthsOfMmPerInch);
  // Far outside any valid size; CheckMetafileBounds refuses it.
  if (pixels > 0x7FFFFFFF || pixels < -0x7FFFFFFF) return pixels > 0 ? 0x7FFFFFFF : -0x7FFFFFFF;
  return static_cast<INT>(pixels);
}

// Frame (0.01 mm, inclusive) at the device resolution; the device bounds
// (inclusive pixels) when the frame is empty.
GpRect BoundsFrom(const EmfRect& frame, const EmfRect& bounds, float dpiX, float dpiY) {
  if (frame.right > frame.left && frame.bottom > frame.top) {
    return GpRect{Scaled(frame.left, dpiX), Scaled(frame.top, dpiY),
                  Scaled(std::int64_t{frame.right} - frame.left, dpiX),
                  Scaled(std::int64_t{frame.bottom} - frame.top, dpiY)};
  }
  const std::int64_t width = std::int64_t{bounds.right} - bounds.left + 1;
  const std::int64_t height = std::int64_t{bounds.bottom} - bounds.top + 1;
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return GpRect{};
  return GpRect{bounds.left, bounds.top, static_cast<INT>(width), static_cast<INT>(height)};
}

}  // namespace

GpStatus ReadEmfHeader(std::span<const std::uint8_t> data, MetafileInfo& out) {
  const ByteReader reader(data);
  if (data.size() < kMinHeaderBytes) return InvalidParameter;
  const std::uint32_t type = *reader.U32At(0), headerBytes = *reader.U32At(4);
  const std::uint32_t signature = *reader.U32At(40), fileBytes = *reader.U32At(48);
  if (type != kEmrHeader || signature != kEmfSignature) return InvalidParameter;
  if (headerBytes < kMinHeaderBytes || headerBytes > data.size()) return InvalidParameter;
  if (fileBytes < headerBytes || fileBytes > data.size()) return InvalidParameter;
  const EmfRect bounds = RectAt(reader, 8), frame = RectAt(reader, 24);
  out.enhanced = true;
  out.placeable = false;
  out.dpiX = DpiFrom(I32At(reader, 72), I32At(reader, 80));
  out.dpiY = DpiFrom(I32At(reader, 76), I32At(reader, 84));
  out.boundsPixels = BoundsFrom(frame, bounds, out.dpiX, out.dpiY);
  return CheckMetafileBounds(out.boundsPixels);
}

}  // namespace pixavue::platform::gdiplus
