#pragma once
// The version of this imaging library, in the four-number file-version form
// "a.b.c.d". It names the level of the documented interface implemented here
// (6.1: bitmaps, frames, property items, encoders and drawing as that level
// defines them), since there is no system library file to read a version
// from.

#include <string_view>

namespace pixavue::platform {

inline constexpr std::string_view kGdiplusVersion = "6.1.0.0";

}  // namespace pixavue::platform
