#pragma once
// Reading the rows of a page whose samples need more than the plain row
// conversion: signed integers, floating-point values and L*a*b*. Every
// working buffer is reserved against the load's budget.

#include <tiffio.h>

#include "../pixel_buffer.h"
#include "tiff_page_layout.h"

namespace pixavue::platform::gdiplus {

// Signed 8- or 16-bit samples with their sign bit flipped, then the plan's
// row conversion: the most negative value is darkest, zero mid-grey.
GpStatus ReadSignedRows(TIFF* tif, const TiffPageInfo& info, const TiffPixelPlan& plan, PixelBuffer& pixels);

// Floating-point samples scaled from SMinSampleValue..SMaxSampleValue when
// the page gives a usable range, else from the smallest to the largest
// finite value the page holds (read in a first pass over its rows).
GpStatus ReadFloatRows(TIFF* tif, const TiffPageInfo& info, PixelBuffer& pixels);

// L*a*b* samples converted to sRGB.
GpStatus ReadLabRows(TIFF* tif, const TiffPageInfo& info, PixelBuffer& pixels);

}  // namespace pixavue::platform::gdiplus
