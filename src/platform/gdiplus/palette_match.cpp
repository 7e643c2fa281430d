#include "palette_match.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "pixel_convert.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

std::int64_t Distance(ARGB a, ARGB b) {
  std::int64_t sum = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::int64_t d = static_cast<std::int64_t>((a >> shift) & 0xFF) - static_cast<std::int64_t>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

// Remembers each colour's answer: images hold far fewer distinct colours
// than pixels.
class NearestEntry final {
 public:
  explicit NearestEntry(const std::vector<ARGB>& palette, std::uint32_t entries)
      : palette_(palette), entries_(std::min<std::size_t>(palette.size(), entries)) {}

  std::uint32_t IndexOf(ARGB colour) {
    if (auto found = known_.find(colour); found != known_.end()) return found->second;
    std::uint32_t best = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (std::uint32_t i = 0; i < entries_ && bestDistance != 0; ++i) {
      const std::int64_t distance = Distance(colour, palette_[i]);
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    known_.emplace(colour, best);
    return best;
  }

 private:
  const std::vector<ARGB>& palette_;
  std::size_t entries_;  // only indices the format can hold
  std::unordered_map<ARGB, std::uint32_t> known_;
};

template <std::uint32_t Bits>
void WriteRow(const ARGB* colours, std::uint32_t count, NearestEntry& nearest, std::uint8_t* row, std::uint32_t x) {
  for (std::uint32_t i = 0; i < count; ++i) SetIndexAt<Bits>(row, x + i, nearest.IndexOf(colours[i]));
}

}  // namespace

GpStatus WriteNearestIndices(const Frame& source, Frame& target, std::uint32_t x, std::uint32_t y) {
  const PixelFormat format = target.pixels.format();
  if (!IsIndexedPixelFormat(format) || target.palette.empty()) return InvalidParameter;
  NearestEntry nearest(target.palette, 1u << GetPixelFormatSize(format));
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
