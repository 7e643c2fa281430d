// The image-filter entry point. Only the inversion of 1-bit indexed bitmaps
// is reachable: it complements the stored bits, so that an image whose
// palette was swapped (white first becoming black first) looks the same.

#include <pixavue/engine/image_filter.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// A lock of rect in 1-bit indexed pixels over the caller's rows, released at
// once: reading fills the rows, writing stores them back on the release.
GpStatus LockThroughRows(GpBitmap* bitmap, const GpRect& rect, UINT32 mode, std::int32_t stride,
                         std::vector<BYTE>& rows) {
  BitmapData data;
  data.Width = static_cast<UINT32>(rect.Width);
  data.Height = static_cast<UINT32>(rect.Height);
  data.Stride = stride;
  data.PixelFormat = PixelFormat1bppIndexed;
  data.Scan0 = rows.data();
  const GpStatus status =
      GdipBitmapLockBits(bitmap, &rect, mode | ImageLockModeUserInputBuf, PixelFormat1bppIndexed, &data);
  if (status != Ok) return status;
  return GdipBitmapUnlockBits(bitmap, &data);
}

bool InsideImage(GpImage* image, const GpRect& rect) {
  UINT32 width = 0, height = 0;
  if (GdipGetImageWidth(image, &width) != Ok || GdipGetImageHeight(image, &height) != Ok) return false;
  return rect.X >= 0 && rect.Y >= 0 && rect.Width > 0 && rect.Height > 0 &&
         std::int64_t{rect.X} + rect.Width <= std::int64_t{width} &&
         std::int64_t{rect.Y} + rect.Height <= std::int64_t{height};
}

// Complements every byte of the rectangle's rows, the padding at the end of
// each row included.
GpStatus InvertBits(GpBitmap* bitmap, const GpRect& rect) {
  if (rect.Width == 0 || rect.Height == 0) return Ok;
  // Checked before the rows are allocated, so that a bogus rectangle
  // allocates nothing.
  if (!InsideImage(bitmap, rect)) return InvalidParameter;
  const std::int32_t stride = (rect.Width + 31) / 32 * 4;
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * static_cast<std::size_t>(rect.Height));
  GpStatus status = LockThroughRows(bitmap, rect, ImageLockModeRead, stride, rows);
  if (status != Ok) return status;
  for (BYTE& byte : rows) byte = static_cast<BYTE>(~byte);
  return LockThroughRows(bitmap, rect, ImageLockModeWrite, stride, rows);
}

}  // namespace

QuorvexStatus ApplyImageFilter(std::int32_t filter, ImageId id, const GpRect& rect, float /*strength1*/,
                               float /*strength2*/) {
  GpImage* image = FindSlot(id) >= 0 ? NativeHandle(id) : nullptr;
  if (image == nullptr) return QuorvexStatus::InvalidParameter;
  PixelFormat format = PixelFormatUndefined;
  const GpStatus read = GdipGetImagePixelFormat(image, &format);
  if (read != Ok) return FromImagingStatus(read);
  if (filter != kInvertFilter || format != PixelFormat1bppIndexed) return QuorvexStatus::NotImplemented;
  try {
    return FromImagingStatus(InvertBits(image, rect));
  } catch (const std::bad_alloc&) {
    return QuorvexStatus::OutOfMemory;
  }
}

}  // namespace pixavue::engine
