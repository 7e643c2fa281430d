#pragma once
// Frames filled with pseudo-random pixels and comparisons of their rows,
// for the round trips of the PNG and BMP suites.

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "codec.h"
#include "pixel_convert.h"

namespace pixavue::platform::test {

// A frame of `format` with random bytes; indexed frames get a full palette
// of random colours, with random alpha when `paletteAlpha`.
inline gdiplus::Frame RandomFrame(PixelFormat format, std::uint32_t width, std::uint32_t height,
                                  bool paletteAlpha = false, unsigned seed = 7) {
  std::mt19937 random(seed);
  gdiplus::Frame frame;
  frame.pixels = *gdiplus::PixelBuffer::Allocate(format, width, height);
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* row = frame.pixels.Row(y);
    for (std::int32_t i = 0; i < frame.pixels.stride(); ++i) row[i] = static_cast<std::uint8_t>(random());
  }
  if (IsIndexedPixelFormat(format)) {
    frame.palette.resize(std::size_t{1} << GetPixelFormatSize(format));
    for (ARGB& entry : frame.palette) entry = static_cast<ARGB>(random()) | (paletteAlpha ? 0 : 0xFF000000u);
    if (paletteAlpha) frame.paletteFlags = PaletteFlagsHasAlpha;
  }
  return frame;
}

// True when every pixel's bits agree (row padding is ignored).
inline bool SamePixelBits(const gdiplus::PixelBuffer& a, const gdiplus::PixelBuffer& b) {
  if (a.format() != b.format() || a.width() != b.width() || a.height() != b.height()) return false;
  const std::uint64_t bits = std::uint64_t{a.width()} * GetPixelFormatSize(a.format());
  const std::size_t full = static_cast<std::size_t>(bits / 8);
  const unsigned rest = static_cast<unsigned>(bits % 8);
  for (std::uint32_t y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), full) != 0) return false;
    if (rest != 0 && ((a.Row(y)[full] ^ b.Row(y)[full]) & (0xFF << (8 - rest)) & 0xFF) != 0) return false;
  }
  return true;
}

// Every pixel of a frame as 32-bit ARGB, row after row.
inline std::vector<ARGB> FrameArgb(const gdiplus::Frame& frame) {
  std::vector<ARGB> out(std::size_t{frame.pixels.width()} * frame.pixels.height());
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
    gdiplus::ReadArgb32(frame, 0, y, frame.pixels.width(), out.data() + std::size_t{y} * frame.pixels.width());
  }
  return out;
}

inline std::vector<std::uint64_t> FrameArgb64(const gdiplus::Frame& frame) {
  std::vector<std::uint64_t> out(std::size_t{frame.pixels.width()} * frame.pixels.height());
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
    gdiplus::ReadArgb64(frame, 0, y, frame.pixels.width(), out.data() + std::size_t{y} * frame.pixels.width());
  }
  return out;
}

inline gdiplus::EncodedBytes Shared(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

}  // namespace pixavue::platform::test
