#pragma once
// cColor: a 32-bit ARGB colour value with conversions from components and
// from OLE colours (COLORREF layout: red in the lowest byte). Every
// conversion is a byte move; nothing is scaled, clamped or premultiplied.

#include <cstdint>

namespace pixavue {

using ARGB = std::uint32_t;      // alpha << 24 | red << 16 | green << 8 | blue
using COLORREF = std::uint32_t;  // blue << 16 | green << 8 | red; top byte ignored

class cColor final {
 public:
  void FromARGB(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void FromARGBColor(ARGB argb) { Value = argb; }
  void FromRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void FromRGBColor(COLORREF lrgb) { SetFromCOLORREF(lrgb); }

  std::uint8_t GetAlpha() const { return ByteOf(24); }
  std::uint8_t GetRed() const { return ByteOf(16); }
  std::uint8_t GetGreen() const { return ByteOf(8); }
  std::uint8_t GetBlue() const { return ByteOf(0); }
  ARGB GetValue() const { return Value; }

  // Builds an ARGB value from its bytes; leaves Value as it is.
  static constexpr ARGB MakeARGB(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<ARGB>(alpha) << 24 | static_cast<ARGB>(red) << 16 | static_cast<ARGB>(green) << 8 |
           static_cast<ARGB>(blue);
  }

  // Opaque colour from the three low bytes of an OLE colour. The top byte
  // is dropped: a system-colour reference must be resolved by the caller.
  void SetFromCOLORREF(COLORREF lrgb) { Value = OpaqueFromCOLORREF(lrgb); }
  // The ARGB value SetFromCOLORREF would set, for callers without a cColor.
  static ARGB OpaqueFromCOLORREF(COLORREF lrgb);
  void SetValue(ARGB argb) { Value = argb; }

 private:
  std::uint8_t ByteOf(int shift) const { return static_cast<std::uint8_t>((Value >> shift) & 0xFF); }

  ARGB Value = 0;
};

}  // namespace pixavue
