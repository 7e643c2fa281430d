#pragma once
// The call every image draw of the flat interface makes before it draws:
// hands the draw to the calling thread's interceptor, if any
// (gdiplus_draw_interceptor.h).

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "draw_image.h"
#include "graphics.h"

namespace pixavue::platform::gdiplus {

// Ok when no interceptor is installed or it lets the draw go ahead;
// otherwise the status it chose.
GpStatus InterceptDraw(const GpGraphics& graphics, const GpImage& image, const DrawImageRequest& request);

}  // namespace pixavue::platform::gdiplus
