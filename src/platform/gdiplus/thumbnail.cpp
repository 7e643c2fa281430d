// Thumbnails: the whole image drawn with high-quality bicubic into a new
// premultiplied 32-bit bitmap.

#include <memory>
#include <new>
#include <utility>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "draw_image.h"
#include "image.h"
#include "image_limits.h"
#include "session.h"

namespace pixavue::platform {
namespace {

constexpr UINT32 kDefaultThumbnailSide = 120;

GpStatus DrawThumbnail(GpImage& image, gdiplus::Frame& frame, GetThumbnailImageAbort callback, void* callbackData) {
  gdiplus::DrawImageRequest request;
  request.destination =
      GpRectF{0, 0, static_cast<REAL>(frame.pixels.width()), static_cast<REAL>(frame.pixels.height())};
  request.source = GpRectF{0, 0, static_cast<REAL>(image.width()), static_cast<REAL>(image.height())};
  request.abort = callback;
  request.abortData = callbackData;
  const gdiplus::ResampleQuality quality = gdiplus::QualityOf(InterpolationModeHighQualityBicubic, PixelOffsetModeHalf);
  if (image.type == ImageTypeMetafile) return gdiplus::DrawMetafile(image, frame, request, quality);
  return gdiplus::DrawFrame(image.frame, frame, request, quality);
}

}  // namespace

GpStatus GdipGetImageThumbnail(GpImage* image, UINT32 thumbWidth, UINT32 thumbHeight, GpImage** thumbImage,
                               GetThumbnailImageAbort callback, void* callbackData) {
  if (thumbImage != nullptr) *thumbImage = nullptr;
  GpStatus status = gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (thumbImage == nullptr) return InvalidParameter;
  if (image->lock) return WrongState;
  if (thumbWidth == 0 && thumbHeight == 0) thumbWidth = thumbHeight = kDefaultThumbnailSide;
  status = gdiplus::CheckImageSize(thumbWidth, thumbHeight);
  if (status != Ok) return status;
  try {
    auto pixels = gdiplus::PixelBuffer::Allocate(PixelFormat32bppPARGB, thumbWidth, thumbHeight);
    if (!pixels) return OutOfMemory;
    auto thumbnail = std::make_unique<GpImage>();
    thumbnail->rawFormat = ImageFormatMemoryBMP;
    thumbnail->frame.pixels = std::move(*pixels);
    status = DrawThumbnail(*image, thumbnail->frame, callback, callbackData);
    if (status != Ok) return status;
    *thumbImage = gdiplus::RegisterImage(std::move(thumbnail));
    return Ok;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace pixavue::platform
