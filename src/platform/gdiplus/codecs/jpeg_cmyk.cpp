#include "jpeg_cmyk.h"

namespace pixavue::platform::gdiplus {
namespace {

// a * b / 255, rounded.
std::uint8_t Scale(unsigned a, unsigned b) noexcept {
  const unsigned product = a * b + 128;
  return static_cast<std::uint8_t>((product + (product >> 8)) >> 8);
}

}  // namespace

void CmykToBgrWithoutProfile(const std::uint8_t* cmyk, std::uint8_t* bgr, std::uint32_t count, bool inverted) noexcept {
  const unsigned flip = inverted ? 0 : 255;
  for (std::uint32_t i = 0; i < count; ++i, cmyk += 4, bgr += 3) {
    const unsigned white = cmyk[3] ^ flip;  // 255 - black, in either storage
    bgr[0] = Scale(cmyk[2] ^ flip, white);
    bgr[1] = Scale(cmyk[1] ^ flip, white);
    bgr[2] = Scale(cmyk[0] ^ flip, white);
  }
}

}  // namespace pixavue::platform::gdiplus
