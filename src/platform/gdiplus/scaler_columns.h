#pragma once
// Which source columns a horizontal filter reads. Shrinking without a box
// reduction leaves columns no weight touches (nearest neighbour at a
// quarter of the size reads one column in four): reading only the used
// ones, packed together, saves converting the others.

#include <cstdint>
#include <vector>

#include "draw_source.h"

namespace pixavue::platform::gdiplus {

// `first` gives each output's first input of `taps` (inputs are source
// columns from sourceX, `inputCount` of them). When few enough inputs are
// used, sets `reads` to pick just those, renumbers `first` into them and
// sets `inputCount` to their number; otherwise leaves all as they are.
void PickUsedColumns(std::int32_t taps, std::uint32_t sourceX, std::vector<std::int32_t>& first,
                     std::int32_t& inputCount, SourceColumns& reads);

}  // namespace pixavue::platform::gdiplus
