#pragma once
// Writing colours into an indexed image: each colour becomes the index of
// its palette entry, or of the nearest one when the palette lacks it.

#include <cstdint>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Writes every pixel of `source` (any non-indexed format) into the indexed
// `target` with its top-left pixel at (x, y), which must fit. Distance is
// Euclidean over alpha, red, green and blue. InvalidParameter when the
// target is not indexed or has an empty palette.
GpStatus WriteNearestIndices(const Frame& source, Frame& target, std::uint32_t x, std::uint32_t y);

}  // namespace pixavue::platform::gdiplus
