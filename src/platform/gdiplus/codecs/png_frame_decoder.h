#pragma once
// PNG decoding of one image held in memory, shared by the PNG decoder and
// the icon decoder (whose entries may be PNG files).

#include <cstdint>
#include <span>

#include "../codec.h"

namespace pixavue::platform::gdiplus {

enum class PngPixels {
  Closest,  // the pixel format closest to the stored one
  Argb32,   // 32bppARGB whatever is stored, made by libpng row by row
};

// Ok, or InvalidParameter for a damaged or truncated file (a chunk that runs
// past the end of the bytes is refused before libpng reads it),
// OutOfMemory above the size limits or the load's budget.
GpStatus DecodePngFrame(std::span<const std::uint8_t> file, const DecodeOptions& options, PngPixels pixels,
                        Frame& frame);

}  // namespace pixavue::platform::gdiplus
