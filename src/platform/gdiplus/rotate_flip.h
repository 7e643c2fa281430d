#pragma once
// Rotating a frame by quarter turns and mirroring it, in its own format.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Rotates clockwise by (type & 3) quarter turns, then mirrors left to right
// when type & 4. The result is a new owned buffer (a caller's buffer the
// frame wraps is left untouched); quarter turns swap the sides and the
// resolutions. InvalidParameter for a type outside 0..7 or an unsupported
// format, OutOfMemory when the buffer cannot be allocated.
GpStatus RotateFlipFrame(Frame& frame, RotateFlipType type);

}  // namespace pixavue::platform::gdiplus
