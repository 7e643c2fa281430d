// Where a graphics object's pixels are: the image's own frame, or the bitmap
// selected into a device context, described as a frame of the matching
// pixel format.

#include <new>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include "graphics.h"
#include "image.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

bool HasMasks(const GdiPixels& pixels, DWORD red, DWORD green, DWORD blue) {
  return pixels.masks[0] == red && pixels.masks[1] == green && pixels.masks[2] == blue;
}

// The pixel format a DIB's rows are laid out in; Undefined for layouts the
// imaging formats cannot describe.
PixelFormat FormatOfDib(const GdiPixels& pixels) {
  const bool bitfields = pixels.compression == BI_BITFIELDS;
  switch (pixels.bitsPerPixel) {
    case 1:
      return PixelFormat1bppIndexed;
    case 4:
      return PixelFormat4bppIndexed;
    case 8:
      return PixelFormat8bppIndexed;
    case 16:
      if (!bitfields || HasMasks(pixels, 0x7C00, 0x03E0, 0x001F)) return PixelFormat16bppRGB555;
      return HasMasks(pixels, 0xF800, 0x07E0, 0x001F) ? PixelFormat16bppRGB565 : PixelFormatUndefined;
    case 24:
      return PixelFormat24bppRGB;
    case 32:
      // The alpha byte of a device bitmap is not a colour channel: drawing
      // treats the bitmap as opaque and leaves it opaque.
      if (!bitfields || HasMasks(pixels, 0xFF0000, 0x00FF00, 0x0000FF)) return PixelFormat32bppRGB;
      return PixelFormatUndefined;
    default:
      return PixelFormatUndefined;
  }
}

GpStatus TargetOfDc(HDC dc, DrawTarget& target) {
  if (!IsDeviceContext(dc)) return InvalidParameter;
  const HBITMAP bitmap = SelectedBitmap(dc);
  if (bitmap == HBITMAP{}) return Ok;
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  if (!pixels || pixels->bits == nullptr || pixels->width <= 0 || pixels->height <= 0) return Ok;
  const PixelFormat format = FormatOfDib(*pixels);
  if (format == PixelFormatUndefined) return NotImplemented;
  const auto height = static_cast<std::uint32_t>(pixels->height);
  std::uint8_t* firstRow = pixels->bits;
  std::int32_t stride = pixels->stride;
  if (pixels->bottomUp) {
    firstRow += static_cast<std::ptrdiff_t>(height - 1) * stride;
    stride = -stride;
  }
  target.frame.pixels = PixelBuffer::Wrap(format, static_cast<std::uint32_t>(pixels->width), height, stride, firstRow);
  for (const RGBQUAD& entry : pixels->colors) {
    target.frame.palette.push_back(0xFF000000u | (ARGB{entry.rgbRed} << 16) | (ARGB{entry.rgbGreen} << 8) |
                                   entry.rgbBlue);
  }
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  target.dpiX = dpiX > 0 ? static_cast<float>(dpiX) : kDefaultDpi;
  target.dpiY = dpiY > 0 ? static_cast<float>(dpiY) : kDefaultDpi;
  return Ok;
}

}  // namespace

bool IsDeviceContext(HDC dc) {
  const DWORD type = GetObjectType(ToGdiObject(dc));
  return type == OBJ_DC || type == OBJ_MEMDC;
}

GpStatus ResolveTarget(const GpGraphics& graphics, DrawTarget& target) {
  target = DrawTarget{};
  try {
    if (graphics.image == nullptr) return TargetOfDc(graphics.dc, target);
    if (!IsLiveImage(graphics.image)) return InvalidParameter;
    const GpImage& image = *graphics.image;
    if (image.lock) return WrongState;
    target.frame.pixels = ViewOf(image.frame.pixels);
    target.frame.palette = image.frame.palette;
    target.dpiX = image.frame.dpiX;
    target.dpiY = image.frame.dpiY;
    return Ok;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace pixavue::platform::gdiplus
