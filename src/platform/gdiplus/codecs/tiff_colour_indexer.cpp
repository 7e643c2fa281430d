#include "tiff_colour_indexer.h"

#include <array>

#include "../pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr ARGB kOpaque = 0xFF000000u;

constexpr std::array<ARGB, 16> kVgaColours{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

constexpr std::uint32_t kCubeLevels = 6;
constexpr std::uint32_t kGreys = 40;

// The 216 colours of the cube, then 40 greys strictly between black and
// white.
std::vector<ARGB> CubeAndGreys() {
  std::vector<ARGB> table;
  table.reserve(kCubeLevels * kCubeLevels * kCubeLevels + kGreys);
  for (std::uint32_t r = 0; r < kCubeLevels; ++r) {
    for (std::uint32_t g = 0; g < kCubeLevels; ++g) {
      for (std::uint32_t b = 0; b < kCubeLevels; ++b) table.push_back(kOpaque | (r * 51 << 16) | (g * 51 << 8) | b * 51);
    }
  }
  for (std::uint32_t i = 1; i <= kGreys; ++i) {
    const std::uint32_t v = i * 255 / (kGreys + 1);
    table.push_back(kOpaque | (v << 16) | (v << 8) | v);
  }
  return table;
}

}  // namespace

TiffColourIndexer::TiffColourIndexer(const Frame& frame, std::uint32_t maxColours) {
  const std::uint32_t width = frame.pixels.width();
  std::vector<ARGB> row(width);
  bool exact = true;
  for (std::uint32_t y = 0; y < frame.pixels.height() && exact; ++y) {
    ReadArgb32(frame, 0, y, width, row.data());
    for (ARGB pixel : row) {
      const ARGB colour = pixel | kOpaque;
      if (indices_.count(colour) != 0) continue;
      if (palette_.size() == maxColours) {
        exact = false;
        break;
      }
      indices_.emplace(colour, static_cast<std::uint8_t>(palette_.size()));
      palette_.push_back(colour);
    }
  }
  if (exact) return;
  indices_.clear();
  palette_ = maxColours <= kVgaColours.size() ? std::vector<ARGB>(kVgaColours.begin(), kVgaColours.end())
                                              : CubeAndGreys();
  nearest_.emplace(palette_);
}

std::uint8_t TiffColourIndexer::IndexOf(ARGB colour) {
  colour |= kOpaque;
  const auto found = indices_.find(colour);
  if (found != indices_.end()) return found->second;
  // Every colour of an exact palette is in the map; only fixed tables get
  // here. Colours and table are opaque, so the distance is over RGB.
  return nearest_ ? nearest_->IndexOf(colour) : 0;
}

}  // namespace pixavue::platform::gdiplus
