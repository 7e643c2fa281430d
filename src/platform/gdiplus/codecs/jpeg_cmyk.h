#pragma once
// CMYK to RGB without a colour profile: each channel is (1 - ink) times
// (1 - black), the way viewers show CMYK files that carry no profile.

#include <cstdint>

namespace pixavue::platform::gdiplus {

// `count` pixels of C, M, Y, K bytes to B, G, R bytes. `inverted` data
// holds 255 - ink, as Adobe applications store CMYK in JPEG files.
void CmykToBgrWithoutProfile(const std::uint8_t* cmyk, std::uint8_t* bgr, std::uint32_t count, bool inverted) noexcept;

}  // namespace pixavue::platform::gdiplus
