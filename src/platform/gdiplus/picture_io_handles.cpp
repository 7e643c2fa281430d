#include "picture_io_handles.h"

#include <algorithm>

#include <pixavue/platform/gdi/gdi.h>

#include "pixel_convert.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

struct DibInfo final {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

GpRect WholeOf(const Frame& frame) {
  return GpRect{0, 0, static_cast<INT>(frame.pixels.width()), static_cast<INT>(frame.pixels.height())};
}

// A bottom-up DIB section of the frame's size and its rows as a pixel
// buffer of `format` (row 0 at the top, so a negative stride).
HBITMAP CreateSection(const Frame& frame, PixelFormat format, DibInfo& info, PixelBuffer& rows) {
  const std::uint32_t width = frame.pixels.width(), height = frame.pixels.height();
  info.header.biWidth = static_cast<LONG>(width);
  info.header.biHeight = static_cast<LONG>(height);
  info.header.biBitCount = static_cast<std::uint16_t>(GetPixelFormatSize(format));
  void* bits = nullptr;
  const HBITMAP bitmap =
      CreateDIBSection(HDC{}, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, 0, 0);
  if (bitmap == HBITMAP{}) return bitmap;
  const std::int32_t stride = StrideFor(format, width);
  auto* bottom = static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(height - 1) * stride;
  rows = PixelBuffer::Wrap(format, width, height, -stride, bottom);
  return bitmap;
}

HBITMAP SectionWithPixels(const Frame& frame, PixelFormat format, DibInfo& info) {
  PixelBuffer rows;
  const HBITMAP bitmap = CreateSection(frame, format, info, rows);
  if (bitmap != HBITMAP{} && CopyPixels(frame, WholeOf(frame), rows, 0, 0) != Ok) {
    DeleteObject(ToGdiObject(bitmap));
    return HBITMAP{};
  }
  return bitmap;
}

// 1 where the pixel is fully transparent, as an icon's AND mask.
HBITMAP MaskOf(const Frame& argb) {
  DibInfo info;
  info.header.biClrUsed = 2;
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  PixelBuffer rows;
  const HBITMAP mask = CreateSection(argb, PixelFormat1bppIndexed, info, rows);
  if (mask == HBITMAP{}) return mask;
  for (std::uint32_t y = 0; y < rows.height(); ++y) {
    const auto* pixels = reinterpret_cast<const ARGB*>(argb.pixels.Row(y));
    for (std::uint32_t x = 0; x < rows.width(); ++x) SetIndexAt<1>(rows.Row(y), x, (pixels[x] >> 24) == 0 ? 1 : 0);
  }
  return mask;
}

}  // namespace

HBITMAP DibSectionFromFrame(const Frame& frame) {
  DibInfo info;
  const PixelFormat source = frame.pixels.format();
  if (!IsIndexedPixelFormat(source)) return SectionWithPixels(frame, PixelFormat24bppRGB, info);
  const std::size_t entries = std::min<std::size_t>(frame.palette.size(), std::size_t{1} << GetPixelFormatSize(source));
  info.header.biClrUsed = static_cast<DWORD>(entries);
  for (std::size_t i = 0; i < entries; ++i) {
    const ARGB c = frame.palette[i];
    info.colors[i] = RGBQUAD{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                             static_cast<std::uint8_t>(c >> 16), 0};
  }
  return SectionWithPixels(frame, source, info);
}

HICON IconFromFrame(const Frame& frame, bool isIcon, DWORD hotspotX, DWORD hotspotY) {
  Frame argb;
  if (ConvertArea(frame, WholeOf(frame), PixelFormat32bppARGB, argb) != Ok) return HICON{};
  DibInfo info;
  ICONINFO parts;
  parts.fIcon = isIcon ? 1 : 0;
  parts.xHotspot = hotspotX;
  parts.yHotspot = hotspotY;
  parts.hbmColor = SectionWithPixels(argb, PixelFormat32bppARGB, info);
  parts.hbmMask = MaskOf(argb);
  const HICON icon =
      parts.hbmColor != HBITMAP{} && parts.hbmMask != HBITMAP{} ? CreateIconIndirect(&parts) : HICON{};
  DeleteObject(ToGdiObject(parts.hbmColor));
  DeleteObject(ToGdiObject(parts.hbmMask));
  return icon;
}

}  // namespace pixavue::platform::gdiplus
