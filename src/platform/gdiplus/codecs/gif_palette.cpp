#include "gif_palette.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "../pixel_convert.h"
#include "../pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kMaxColours = 256;
constexpr ARGB kTransparentKey = 0x00000000u;
constexpr std::uint8_t kCubeLevels = 6;
constexpr std::uint8_t kGreyLevels = 39;
constexpr std::uint8_t kQuantisedTransparentIndex = 255;

std::size_t TableSizeFor(std::size_t colours) {
  std::size_t size = 2;
  while (size < colours) size *= 2;
  return size;
}

ARGB Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

ARGB KeyOf(ARGB colour) { return (colour >> 24) < 128 ? kTransparentKey : (colour | 0xFF000000u); }

template <std::uint32_t Bits>
void CopyIndices(const Frame& frame, std::vector<std::uint8_t>& indices) {
  const PixelBuffer& pixels = frame.pixels;
  std::size_t at = 0;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    const std::uint8_t* row = pixels.Row(y);
    for (std::uint32_t x = 0; x < pixels.width(); ++x) indices[at++] = static_cast<std::uint8_t>(IndexAt<Bits>(row, x));
  }
}

GpStatus FromIndexed(const Frame& frame, GifIndexedPicture& out) {
  const std::uint32_t bits = GetPixelFormatSize(frame.pixels.format());
  const std::size_t tableSize = std::size_t{1} << bits;
  out.palette.assign(tableSize, 0xFF000000u);
  std::copy_n(frame.palette.begin(), std::min(tableSize, frame.palette.size()), out.palette.begin());
  for (std::size_t i = 0; i < std::min(tableSize, frame.palette.size()); ++i) {
    if ((frame.palette[i] >> 24) == 0) {
      out.transparentIndex = static_cast<std::uint8_t>(i);
      break;
    }
  }
  if (bits == 1) CopyIndices<1>(frame, out.indices);
  if (bits == 4) CopyIndices<4>(frame, out.indices);
  if (bits == 8) CopyIndices<8>(frame, out.indices);
  return Ok;
}

// The fixed table used when a frame has more than 256 colours.
std::vector<ARGB> QuantisedTable() {
  std::vector<ARGB> table;
  table.reserve(kMaxColours);
  for (std::uint32_t r = 0; r < kCubeLevels; ++r) {
    for (std::uint32_t g = 0; g < kCubeLevels; ++g) {
      for (std::uint32_t b = 0; b < kCubeLevels; ++b) table.push_back(Opaque(r * 51, g * 51, b * 51));
    }
  }
  for (std::uint32_t i = 1; i <= kGreyLevels; ++i) {
    const std::uint32_t v = (i * 255 + (kGreyLevels + 1) / 2) / (kGreyLevels + 1);
    table.push_back(Opaque(v, v, v));
  }
  table.push_back(0x00000000u);
  return table;
}

std::uint32_t SquaredDistance(ARGB a, ARGB b) {
  std::uint32_t sum = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += static_cast<std::uint32_t>(d * d);
  }
  return sum;
}

// The nearest cube entry is the nearest level on each axis; the nearest
// grey is the one nearest the channel mean. The closer of the two wins.
std::uint8_t NearestQuantised(ARGB colour, const std::vector<ARGB>& table) {
  if ((colour >> 24) < 128) return kQuantisedTransparentIndex;
  auto level = [](std::uint32_t v) { return (v + 25) / 51; };
  const std::uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
  const auto cube = static_cast<std::uint8_t>(level(r) * 36 + level(g) * 6 + level(b));
  const std::uint32_t mean = (r + g + b + 1) / 3;
  const std::uint32_t step = (mean * (kGreyLevels + 1) + 127) / 255;
  const std::uint32_t greyIndex = std::clamp<std::uint32_t>(step, 1, kGreyLevels);
  const auto grey = static_cast<std::uint8_t>(kCubeLevels * kCubeLevels * kCubeLevels - 1 + greyIndex);
  return SquaredDistance(colour, table[grey]) < SquaredDistance(colour, table[cube]) ? grey : cube;
}

// Exact colours in order of first appearance; false past 256 of them.
bool TryExactColours(const Frame& frame, GifIndexedPicture& out) {
  const PixelBuffer& pixels = frame.pixels;
  std::unordered_map<ARGB, std::uint8_t> lookup;
  std::vector<ARGB> colours;
  std::vector<ARGB> row(pixels.width());
  std::size_t at = 0;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    ReadArgb32(frame, 0, y, pixels.width(), row.data());
    for (ARGB pixel : row) {
      const ARGB key = KeyOf(pixel);
      auto [entry, added] = lookup.try_emplace(key, static_cast<std::uint8_t>(colours.size()));
      if (added) {
        if (colours.size() == kMaxColours) return false;
        if (key == kTransparentKey) out.transparentIndex = entry->second;
        colours.push_back(key);
      }
      out.indices[at++] = entry->second;
    }
  }
  out.palette = std::move(colours);
  out.palette.resize(TableSizeFor(out.palette.size()), 0xFF000000u);
  return true;
}

void Quantise(const Frame& frame, GifIndexedPicture& out) {
  const PixelBuffer& pixels = frame.pixels;
  out.palette = QuantisedTable();
  out.transparentIndex.reset();
  std::vector<ARGB> row(pixels.width());
  std::size_t at = 0;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    ReadArgb32(frame, 0, y, pixels.width(), row.data());
    for (ARGB pixel : row) {
      const std::uint8_t index = NearestQuantised(pixel, out.palette);
      if (index == kQuantisedTransparentIndex) out.transparentIndex = index;
      out.indices[at++] = index;
    }
  }
}

}  // namespace

GpStatus ToGifIndexed(const Frame& frame, GifIndexedPicture& out) {
  const PixelFormat format = frame.pixels.format();
  if (frame.pixels.empty() || !IsSupportedPixelFormat(format)) return InvalidParameter;
  out = GifIndexedPicture{};
  out.indices.resize(static_cast<std::size_t>(frame.pixels.width()) * frame.pixels.height());
  if (IsIndexedPixelFormat(format)) return FromIndexed(frame, out);
  if (!TryExactColours(frame, out)) Quantise(frame, out);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
