// Bitmaps of the imaging library to and from handles of the graphics table:
// bitmaps and DIB sections, icons and packed DIBs.

#include <memory>
#include <new>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "dib_handles.h"
#include "dib_packed.h"
#include "icon_handles.h"
#include "image.h"
#include "session.h"

namespace pixavue::platform {
namespace {

// Registers a bitmap made in memory from a handle's pixels.
GpStatus Publish(gdiplus::Frame&& frame, GpBitmap** out) {
  auto image = std::make_unique<GpImage>();
  image->rawFormat = ImageFormatMemoryBMP;
  image->frame = std::move(frame);
  *out = gdiplus::RegisterImage(std::move(image));
  return Ok;
}

// Runs `make` (which fills a frame) and registers its result; statuses for
// a missing session or output, and for memory running out.
template <class Make>
GpStatus MakeBitmap(GpBitmap** bitmap, Make make) {
  if (bitmap != nullptr) *bitmap = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (bitmap == nullptr) return InvalidParameter;
  try {
    gdiplus::Frame frame;
    const GpStatus status = make(frame);
    return status == Ok ? Publish(std::move(frame), bitmap) : status;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

// A live, unlocked bitmap image and an output for its handle.
template <class Handle>
GpStatus CheckExport(GpBitmap* bitmap, Handle* out) {
  if (out != nullptr) *out = Handle{};
  const GpStatus status = gdiplus::CheckBitmap(bitmap);
  if (status != Ok) return status;
  if (out == nullptr) return InvalidParameter;
  return bitmap->lock ? WrongState : Ok;
}

}  // namespace

GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap) {
  return MakeBitmap(bitmap,
                      [&](gdiplus::Frame& frame) { return gdiplus::FrameFromBitmapHandle(hbm, hpal, frame); });
}

GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background) {
  const GpStatus status = CheckExport(bitmap, hbmReturn);
  if (status != Ok) return status;
  try {
    return gdiplus::BitmapHandleFromFrame(bitmap->frame, background, *hbmReturn);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipCreateBitmapFromHICON(HICON hicon, GpBitmap** bitmap) {
  return MakeBitmap(bitmap, [&](gdiplus::Frame& frame) { return gdiplus::FrameFromIcon(hicon, frame); });
}

GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* hbmReturn) {
  const GpStatus status = CheckExport(bitmap, hbmReturn);
  if (status != Ok) return status;
  try {
    return gdiplus::IconFromFrame(bitmap->frame, *hbmReturn);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData, GpBitmap** bitmap) {
  return MakeBitmap(bitmap, [&](gdiplus::Frame& frame) {
    if (gdiBitmapInfo == nullptr || gdiBitmapData == nullptr) return InvalidParameter;
    return gdiplus::FrameFromPackedDib(*gdiBitmapInfo, static_cast<std::uint8_t*>(gdiBitmapData), frame);
  });
}

}  // namespace pixavue::platform
