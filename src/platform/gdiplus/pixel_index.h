#pragma once
// Palette indices of 1-, 4- and 8-bit formats inside a row, most
// significant bits first.

#include <cstdint>

namespace pixavue::platform::gdiplus {

template <std::uint32_t Bits>
inline std::uint32_t IndexAt(const std::uint8_t* row, std::uint32_t x) {
  if constexpr (Bits == 8) {
    return row[x];
  } else {
    constexpr std::uint32_t perByte = 8 / Bits;
    const std::uint32_t shift = 8 - Bits - (x % perByte) * Bits;
    return (row[x / perByte] >> shift) & ((1u << Bits) - 1);
  }
}

template <std::uint32_t Bits>
inline void SetIndexAt(std::uint8_t* row, std::uint32_t x, std::uint32_t index) {
  if constexpr (Bits == 8) {
    row[x] = static_cast<std::uint8_t>(index);
  } else {
    constexpr std::uint32_t perByte = 8 / Bits;
    constexpr std::uint32_t mask = (1u << Bits) - 1;
    const std::uint32_t shift = 8 - Bits - (x % perByte) * Bits;
    std::uint8_t& byte = row[x / perByte];
    byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | ((index & mask) << shift));
  }
}

}  // namespace pixavue::platform::gdiplus
