// Bitmaps over raw pixels: creation from a buffer, locking, single pixels,
// area clones and quarter-turn rotations.

#include <cmath>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "image.h"
#include "image_limits.h"
#include "lock_bits.h"
#include "pixel_convert.h"
#include "rotate_flip.h"
#include "session.h"

namespace pixavue::platform {
namespace {

using gdiplus::CheckBitmap;
using gdiplus::CheckImage;

constexpr ARGB kOpaque = 0xFF000000u;

// The 16 VGA colours in their usual order.
constexpr ARGB kVgaColours[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
    0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// 8bpp: the 16 VGA colours (0-15), 24 greys between black and white
// (16-39, level i * 255 / 25 rounded for i = 1..24), then the 6x6x6 cube of
// levels 0, 51, ..., 255 (40-255, index 40 + 36r + 6g + b). All opaque.
std::vector<ARGB> HalftonePalette() {
  std::vector<ARGB> palette(std::begin(kVgaColours), std::end(kVgaColours));
  for (std::uint32_t i = 1; i <= 24; ++i) {
    const std::uint32_t level = (i * 255 + 12) / 25;
    palette.push_back(kOpaque | (level << 16) | (level << 8) | level);
  }
  for (std::uint32_t r = 0; r < 6; ++r) {
    for (std::uint32_t g = 0; g < 6; ++g) {
      for (std::uint32_t b = 0; b < 6; ++b) palette.push_back(kOpaque | (r * 51 << 16) | (g * 51 << 8) | (b * 51));
    }
  }
  return palette;
}

void SetDefaultPalette(gdiplus::Frame& frame) {
  switch (frame.pixels.format()) {
    case PixelFormat1bppIndexed:
      frame.palette = {0xFF000000, 0xFFFFFFFF};
      frame.paletteFlags = PaletteFlagsGrayScale;
      return;
    case PixelFormat4bppIndexed:
      frame.palette.assign(std::begin(kVgaColours), std::end(kVgaColours));
      frame.paletteFlags = PaletteFlagsHalftone;
      return;
    case PixelFormat8bppIndexed:
      frame.palette = HalftonePalette();
      frame.paletteFlags = PaletteFlagsHalftone;
      return;
    default:
      return;
  }
}

// A caller's buffer needs whole rows aligned to 4 bytes.
bool UsableStride(INT stride, PixelFormat format, INT width) {
  if (stride == 0 || stride % 4 != 0) return false;
  const std::uint64_t magnitude = stride < 0 ? -std::int64_t{stride} : std::int64_t{stride};
  return magnitude >= gdiplus::PackedRowBytes(format, static_cast<std::uint32_t>(width));
}

GpStatus NewBitmap(gdiplus::Frame&& frame, GpBitmap** out) {
  try {
    auto image = std::make_unique<GpImage>();
    image->rawFormat = ImageFormatMemoryBMP;
    image->frame = std::move(frame);
    *out = gdiplus::RegisterImage(std::move(image));
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return Ok;
}

// Checks shared by the single-pixel calls.
GpStatus CheckPixel(const GpBitmap* bitmap, INT x, INT y) {
  const GpStatus status = CheckBitmap(bitmap);
  if (status != Ok) return status;
  if (!gdiplus::AreaInside(GpRect{x, y, 1, 1}, bitmap->frame.pixels)) return InvalidParameter;
  if (!gdiplus::IsSupportedPixelFormat(bitmap->pixelFormat())) return InvalidParameter;
  return bitmap->lock ? WrongState : Ok;
}

// Nearest integer of a coordinate; false when it is not a usable number.
bool RoundCoordinate(REAL value, INT& out) {
  if (!std::isfinite(value) || std::fabs(value) > 1e9f) return false;
  out = static_cast<INT>(std::lround(value));
  return true;
}

}  // namespace

GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap) {
  if (bitmap != nullptr) *bitmap = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (bitmap == nullptr) return InvalidParameter;
  GpStatus status = gdiplus::CheckImageSize(width, height);
  if (status != Ok) return status;
  if (!gdiplus::IsSupportedPixelFormat(format)) return InvalidParameter;
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint32_t>(height);
  gdiplus::Frame frame;
  if (scan0 != nullptr) {
    if (!UsableStride(stride, format, width)) return InvalidParameter;
    frame.pixels = gdiplus::PixelBuffer::Wrap(format, w, h, stride, scan0);
  } else {
    auto pixels = gdiplus::PixelBuffer::Allocate(format, w, h);
    if (!pixels) return OutOfMemory;
    frame.pixels = std::move(*pixels);
  }
  try {
    SetDefaultPalette(frame);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return NewBitmap(std::move(frame), bitmap);
}

GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* source,
                              GpBitmap** clone) {
  if (clone != nullptr) *clone = nullptr;
  GpStatus status = CheckBitmap(source);
  if (status != Ok) return status;
  if (clone == nullptr) return InvalidParameter;
  if (source->lock) return WrongState;
  if (format == PixelFormatDontCare) format = source->pixelFormat();
  gdiplus::Frame frame;
  try {
    status = gdiplus::ConvertArea(source->frame, GpRect{x, y, width, height}, format, frame);
  } catch (const std::bad_alloc&) {
    status = OutOfMemory;
  }
  if (status != Ok) return status;
  return NewBitmap(std::move(frame), clone);
}

GpStatus GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* source,
                             GpBitmap** clone) {
  if (clone != nullptr) *clone = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  INT ix = 0;
  INT iy = 0;
  INT iw = 0;
  INT ih = 0;
  if (!RoundCoordinate(x, ix) || !RoundCoordinate(y, iy) || !RoundCoordinate(width, iw) ||
      !RoundCoordinate(height, ih)) {
    return InvalidParameter;
  }
  return GdipCloneBitmapAreaI(ix, iy, iw, ih, format, source, clone);
}

GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT32 flags, PixelFormat format,
                            BitmapData* lockedData) {
  const GpStatus status = CheckBitmap(bitmap);
  if (status != Ok) return status;
  if (lockedData == nullptr) return InvalidParameter;
  try {
    return gdiplus::LockBits(*bitmap, rect, flags, format, *lockedData);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedData) {
  const GpStatus status = CheckBitmap(bitmap);
  if (status != Ok) return status;
  if (lockedData == nullptr) return InvalidParameter;
  return gdiplus::UnlockBits(*bitmap);
}

GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color) {
  GpStatus status = CheckPixel(bitmap, x, y);
  if (status != Ok) return status;
  if (color == nullptr) return InvalidParameter;
  gdiplus::ReadArgb32(bitmap->frame, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 1, color);
  return Ok;
}

GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color) {
  GpStatus status = CheckPixel(bitmap, x, y);
  if (status != Ok) return status;
  // An index cannot be chosen for a colour here.
  if (IsIndexedPixelFormat(bitmap->pixelFormat())) return InvalidParameter;
  gdiplus::WriteArgb32(bitmap->frame, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 1, &color);
  return Ok;
}

GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType type) {
  const GpStatus status = CheckImage(image);
  if (status != Ok) return status;
  if (type < RotateNoneFlipNone || type > Rotate270FlipX) return InvalidParameter;
  if (image->type == ImageTypeMetafile) return NotImplemented;
  if (image->lock) return WrongState;
  try {
    return gdiplus::RotateFlipFrame(image->frame, type);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace pixavue::platform
