#pragma once
// A look into the image draws of the calling thread, for tests and
// diagnostics: an interceptor sees every image draw (the GdipDrawImage*
// calls) with the graphics object's settings before it happens, and may
// make it fail with a status of its choice without drawing (to reproduce,
// say, running out of memory in the middle of a render).

#include <functional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform {

struct DrawCall {
  const GpImage* image = nullptr;
  const GpImageAttributes* attributes = nullptr;
  InterpolationMode interpolation = InterpolationModeDefault;
  PixelOffsetMode pixelOffset = PixelOffsetModeDefault;
  SmoothingMode smoothing = SmoothingModeDefault;
  CompositingQuality compositing = CompositingQualityDefault;
  // Destination in device pixels; source in image pixels.
  REAL dstX = 0, dstY = 0, dstWidth = 0, dstHeight = 0;
  REAL srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
};

// Returns Ok to let the draw go ahead, any other status to fail it with
// that status.
using DrawInterceptor = std::function<GpStatus(const DrawCall&)>;

// Installs the interceptor for the calling thread (an empty one removes it)
// and returns the one it replaces.
DrawInterceptor SetDrawInterceptor(DrawInterceptor interceptor);

}  // namespace pixavue::platform
