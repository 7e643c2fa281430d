// Placeholder until colour management lands.
#include "icc.h"

namespace pixavue::platform::gdiplus {

GpStatus ApplyIccProfile(Frame&, std::span<const std::uint8_t>) { return Ok; }

}  // namespace pixavue::platform::gdiplus
