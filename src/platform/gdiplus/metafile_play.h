#pragma once
// The record players of the two metafile formats. Each draws the whole
// frame of the metafile (its bounds) onto `target`, a 32bppPARGB buffer.
//
// Ok when the records were played up to the end record or the end of the
// data (or the work budget ran out); InvalidParameter when a record's size
// does not fit the data (what was drawn so far stays in `target`);
// OutOfMemory when the drawing surface cannot be set up.

#include <cstdint>
#include <span>

#include "codec.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus {

GpStatus PlayWmf(std::span<const std::uint8_t> data, const MetafileInfo& info, const PixelBuffer& target,
                 std::uint64_t workBudget);
GpStatus PlayEmf(std::span<const std::uint8_t> data, const MetafileInfo& info, const PixelBuffer& target,
                 std::uint64_t workBudget);

}  // namespace pixavue::platform::gdiplus
