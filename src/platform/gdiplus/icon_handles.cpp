#include "icon_handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <pixavue/platform/gdi/gdi_pixels.h>

#include "dib_handles.h"
#include "image_limits.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// Deletes the bitmaps GetIconInfo handed out.
class IconBitmaps final {
 public:
  ~IconBitmaps() {
    DeleteObject(ToGdiObject(info.hbmMask));
    DeleteObject(ToGdiObject(info.hbmColor));
  }
  ICONINFO info;
};

bool MaskSet(std::uint32_t maskPixel) { return (maskPixel & kWhite) != 0; }

bool HasAlpha(const std::vector<std::uint32_t>& colour) {
  return std::any_of(colour.begin(), colour.end(), [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
}

void ComposeColourIcon(const std::vector<std::uint32_t>& colour, const std::vector<std::uint32_t>& mask,
                       bool ownAlpha, PixelBuffer& out) {
  auto* target = reinterpret_cast<ARGB*>(out.scan0());
  for (std::size_t i = 0; i < colour.size(); ++i) {
    if (ownAlpha) {
      target[i] = colour[i];
    } else {
      target[i] = MaskSet(mask[i]) ? 0 : (0xFF000000u | (colour[i] & kWhite));
    }
  }
}

// The mask holds AND rows [0, height) and XOR rows [height, 2 * height).
void ComposeMonochromeIcon(const std::vector<std::uint32_t>& mask, PixelBuffer& out) {
  auto* target = reinterpret_cast<ARGB*>(out.scan0());
  const std::size_t count = std::size_t{out.width()} * out.height();
  for (std::size_t i = 0; i < count; ++i) {
    target[i] = MaskSet(mask[i]) ? 0 : (MaskSet(mask[count + i]) ? 0xFFFFFFFFu : 0xFF000000u);
  }
}

void WriteMaskBits(const Frame& frame, std::uint8_t* bits, int stride, std::vector<ARGB>& row) {
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
    ReadArgb32(frame, 0, y, frame.pixels.width(), row.data());
    std::uint8_t* line = bits + static_cast<std::ptrdiff_t>(y) * stride;
    for (std::uint32_t x = 0; x < row.size(); ++x) {
      if ((row[x] >> 24) < 128) line[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
  }
}

void WriteColourBits(const Frame& frame, std::uint8_t* bits) {
  auto* target = reinterpret_cast<ARGB*>(bits);
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y, target += frame.pixels.width()) {
    ReadArgb32(frame, 0, y, frame.pixels.width(), target);
  }
}

// A top-down DIB section of the frame's size; null bits on failure.
HBITMAP NewSection(const Frame& frame, std::uint16_t bitCount, void** bits) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biWidth = static_cast<LONG>(frame.pixels.width());
  info.header.biHeight = -static_cast<LONG>(frame.pixels.height());
  info.header.biBitCount = bitCount;
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  return CreateDIBSection(HDC{}, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, 0, 0);
}

}  // namespace

GpStatus FrameFromIcon(HICON icon, Frame& out) {
  IconBitmaps bitmaps;
  if (!GetIconInfo(icon, &bitmaps.info)) return InvalidParameter;
  std::vector<std::uint32_t> mask;
  std::vector<std::uint32_t> colour;
  int width = 0;
  int height = 0;
  if (!ReadBitmapRows32(bitmaps.info.hbmMask, mask, width, height)) return OutOfMemory;
  const bool monochrome = bitmaps.info.hbmColor == HBITMAP{};
  if (monochrome) {
    height /= 2;
  } else if (!ReadBitmapRows32(bitmaps.info.hbmColor, colour, width, height)) {
    return OutOfMemory;
  }
  const GpStatus status = CheckImageSize(width, height);
  if (status != Ok) return status;
  auto pixels = PixelBuffer::Allocate(PixelFormat32bppARGB, static_cast<std::uint32_t>(width),
                                      static_cast<std::uint32_t>(height));
  if (!pixels) return OutOfMemory;
  if (monochrome) {
    ComposeMonochromeIcon(mask, *pixels);
  } else {
    const std::optional<GdiPixels> colourPixels = BitmapPixels(bitmaps.info.hbmColor);
    ComposeColourIcon(colour, mask, colourPixels && colourPixels->bitsPerPixel == 32 && HasAlpha(colour), *pixels);
  }
  Frame frame;
  frame.pixels = std::move(*pixels);
  frame.flags |= ImageFlagsHasAlpha;
  out = std::move(frame);
  return Ok;
}

GpStatus IconFromFrame(const Frame& frame, HICON& out) {
  out = HICON{};
  std::vector<ARGB> row(frame.pixels.width());
  ICONINFO info;
  void* maskBits = nullptr;
  void* colourBits = nullptr;
  info.hbmMask = NewSection(frame, 1, &maskBits);
  info.hbmColor = NewSection(frame, 32, &colourBits);
  if (maskBits != nullptr && colourBits != nullptr) {
    WriteMaskBits(frame, static_cast<std::uint8_t*>(maskBits), BitmapPixels(info.hbmMask)->stride, row);
    WriteColourBits(frame, static_cast<std::uint8_t*>(colourBits));
    out = CreateIconIndirect(&info);
  }
  DeleteObject(ToGdiObject(info.hbmMask));
  DeleteObject(ToGdiObject(info.hbmColor));
  return out == HICON{} ? OutOfMemory : Ok;
}

}  // namespace pixavue::platform::gdiplus
