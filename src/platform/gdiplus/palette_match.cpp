#include "palette_match.h"

#include <algorithm>
#include <limits>

#include "pixel_convert.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kMaxEntries = 256;
// Past this many distinct colours the rest are searched each time.
constexpr std::size_t kMaxRemembered = std::size_t{1} << 16;

std::uint32_t Distance(ARGB a, ARGB b) {
  std::uint32_t sum = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += static_cast<std::uint32_t>(d * d);
  }
  return sum;
}

template <std::uint32_t Bits>
void WriteRow(const ARGB* colours, std::uint32_t count, NearestPaletteEntry& nearest, std::uint8_t* row,
              std::uint32_t x) {
  for (std::uint32_t i = 0; i < count; ++i) SetIndexAt<Bits>(row, x + i, nearest.IndexOf(colours[i]));
}

}  // namespace

std::uint8_t NearestPaletteEntry::IndexOf(ARGB colour) {
  if (auto found = known_.find(colour); found != known_.end()) return found->second;
  const std::size_t entries = std::min(palette_.size(), kMaxEntries);
  std::uint8_t best = 0;
  std::uint32_t bestDistance = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t i = 0; i < entries && bestDistance != 0; ++i) {
    const std::uint32_t distance = Distance(colour, palette_[i]);
    if (distance < bestDistance) {
      best = static_cast<std::uint8_t>(i);
      bestDistance = distance;
    }
  }
  if (known_.size() < kMaxRemembered) known_.emplace(colour, best);
  return best;
}

GpStatus WriteNearestIndices(const Frame& source, Frame& target, std::uint32_t x, std::uint32_t y) {
  const PixelFormat format = target.pixels.format();
  if (!IsIndexedPixelFormat(format) || target.palette.empty()) return InvalidParameter;
  // Only the indices the format can hold are candidates.
  const std::size_t addressable = std::size_t{1} << GetPixelFormatSize(format);
  NearestPaletteEntry nearest(std::vector<ARGB>(
      target.palette.begin(), target.palette.begin() + static_cast<std::ptrdiff_t>(std::min(addressable, target.palette.size()))));
  const std::uint32_t width = source.pixels.width();
  std::vector<ARGB> colours(width);
  for (std::uint32_t row = 0; row < source.pixels.height(); ++row) {
    ReadArgb32(source, 0, row, width, colours.data());
    std::uint8_t* out = target.pixels.Row(y + row);
    switch (format) {
      case PixelFormat1bppIndexed:
        WriteRow<1>(colours.data(), width, nearest, out, x);
        break;
      case PixelFormat4bppIndexed:
        WriteRow<4>(colours.data(), width, nearest, out, x);
        break;
      default:
        WriteRow<8>(colours.data(), width, nearest, out, x);
        break;
    }
  }
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
