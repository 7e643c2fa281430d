#pragma once
// Shared by the image-decoder fuzz targets: reads every row end and palette
// entry of a decoded frame, so that a row or palette shorter than it claims
// shows up under the sanitizers.

#include <cstddef>
#include <cstdint>

#include "frame.h"

namespace pixavue::fuzz {

inline void TouchFrame(const platform::gdiplus::Frame& frame) {
  const platform::gdiplus::PixelBuffer& pixels = frame.pixels;
  const std::size_t rowBytes = static_cast<std::size_t>(pixels.stride());
  volatile std::uint8_t sink = 0;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    const std::uint8_t* row = pixels.Row(y);
    sink = static_cast<std::uint8_t>(sink + row[0] + row[rowBytes - 1]);
  }
  for (platform::ARGB colour : frame.palette) sink = static_cast<std::uint8_t>(sink + colour);
}

}  // namespace pixavue::fuzz
