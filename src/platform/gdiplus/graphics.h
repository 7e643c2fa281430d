#pragma once
// The object behind GpGraphics*: what it draws into and its quality modes.

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform {

class GpGraphics final {
 public:
  // Exactly one target: a bitmap image, or the bitmap selected into a
  // device context at the time of each call.
  GpImage* image = nullptr;
  HDC dc{};

  SmoothingMode smoothing = SmoothingModeNone;
  PixelOffsetMode pixelOffset = PixelOffsetModeDefault;
  CompositingQuality compositing = CompositingQualityDefault;
  InterpolationMode interpolation = InterpolationModeBilinear;
};

namespace gdiplus {

// GdiplusNotInitialized without a session, InvalidParameter for a pointer
// that is not a live graphics object, else Ok.
GpStatus CheckGraphics(const GpGraphics* graphics);

// The pixels a graphics object draws into, valid for the current call.
struct DrawTarget final {
  Frame frame;  // a view of the target's pixels; empty when it has none
  float dpiX = kDefaultDpi;
  float dpiY = kDefaultDpi;
};

// Finds the target's pixels now. A device context without a bitmap (the
// screen) gives an empty frame: drawing there is clipped away. An image
// target that was disposed gives InvalidParameter, a locked one
// WrongState; a device context that is no longer in the table
// InvalidParameter; OutOfMemory when memory runs out.
GpStatus ResolveTarget(const GpGraphics& graphics, DrawTarget& target);

// True for a handle that names a device context of the graphics table.
bool IsDeviceContext(HDC dc);

}  // namespace gdiplus
}  // namespace pixavue::platform
