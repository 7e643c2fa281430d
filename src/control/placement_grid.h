#pragma once
// ImagePosition and ImageAlignment share one 3 x 3 grid of values: columns
// left {0, 4, 7}, centre {2, 6, 9}, right {1, 5, 8}; rows middle {0, 1, 2},
// top {4, 5, 6}, bottom {7, 8, 9}. A value maps to the fraction of the free
// room (or of the scroll range) that lies before the image: 0, 0.5 or 1.
// The value 3, and any value outside 0..9, names no place.

#include <cstdint>
#include <optional>

namespace pixavue::control {

inline std::optional<double> ColumnFraction(std::int32_t value) {
  switch (value) {
    case 0: case 4: case 7: return 0.0;
    case 2: case 6: case 9: return 0.5;
    case 1: case 5: case 8: return 1.0;
    default: return std::nullopt;
  }
}

inline std::optional<double> RowFraction(std::int32_t value) {
  switch (value) {
    case 4: case 5: case 6: return 0.0;
    case 0: case 1: case 2: return 0.5;
    case 7: case 8: case 9: return 1.0;
    default: return std::nullopt;
  }
}

}  // namespace pixavue::control
