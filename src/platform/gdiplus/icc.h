#pragma once
// Colour management for the colour-managed loading entry points: pixels in
// the colour space of an embedded ICC profile become sRGB.

#include <cstdint>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Converts the frame's pixels (or palette, for indexed frames) in place
// from `profile` to sRGB. A profile that cannot be read, or a pixel format
// it does not apply to, leaves the frame unchanged and still returns Ok,
// so that the image loads as the plain entry points would load it.
GpStatus ApplyIccProfile(Frame& frame, std::span<const std::uint8_t> profile);

}  // namespace pixavue::platform::gdiplus
