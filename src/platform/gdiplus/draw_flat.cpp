// Image drawing calls of the flat interface.

#include <new>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "draw_image.h"
#include "draw_interception.h"
#include "graphics.h"
#include "image.h"
#include "session.h"

namespace pixavue::platform {
namespace {

GpStatus CheckDraw(const GpGraphics* graphics, const GpImage* image) {
  const GpStatus status = gdiplus::CheckGraphics(graphics);
  return status != Ok ? status : gdiplus::CheckImage(image);
}

GpStatus Draw(GpGraphics* graphics, GpImage* image, const gdiplus::DrawImageRequest& request) {
  try {
    const GpStatus intercepted = gdiplus::InterceptDraw(*graphics, *image, request);
    if (intercepted != Ok) return intercepted;
    return gdiplus::DrawImage(*graphics, *image, request);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpRectF WholeImage(const GpImage& image) {
  return GpRectF{0, 0, static_cast<REAL>(image.width()), static_cast<REAL>(image.height())};
}

}  // namespace

GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth,
                               REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                               const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData) {
  const GpStatus status = CheckDraw(graphics, image);
  if (status != Ok) return status;
  if (srcUnit != UnitPixel) return NotImplemented;
  gdiplus::DrawImageRequest request;
  request.destination = GpRectF{dstx, dsty, dstwidth, dstheight};
  request.source = GpRectF{srcx, srcy, srcwidth, srcheight};
  request.attributes = imageAttributes;
  request.abort = callback;
  request.abortData = callbackData;
  return Draw(graphics, image, request);
}

GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth, INT dstheight,
                                INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData) {
  return GdipDrawImageRectRect(graphics, image, static_cast<REAL>(dstx), static_cast<REAL>(dsty),
                               static_cast<REAL>(dstwidth), static_cast<REAL>(dstheight), static_cast<REAL>(srcx),
                               static_cast<REAL>(srcy), static_cast<REAL>(srcwidth), static_cast<REAL>(srcheight),
                               srcUnit, imageAttributes, callback, callbackData);
}

GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height) {
  const GpStatus status = CheckDraw(graphics, image);
  if (status != Ok) return status;
  gdiplus::DrawImageRequest request;
  request.destination = GpRectF{x, y, width, height};
  request.source = WholeImage(*image);
  return Draw(graphics, image, request);
}

GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
  return GdipDrawImageRect(graphics, image, static_cast<REAL>(x), static_cast<REAL>(y), static_cast<REAL>(width),
                           static_cast<REAL>(height));
}

// At the image's physical size: its pixels scaled by the target's
// resolution over the image's.
GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y) {
  GpStatus status = CheckDraw(graphics, image);
  if (status != Ok) return status;
  gdiplus::DrawTarget target;
  status = gdiplus::ResolveTarget(*graphics, target);
  if (status != Ok) return status;
  const bool metafile = image->type == ImageTypeMetafile;
  const float imageDpiX = metafile ? image->metafile.dpiX : image->frame.dpiX;
  const float imageDpiY = metafile ? image->metafile.dpiY : image->frame.dpiY;
  gdiplus::DrawImageRequest request;
  request.source = WholeImage(*image);
  request.destination =
      GpRectF{static_cast<REAL>(x), static_cast<REAL>(y),
              imageDpiX > 0 ? request.source.Width * target.dpiX / imageDpiX : request.source.Width,
              imageDpiY > 0 ? request.source.Height * target.dpiY / imageDpiY : request.source.Height};
  return Draw(graphics, image, request);
}

}  // namespace pixavue::platform
