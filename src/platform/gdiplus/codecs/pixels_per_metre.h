#pragma once
// Resolution stored as pixels per metre (BMP headers, PNG pHYs) or per
// centimetre (JPEG, TIFF) and dots per inch, the unit of frames.

#include <cmath>
#include <cstdint>

namespace pixavue::platform::gdiplus {

inline constexpr double kInchesPerMetre = 0.0254;
inline constexpr float kCentimetresPerInch = 2.54f;

inline float DpiFromPixelsPerMetre(std::uint32_t pixelsPerMetre) {
  return static_cast<float>(pixelsPerMetre * kInchesPerMetre);
}

// Rounded to whole pixels per metre; 0 for a resolution that is not
// positive or does not fit in 31 bits.
inline std::uint32_t PixelsPerMetreFromDpi(float dpi) {
  const double ppm = std::round(static_cast<double>(dpi) / kInchesPerMetre);
  return ppm > 0 && ppm < 2147483647.0 ? static_cast<std::uint32_t>(ppm) : 0;
}

}  // namespace pixavue::platform::gdiplus
