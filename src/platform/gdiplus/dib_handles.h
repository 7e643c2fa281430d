#pragma once
// Frames to and from bitmap handles of the graphics table (gdi.h).

#include <cstdint>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// The bitmap's pixels as top-down 32-bit rows (bytes blue, green, red and
// the fourth byte as stored for 32-bit bitmaps, else 0), through GetDIBits.
// False for a handle that is not a bitmap or when memory runs out.
bool ReadBitmapRows32(HBITMAP bitmap, std::vector<std::uint32_t>& rows, int& width, int& height);

// A copy of the bitmap's pixels: 1/4/8 bits become the indexed formats with
// the colour table (or the entries of `palette`, when given), 16 bits
// RGB555 or RGB565, 24 bits 24bppRGB, 32 bits 32bppRGB; other bit masks
// are converted to 32bppRGB. InvalidParameter for a handle that is not a
// bitmap or a palette handle that is not a palette.
GpStatus FrameFromBitmapHandle(HBITMAP bitmap, HPALETTE palette, Frame& out);

// A new top-down 32-bit DIB section showing `frame` composited over
// `background` with source-over: each result is premultiplied, so an
// opaque background gives plain colours and a transparent one (alpha 0)
// gives the frame as premultiplied ARGB. The caller owns the handle.
GpStatus BitmapHandleFromFrame(const Frame& frame, ARGB background, HBITMAP& out);

}  // namespace pixavue::platform::gdiplus
