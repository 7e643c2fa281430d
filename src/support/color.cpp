#include <pixavue/support/color.h>

namespace pixavue {

void cColor::FromARGB(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  Value = MakeARGB(alpha, red, green, blue);
}

void cColor::FromRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  Value = MakeARGB(255, red, green, blue);
}

ARGB cColor::OpaqueFromCOLORREF(COLORREF lrgb) {
  const auto byte = [lrgb](int shift) { return static_cast<std::uint8_t>((lrgb >> shift) & 0xFF); };
  return MakeARGB(255, byte(0), byte(8), byte(16));
}

}  // namespace pixavue
