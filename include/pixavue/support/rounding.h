#pragma once
// Rounding of view arithmetic: to the nearest integer, halves to the even
// neighbour (0.5 -> 0, 1.5 -> 2, 308.5 -> 308), saturating at the limits of
// the target type. NaN gives 0.

#include <cstdint>

namespace pixavue {

std::int32_t RoundHalfEven(double value);
// For 16-bit scroll-bar values.
std::int16_t RoundHalfEven16(double value);

}  // namespace pixavue
