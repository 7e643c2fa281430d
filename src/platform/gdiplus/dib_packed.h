#pragma once
// A frame over a packed DIB: a BITMAPINFO (header, masks, colour table) and
// the pixel rows kept separately by the caller.

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Uncompressed rows already in a pixel format of this layer (1/4/8 bits,
// 16 bits 5-5-5 or 5-6-5, 24 bits, 32 bits 8-8-8) are used in place: the
// frame is a view of `bits` (a negative stride for bottom-up rows) and the
// caller keeps them alive. RLE rows (biSizeImage bytes) and other bit masks
// are decoded into owned pixels. Header sizes 40, 52, 56, 108 and 124.
// InvalidParameter for a bad header, UnknownImageFormat for an unsupported
// variant, OutOfMemory above the size limits.
GpStatus FrameFromPackedDib(const BITMAPINFO& info, std::uint8_t* bits, Frame& out);

}  // namespace pixavue::platform::gdiplus
