#pragma once
// Run-length encoded DIB bits (BI_RLE8 and BI_RLE4), always stored bottom-up.

#include <cstdint>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "../pixel_buffer.h"

namespace pixavue::platform::gdiplus {

// Decodes `bits` into `pixels`, a zeroed 8bppIndexed (RLE8) or 4bppIndexed
// (RLE4) buffer; pixels skipped by a delta or an early end of line keep
// index 0. Ok at the end-of-bitmap code, once every row is ended, or when
// the data ends right after the last pixel; InvalidParameter when the data
// ends earlier or a run or delta leaves the image.
GpStatus DecodeBmpRle(std::span<const std::uint8_t> bits, PixelBuffer& pixels);

}  // namespace pixavue::platform::gdiplus
