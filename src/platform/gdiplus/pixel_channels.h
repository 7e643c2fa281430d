#pragma once
// Channel arithmetic shared by the pixel-format converters: widening and
// narrowing of 5-, 6-, 8- and 16-bit channels, premultiplication both ways,
// packing, and unaligned loads and stores in machine order.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus::channels {

constexpr std::uint32_t Expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }
constexpr std::uint32_t Expand6(std::uint32_t v) { return (v << 2) | (v >> 4); }
constexpr std::uint32_t Narrow5(std::uint32_t v) { return (v * 31 + 127) / 255; }
constexpr std::uint32_t Narrow6(std::uint32_t v) { return (v * 63 + 127) / 255; }
constexpr std::uint32_t Narrow16(std::uint32_t v) { return (v * 255 + 32767) / 65535; }
constexpr std::uint32_t Widen8(std::uint32_t v) { return v * 257; }

constexpr std::uint32_t Premultiply8(std::uint32_t c, std::uint32_t a) { return (c * a + 127) / 255; }

// floor(2^32 / a) + 1: multiplying n < 2^16 by it and shifting right by 32
// divides by a exactly, without a division in the pixel loop.
constexpr std::array<std::uint64_t, 256> kReciprocals = [] {
  std::array<std::uint64_t, 256> table{};
  for (std::uint64_t a = 1; a < 256; ++a) table[a] = (std::uint64_t{1} << 32) / a + 1;
  return table;
}();

constexpr std::uint32_t Unpremultiply8(std::uint32_t p, std::uint32_t a) {
  const std::uint64_t quotient = ((p * 255 + a / 2) * kReciprocals[a]) >> 32;
  return a == 0 ? 0 : static_cast<std::uint32_t>(std::min<std::uint64_t>(255, quotient));
}
static_assert(Unpremultiply8(0x40, 0x80) == 0x80 && Unpremultiply8(1, 3) == 85 && Unpremultiply8(7, 0) == 0);

constexpr std::uint32_t Premultiply16(std::uint64_t c, std::uint64_t a) {
  return static_cast<std::uint32_t>((c * a + 32767) / 65535);
}
constexpr std::uint32_t Unpremultiply16(std::uint64_t p, std::uint64_t a) {
  return a == 0 ? 0 : static_cast<std::uint32_t>(std::min<std::uint64_t>(65535, (p * 65535 + a / 2) / a));
}

// Luminance weights 0.299, 0.587, 0.114 in thousandths.
constexpr std::uint32_t Luma16From8(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return ((299 * r + 587 * g + 114 * b) * 257 + 500) / 1000;
}
constexpr std::uint32_t Luma16(std::uint64_t r, std::uint64_t g, std::uint64_t b) {
  return static_cast<std::uint32_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

constexpr ARGB Pack32(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr std::uint64_t Pack64(std::uint64_t a, std::uint64_t r, std::uint64_t g, std::uint64_t b) {
  return (a << 48) | (r << 32) | (g << 16) | b;
}
constexpr std::uint32_t Channel8(ARGB c, int shift) { return (c >> shift) & 0xFF; }
constexpr std::uint32_t Channel16(std::uint64_t c, int shift) {
  return static_cast<std::uint32_t>((c >> shift) & 0xFFFF);
}

// Unaligned loads and stores in machine order, as the formats are laid out.
inline std::uint32_t Load16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Store16(std::uint8_t* p, std::uint32_t v) {
  const auto narrow = static_cast<std::uint16_t>(v);
  std::memcpy(p, &narrow, 2);
}
inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

}  // namespace pixavue::platform::gdiplus::channels
