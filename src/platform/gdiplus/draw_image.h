#pragma once
// Drawing an image onto a graphics object's target: the geometry of the
// destination and source rectangles, then resampling and compositing.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"
#include "graphics.h"
#include "resample_weights.h"

namespace pixavue::platform::gdiplus {

struct DrawImageRequest final {
  GpRectF destination;  // device pixels; a negative width or height mirrors
  GpRectF source;       // image pixels; a negative width or height mirrors
  const GpImageAttributes* attributes = nullptr;
  DrawImageAbort abort = nullptr;
  void* abortData = nullptr;
};

// Draws a bitmap or metafile image with the graphics object's modes.
// InvalidParameter for coordinates that are not finite or absurdly large,
// a dead image or attributes object; WrongState for a locked image.
GpStatus DrawImage(const GpGraphics& graphics, GpImage& image, const DrawImageRequest& request);

// Draws the `source` frame onto `target` (the part of the source rectangle
// inside the frame, onto the matching part of the destination, clipped to
// the target). Nothing to draw is Ok.
GpStatus DrawFrame(const Frame& source, Frame& target, const DrawImageRequest& request, const ResampleQuality& quality);

// Plays a metafile image into pixels for drawing it at the request's size,
// and draws them (draw_metafile.cpp).
GpStatus DrawMetafile(const GpImage& metafile, Frame& target, const DrawImageRequest& request,
                      const ResampleQuality& quality);

}  // namespace pixavue::platform::gdiplus
