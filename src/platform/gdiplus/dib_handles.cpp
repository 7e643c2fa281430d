#include "dib_handles.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <pixavue/platform/gdi/gdi_pixels.h>

#include "image_limits.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr DWORD kMasks555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr DWORD kMasks565[3] = {0xF800, 0x07E0, 0x001F};
constexpr DWORD kMasks888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

bool MasksAre(const GdiPixels& pixels, const DWORD (&masks)[3]) {
  return std::memcmp(pixels.masks, masks, sizeof masks) == 0;
}

// The format whose rows are the bitmap's rows byte for byte, or Undefined
// when the pixels must be converted.
PixelFormat SameLayoutFormat(const GdiPixels& pixels) {
  switch (pixels.bitsPerPixel) {
    case 1: return PixelFormat1bppIndexed;
    case 4: return PixelFormat4bppIndexed;
    case 8: return PixelFormat8bppIndexed;
    case 16:
      if (MasksAre(pixels, kMasks555)) return PixelFormat16bppRGB555;
      return MasksAre(pixels, kMasks565) ? PixelFormat16bppRGB565 : PixelFormatUndefined;
    case 24: return PixelFormat24bppRGB;
    case 32: return MasksAre(pixels, kMasks888) ? PixelFormat32bppRGB : PixelFormatUndefined;
    default: return PixelFormatUndefined;
  }
}

ARGB Opaque(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return 0xFF000000u | (ARGB{red} << 16) | (ARGB{green} << 8) | blue;
}

GpStatus ReadPalette(const GdiPixels& pixels, HPALETTE palette, std::vector<ARGB>& out) {
  const std::size_t limit = std::size_t{1} << pixels.bitsPerPixel;
  if (palette == HPALETTE{}) {
    for (const RGBQUAD& entry : pixels.colors) out.push_back(Opaque(entry.rgbRed, entry.rgbGreen, entry.rgbBlue));
    return Ok;
  }
  const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
  if (count == 0) return InvalidParameter;
  std::vector<PALETTEENTRY> entries(std::min<std::size_t>(count, limit));
  GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
  for (const PALETTEENTRY& entry : entries) out.push_back(Opaque(entry.peRed, entry.peGreen, entry.peBlue));
  return Ok;
}

void CopyRows(const GdiPixels& source, PixelBuffer& target) {
  const std::size_t bytes = std::min<std::size_t>(static_cast<std::size_t>(source.stride),
                                                  static_cast<std::size_t>(target.stride()));
  for (int y = 0; y < source.height; ++y) {
    const int stored = source.bottomUp ? source.height - 1 - y : y;
    std::memcpy(target.Row(static_cast<std::uint32_t>(y)),
                source.bits + static_cast<std::ptrdiff_t>(stored) * source.stride, bytes);
  }
}

bool IsGrey(const std::vector<ARGB>& palette) {
  return std::all_of(palette.begin(), palette.end(), [](ARGB c) {
    return ((c >> 16) & 0xFF) == (c & 0xFF) && ((c >> 8) & 0xFF) == (c & 0xFF);
  });
}

// (a * b + 127) / 255 for values 0..255.
std::uint32_t Scale(std::uint32_t a, std::uint32_t b) { return (a * b + 127) / 255; }

// Source-over of straight `source` onto straight `background`, premultiplied.
std::uint32_t Composite(ARGB source, ARGB background) {
  const std::uint32_t alpha = source >> 24;
  const std::uint32_t backAlpha = Scale(background >> 24, 255 - alpha);
  std::uint32_t result = std::min<std::uint32_t>(255, alpha + backAlpha) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t value = Scale((source >> shift) & 0xFF, alpha) + Scale((background >> shift) & 0xFF, backAlpha);
    result |= std::min<std::uint32_t>(255, value) << shift;
  }
  return result;
}

}  // namespace

bool ReadBitmapRows32(HBITMAP bitmap, std::vector<std::uint32_t>& rows, int& width, int& height) {
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  if (!pixels) return false;
  width = pixels->width;
  height = pixels->height;
  try {
    rows.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  const HDC screen = GetDC(kNoWindow);
  const int copied = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(kNoWindow, screen);
  return copied == height;
}

GpStatus FrameFromBitmapHandle(HBITMAP bitmap, HPALETTE palette, Frame& out) {
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  if (!pixels) return InvalidParameter;
  GpStatus status = CheckImageSize(pixels->width, pixels->height);
  if (status != Ok) return status;
  const PixelFormat same = SameLayoutFormat(*pixels);
  const PixelFormat format = same == PixelFormatUndefined ? PixelFormat32bppRGB : same;
  Frame frame;
  if (IsIndexedPixelFormat(format)) {
    status = ReadPalette(*pixels, palette, frame.palette);
    if (status != Ok) return status;
    if (IsGrey(frame.palette)) frame.paletteFlags |= PaletteFlagsGrayScale;
  }
  auto buffer = PixelBuffer::Allocate(format, static_cast<std::uint32_t>(pixels->width),
                                      static_cast<std::uint32_t>(pixels->height));
  if (!buffer) return OutOfMemory;
  if (same != PixelFormatUndefined) {
    CopyRows(*pixels, *buffer);
  } else {
    std::vector<std::uint32_t> rows;
    int width = 0;
    int height = 0;
    if (!ReadBitmapRows32(bitmap, rows, width, height)) return OutOfMemory;
    std::memcpy(buffer->scan0(), rows.data(), rows.size() * sizeof rows[0]);
  }
  frame.pixels = std::move(*buffer);
  out = std::move(frame);
  return Ok;
}

GpStatus BitmapHandleFromFrame(const Frame& frame, ARGB background, HBITMAP& out) {
  const std::uint32_t width = frame.pixels.width();
  const std::uint32_t height = frame.pixels.height();
  BITMAPINFO info{};
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biBitCount = 32;
  std::vector<ARGB> row(width);
  void* bits = nullptr;
  const HBITMAP handle = CreateDIBSection(HDC{}, &info, DIB_RGB_COLORS, &bits, 0, 0);
  if (handle == HBITMAP{}) return OutOfMemory;
  auto* target = static_cast<std::uint32_t*>(bits);
  for (std::uint32_t y = 0; y < height; ++y, target += width) {
    ReadArgb32(frame, 0, y, width, row.data());
    for (std::uint32_t x = 0; x < width; ++x) target[x] = Composite(row[x], background);
  }
  out = handle;
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
