#pragma once
// Raw pixel values of bitmaps in any pixel format (palette indices, or the
// pixel's bytes as one little-endian number) and the reference result of a
// rotate-flip type, computed forward from each source position.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::platform::test {

struct RawPixels {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bits = 0;
  std::vector<std::uint64_t> values;  // row by row

  friend bool operator==(const RawPixels&, const RawPixels&) = default;
};

inline std::uint32_t BitsOf(PixelFormat format) { return (static_cast<std::uint32_t>(format) >> 8) & 0xFF; }

// Reads (write false) or writes every pixel through a lock in the bitmap's
// own format.
inline void AccessRawPixels(GpImage* image, RawPixels& pixels, bool write) {
  PixelFormat format = PixelFormatUndefined;
  ASSERT_EQ(GdipGetImagePixelFormat(image, &format), Ok);
  UINT width = 0;
  UINT height = 0;
  GdipGetImageWidth(image, &width);
  GdipGetImageHeight(image, &height);
  if (!write) {
    pixels = RawPixels{width, height, BitsOf(format), std::vector<std::uint64_t>(std::size_t{width} * height)};
  }
  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(image, nullptr, write ? ImageLockModeWrite : ImageLockModeRead, format, &data), Ok);
  const std::uint32_t bits = pixels.bits;
  for (std::uint32_t y = 0; y < height; ++y) {
    auto* row = static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint64_t& value = pixels.values[std::size_t{y} * width + x];
      if (bits < 8) {
        const std::uint32_t shift = 8 - bits - (x * bits) % 8;
        const std::uint32_t mask = (1u << bits) - 1;
        std::uint8_t& byte = row[x * bits / 8];
        if (write) {
          byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | ((value & mask) << shift));
        } else {
          value = (byte >> shift) & mask;
        }
        continue;
      }
      std::uint8_t* at = row + std::size_t{x} * (bits / 8);
      if (!write) value = 0;
      for (std::uint32_t b = 0; b < bits / 8; ++b) {
        if (write) {
          at[b] = static_cast<std::uint8_t>(value >> (8 * b));
        } else {
          value |= std::uint64_t{at[b]} << (8 * b);
        }
      }
    }
  }
  ASSERT_EQ(GdipBitmapUnlockBits(image, &data), Ok);
}

inline RawPixels ReadRawPixels(GpImage* image) {
  RawPixels pixels;
  AccessRawPixels(image, pixels, false);
  return pixels;
}

inline void WriteRawPixels(GpImage* image, RawPixels pixels) { AccessRawPixels(image, pixels, true); }

// Values that differ from their neighbours at every position (within the
// pixel's width).
inline RawPixels DistinctRawPixels(PixelFormat format, std::uint32_t width, std::uint32_t height) {
  RawPixels pixels{width, height, BitsOf(format), std::vector<std::uint64_t>(std::size_t{width} * height)};
  const std::uint64_t mask = pixels.bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << pixels.bits) - 1;
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (std::uint64_t& value : pixels.values) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    value = (state >> 7) & mask;
  }
  return pixels;
}

// `type & 3` clockwise quarter turns, then a left-right mirror when type & 4.
inline RawPixels TurnedReference(const RawPixels& source, int type) {
  const int turns = type & 3;
  const bool mirror = (type & 4) != 0;
  RawPixels out = source;
  if (turns % 2 == 1) std::swap(out.width, out.height);
  for (std::uint32_t y = 0; y < source.height; ++y) {
    for (std::uint32_t x = 0; x < source.width; ++x) {
      std::uint32_t px = x;
      std::uint32_t py = y;
      std::uint32_t h = source.height;
      std::uint32_t w = source.width;
      for (int t = 0; t < turns; ++t) {
        const std::uint32_t turnedX = h - 1 - py;
        py = px;
        px = turnedX;
        std::swap(w, h);
      }
      if (mirror) px = w - 1 - px;
      out.values[std::size_t{py} * out.width + px] = source.values[std::size_t{y} * source.width + x];
    }
  }
  return out;
}

}  // namespace pixavue::platform::test
