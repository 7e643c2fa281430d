#pragma once
// Frames to and from icon handles of the graphics table (gdi.h).

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// A 32bppARGB frame of the icon. A 32-bit colour bitmap with any non-zero
// alpha gives its own (straight) alpha; otherwise the colour shows where
// the AND mask is 0 and is transparent where it is 1. A monochrome icon (no
// colour bitmap) reads its double-height mask: AND above, XOR below; the
// screen-inverting pixels (AND 1, XOR 1) become transparent too.
// InvalidParameter for a handle that is not an icon.
GpStatus FrameFromIcon(HICON icon, Frame& out);

// A new icon of the frame: a 32-bit colour bitmap with straight alpha and an
// AND mask set where alpha is below 128. The caller owns it (DestroyIcon).
GpStatus IconFromFrame(const Frame& frame, HICON& out);

}  // namespace pixavue::platform::gdiplus
