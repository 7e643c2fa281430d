#include <pixavue/support/rounding.h>

#include <cmath>
#include <limits>

namespace pixavue {
namespace {

// Rounds with the default floating-point rounding mode, which is to nearest
// with ties to even, then clamps into [low, high].
double RoundClamped(double value, double low, double high) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded < low) return low;
  if (rounded > high) return high;
  return rounded;
}

}  // namespace

std::int32_t RoundHalfEven(double value) {
  return static_cast<std::int32_t>(RoundClamped(value, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max()));
}

std::int16_t RoundHalfEven16(double value) {
  return static_cast<std::int16_t>(RoundClamped(value, std::numeric_limits<std::int16_t>::min(),
                                                std::numeric_limits<std::int16_t>::max()));
}

}  // namespace pixavue
