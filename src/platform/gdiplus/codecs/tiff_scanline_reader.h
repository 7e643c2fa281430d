#pragma once
// Decodes the strips or tiles of the current TIFF directory, in either
// planar configuration, and hands the rows over top to bottom as
// interleaved samples.

#include <cstdint>
#include <functional>

#include <tiffio.h>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "tiff_page_layout.h"

namespace pixavue::platform::gdiplus {

// Receives row `y` as `width` pixels of samplesPerPixel samples each.
using TiffScanlineSink = std::function<void(std::uint32_t y, const std::uint8_t* samples)>;

// InvalidParameter when a strip or tile is missing, damaged or shorter
// than the page needs; OutOfMemory when a buffer cannot be had.
GpStatus ReadTiffScanlines(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink);

}  // namespace pixavue::platform::gdiplus
