#pragma once
// One decoded picture: its pixels in their own format, its palette (for
// indexed formats) and its resolution.

#include <cstdint>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus {

inline constexpr float kDefaultDpi = 96.0f;

struct Frame final {
  PixelBuffer pixels;
  std::vector<ARGB> palette;  // entries of an indexed format, at most 2^bpp
  std::uint32_t paletteFlags = 0;  // PaletteFlags*
  float dpiX = kDefaultDpi;
  float dpiY = kDefaultDpi;
  // ImageFlags* the decoder knows (colour space, real DPI, alpha); the
  // layer adds the rest.
  std::uint32_t flags = 0;
};

}  // namespace pixavue::platform::gdiplus
