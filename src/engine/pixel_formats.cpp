// Bits per pixel of the pixel formats the store knows, and the row stride of
// the buffers it allocates.

#include <cstdint>
#include <limits>

#include <pixavue/engine/image_store.h>

namespace pixavue::engine {

using namespace pixavue::platform;

std::int32_t BitsPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat1bppIndexed:
      return 1;
    case PixelFormat4bppIndexed:
      return 4;
    case PixelFormat8bppIndexed:
      return 8;
    case PixelFormat16bppRGB555:
    case PixelFormat16bppRGB565:
    case PixelFormat16bppARGB1555:
    case PixelFormat16bppGrayScale:
      return 16;
    case PixelFormat24bppRGB:
      return 24;
    case PixelFormat32bppRGB:
    case PixelFormat32bppPARGB:
    case PixelFormat32bppARGB:
      return 32;
    case PixelFormat48bppRGB:
      return 48;
    case PixelFormat64bppARGB:
    case PixelFormat64bppPARGB:
      return 64;
    default:
      return 0;
  }
}

std::int32_t StrideForBits(std::int32_t bitsPerPixel, std::int32_t width) {
  if (width <= 0) return 0;
  const std::int64_t w = width;
  std::int64_t stride = 0;
  switch (bitsPerPixel) {
    case 1:
      stride = 4 * ((w + 31) / 32);
      break;
    case 4:
      stride = 16 * ((w + 31) / 32);  // more than a row needs, as the buffers always were
      break;
    case 8:
      stride = 4 * ((w + 3) / 4);
      break;
    case 16:
      stride = (2 * w + 2) / 4 * 4;
      break;
    case 24:
      stride = (3 * w + 3) / 4 * 4;
      break;
    case 32:
      stride = 4 * w;
      break;
    case 48:
      stride = (6 * w + 6) / 8 * 8;
      break;
    case 64:
      stride = 8 * w;
      break;
    default:
      return 0;
  }
  return stride > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::int32_t>(stride);
}

bool IsIndexedFormat(PixelFormat format) { return (format & PixelFormatIndexed) != 0; }

}  // namespace pixavue::engine
