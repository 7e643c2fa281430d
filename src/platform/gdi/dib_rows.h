#pragma once
// One row of DIB pixels to and from 0x00RRGGBB colours, for the transfers
// between bitmaps of different formats.

#include <cstdint>

#include "dib_format.h"

namespace pixavue::platform::gdi {

// True when rows of both formats hold the same bytes for the same picture.
bool SameLayout(const DibFormat& a, const DibFormat& b) noexcept;

// `format.width` pixels from `row` as 0x00RRGGBB. An index past the colour
// table reads as black.
void ReadRow(const DibFormat& format, const std::uint8_t* row, std::uint32_t* out);

// `format.width` colours into `row`. Indexed formats take the nearest entry
// of the colour table.
void WriteRow(const DibFormat& format, const std::uint32_t* in, std::uint8_t* row);

}  // namespace pixavue::platform::gdi
