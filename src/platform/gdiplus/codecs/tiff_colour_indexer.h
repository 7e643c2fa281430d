#pragma once
// Palettes for saving a frame that is not already indexed at the depth
// asked for: the frame's own colours when they fit, otherwise a fixed
// table (16 VGA colours, or a 6x6x6 cube with 40 greys) and the nearest
// entry for each pixel. TIFF colour maps have no alpha, so colours are
// compared without it. Everything is deterministic: exact palettes list
// colours in the order they first appear, row by row.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "../frame.h"
#include "../palette_match.h"

namespace pixavue::platform::gdiplus {

class TiffColourIndexer final {
 public:
  // Scans `frame` for at most `maxColours` (16 or 256) distinct colours.
  TiffColourIndexer(const Frame& frame, std::uint32_t maxColours);

  const std::vector<ARGB>& palette() const { return palette_; }
  // The entry for a pixel: its own colour's, or the nearest one.
  std::uint8_t IndexOf(ARGB colour);

 private:
  std::vector<ARGB> palette_;
  std::unordered_map<ARGB, std::uint8_t> indices_;  // the image's own colours (opaque) to entries
  std::optional<NearestPaletteEntry> nearest_;       // for a fixed table
};

}  // namespace pixavue::platform::gdiplus
