// The per-thread draw interceptor: tests look at the image draws of their
// own thread, and may fail them, without touching other threads.

#include <pixavue/platform/gdiplus/gdiplus_draw_interceptor.h>

#include <new>
#include <utility>

#include "draw_interception.h"

namespace pixavue::platform {
namespace {

thread_local DrawInterceptor tInterceptor;

}  // namespace

DrawInterceptor SetDrawInterceptor(DrawInterceptor interceptor) {
  return std::exchange(tInterceptor, std::move(interceptor));
}

namespace gdiplus {

GpStatus InterceptDraw(const GpGraphics& graphics, const GpImage& image, const DrawImageRequest& request) {
  if (!tInterceptor) return Ok;
  DrawCall call;
  call.image = &image;
  call.attributes = request.attributes;
  call.interpolation = graphics.interpolation;
  call.pixelOffset = graphics.pixelOffset;
  call.smoothing = graphics.smoothing;
  call.compositing = graphics.compositing;
  call.dstX = request.destination.X;
  call.dstY = request.destination.Y;
  call.dstWidth = request.destination.Width;
  call.dstHeight = request.destination.Height;
  call.srcX = request.source.X;
  call.srcY = request.source.Y;
  call.srcWidth = request.source.Width;
  call.srcHeight = request.source.Height;
  // A copy, so that an interceptor may replace itself while it runs. What
  // it throws does not leave the flat interface.
  try {
    const DrawInterceptor interceptor = tInterceptor;
    return interceptor(call);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  } catch (...) {
    return GenericError;
  }
}

}  // namespace gdiplus
}  // namespace pixavue::platform
