#include "lock_bits.h"

#include <cstdlib>
#include <utility>

#include "palette_match.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

GpRect WholeImage(const PixelBuffer& pixels) {
  return GpRect{0, 0, static_cast<INT>(pixels.width()), static_cast<INT>(pixels.height())};
}

GpStatus CheckRequest(const GpImage& image, const GpRect& rect, std::uint32_t flags, PixelFormat format) {
  const PixelBuffer& pixels = image.frame.pixels;
  if (!AreaInside(rect, pixels)) return InvalidParameter;
  if ((flags & (ImageLockModeRead | ImageLockModeWrite)) == 0) return InvalidParameter;
  if (!IsSupportedPixelFormat(format) || !IsSupportedPixelFormat(pixels.format())) return InvalidParameter;
  // Indices mean nothing outside their own palette.
  if (IsIndexedPixelFormat(format) && format != pixels.format()) return InvalidParameter;
  return Ok;
}

// The caller's rows, as described by data.Scan0 and data.Stride.
GpStatus CallerBuffer(const BitmapData& data, const GpRect& rect, PixelFormat format, PixelBuffer& out) {
  const auto width = static_cast<std::uint32_t>(rect.Width);
  const std::int64_t stride = data.Stride;
  if (data.Scan0 == nullptr || stride == 0) return InvalidParameter;
  if (static_cast<std::uint64_t>(std::llabs(stride)) < PackedRowBytes(format, width)) return InvalidParameter;
  out = PixelBuffer::Wrap(format, width, static_cast<std::uint32_t>(rect.Height), data.Stride,
                          static_cast<std::uint8_t*>(data.Scan0));
  return Ok;
}

// A view of the image's own rows starting at the rect; only when the rect
// starts on a byte boundary.
bool DirectView(const PixelBuffer& pixels, const GpRect& rect, PixelFormat format, PixelBuffer& out) {
  const std::uint64_t firstBit = std::uint64_t{static_cast<std::uint32_t>(rect.X)} * GetPixelFormatSize(format);
  if (format != pixels.format() || firstBit % 8 != 0) return false;
  std::uint8_t* scan0 = pixels.Row(static_cast<std::uint32_t>(rect.Y)) + firstBit / 8;
  out = PixelBuffer::Wrap(format, static_cast<std::uint32_t>(rect.Width), static_cast<std::uint32_t>(rect.Height),
                          pixels.stride(), scan0);
  return true;
}

}  // namespace

GpStatus LockBits(GpImage& image, const GpRect* requested, std::uint32_t flags, PixelFormat format, BitmapData& data) {
  if (image.lock) return WrongState;
  const GpRect rect = requested != nullptr ? *requested : WholeImage(image.frame.pixels);
  GpStatus status = CheckRequest(image, rect, flags, format);
  if (status != Ok) return status;

  ImageLock lock;
  lock.rect = rect;
  lock.flags = flags;
  lock.format = format;
  PixelBuffer handedOut;
  if ((flags & ImageLockModeUserInputBuf) != 0) {
    status = CallerBuffer(data, rect, format, handedOut);
    if (status != Ok) return status;
    lock.conversion = ViewOf(handedOut);  // written back at the unlock
  } else if (!DirectView(image.frame.pixels, rect, format, handedOut)) {
    auto converted =
        PixelBuffer::Allocate(format, static_cast<std::uint32_t>(rect.Width), static_cast<std::uint32_t>(rect.Height));
    if (!converted) return OutOfMemory;
    handedOut = ViewOf(*converted);
    lock.conversion = std::move(*converted);
  }
  if (lock.conversion && (flags & ImageLockModeRead) != 0) {
    status = CopyPixels(image.frame, rect, handedOut, 0, 0);
    if (status != Ok) return status;
  }

  data.Width = handedOut.width();
  data.Height = handedOut.height();
  data.Stride = handedOut.stride();
  data.PixelFormat = format;
  data.Scan0 = handedOut.scan0();
  data.Reserved = 0;
  image.lock = std::move(lock);
  return Ok;
}

GpStatus UnlockBits(GpImage& image) {
  if (!image.lock) return WrongState;
  const ImageLock lock = std::move(*image.lock);
  image.lock.reset();
  if ((lock.flags & ImageLockModeWrite) == 0 || !lock.conversion) return Ok;
  Frame view;
  view.pixels = ViewOf(*lock.conversion);
  const auto x = static_cast<std::uint32_t>(lock.rect.X);
  const auto y = static_cast<std::uint32_t>(lock.rect.Y);
  // Colours written into an indexed image take their palette entries.
  if (IsIndexedPixelFormat(image.frame.pixels.format()) && lock.format != image.frame.pixels.format()) {
    return WriteNearestIndices(view, image.frame, x, y);
  }
  return CopyPixels(view, WholeImage(view.pixels), image.frame.pixels, x, y);
}

}  // namespace pixavue::platform::gdiplus
