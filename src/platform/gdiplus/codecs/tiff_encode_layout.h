#pragma once
// How a frame is stored at a chosen depth: the TIFF sample layout (tag
// values, colour map) and a function that packs each row of samples.
//
// Depths: 1 keeps a 1-bit frame's bits (black/white palettes become
// min-is-black or min-is-white, other pairs a 2-entry colour map) and
// thresholds anything else at 50% luminance; 4 and 8 keep an indexed
// frame of that depth, otherwise index the frame's colours (exact or
// nearest of a fixed table); 24 is RGB; 32 is RGBA with unassociated
// alpha; 48 and 64 are their 16-bit forms.

#include <cstdint>
#include <functional>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "../frame.h"

namespace pixavue::platform::gdiplus {

struct TiffEncodeLayout final {
  std::uint16_t bitsPerSample = 8;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t photometric = 0;
  bool unassociatedAlpha = false;  // one extra sample
  std::vector<ARGB> colourMap;     // 2^bitsPerSample entries for a palette page
  std::uint64_t rowBytes = 0;
  // Writes row `y` (rowBytes bytes, 16-bit samples in the machine's order).
  std::function<void(std::uint32_t y, std::uint8_t* out)> packRow;
};

// `depth` is 1, 4, 8, 24, 32, 48 or 64.
GpStatus PlanTiffEncoding(const Frame& frame, std::uint32_t depth, TiffEncodeLayout& layout);

}  // namespace pixavue::platform::gdiplus
