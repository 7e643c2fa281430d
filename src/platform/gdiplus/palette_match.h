#pragma once
// Colours to palette entries: the entry of the same colour, or the nearest
// one when the palette lacks it.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Finds the nearest entry of a palette (Euclidean over alpha, red, green
// and blue; the first of equally near entries). Answers are remembered, as
// images hold far fewer distinct colours than pixels, up to a bound that
// keeps a many-coloured image from growing the memory without limit.
class NearestPaletteEntry final {
 public:
  explicit NearestPaletteEntry(std::vector<ARGB> palette) : palette_(std::move(palette)) {}

  // 0 for an empty palette.
  std::uint8_t IndexOf(ARGB colour);

 private:
  std::vector<ARGB> palette_;  // at most 256 entries are searched
  std::unordered_map<ARGB, std::uint8_t> known_;
};

// Writes every pixel of `source` (any non-indexed format) into the indexed
// `target` with its top-left pixel at (x, y), which must fit, as the index
// of its nearest palette entry among those the format can address.
// InvalidParameter when the target is not indexed or has an empty palette.
GpStatus WriteNearestIndices(const Frame& source, Frame& target, std::uint32_t x, std::uint32_t y);

}  // namespace pixavue::platform::gdiplus
