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

// How a page's samples are cut into chunks: strips as wide as the page or
// tiles, each of one plane when planes are separate.
struct TiffChunkShape final {
  bool separate = false;
  std::uint32_t width = 0;
  std::uint32_t length = 0;  // a strip within the page, or a tile
  std::uint16_t planes = 1;
};
TiffChunkShape TiffChunkShapeOf(const TiffPageInfo& info);

// The bands of a page, each as tall as a strip or a tile and `rows` tall
// within the page: `chunk` is called for each chunk of the band (each of
// its planes when planes are separate), left to right, and `band` once
// they are all read. The first status other than Ok ends the walk.
using TiffChunkVisitor =
    std::function<GpStatus(std::uint32_t x0, std::uint32_t top, std::uint16_t plane, std::uint32_t rows)>;
using TiffBandVisitor = std::function<void(std::uint32_t top, std::uint32_t rows)>;
GpStatus ForEachTiffBand(const TiffPageInfo& info, const TiffChunkShape& shape, const TiffChunkVisitor& chunk,
                         const TiffBandVisitor& band);

}  // namespace pixavue::platform::gdiplus
