#pragma once
// Graphics-table handles made from decoded frames, for the picture loader.

#include <pixavue/platform/gdi/gdi_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// A bottom-up DIB section: 1, 4 and 8bppIndexed frames keep their indices
// and palette (alpha dropped); every other format becomes 24 bits. 0 when
// memory runs out.
HBITMAP DibSectionFromFrame(const Frame& frame);

// An icon (or, with isIcon false, a cursor with that hotspot) whose colour
// bitmap holds the frame as 32 bits with alpha and whose mask is set where
// the frame is fully transparent. 0 when memory runs out.
HICON IconFromFrame(const Frame& frame, bool isIcon, DWORD hotspotX, DWORD hotspotY);

}  // namespace pixavue::platform::gdiplus
