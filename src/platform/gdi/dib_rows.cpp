#include "dib_rows.h"

#include <bit>
#include <cstring>

namespace pixavue::platform::gdi {
namespace {

std::uint32_t ColorOf(const RGBQUAD& entry) {
  return (std::uint32_t{entry.rgbRed} << 16) | (std::uint32_t{entry.rgbGreen} << 8) | entry.rgbBlue;
}

// A channel under `mask` widened or narrowed to 8 bits.
std::uint32_t Extract(std::uint32_t pixel, DWORD mask) {
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const std::uint32_t value = (pixel & mask) >> shift;
  if (bits >= 8) return value >> (bits - 8);
  const std::uint32_t maximum = (std::uint32_t{1} << bits) - 1;
  return (value * 255 + maximum / 2) / maximum;
}

std::uint32_t Insert(std::uint32_t channel, DWORD mask) {
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const std::uint32_t value =
      bits >= 8 ? channel << (bits - 8) : (channel * ((std::uint32_t{1} << bits) - 1) + 127) / 255;
  return (value << shift) & mask;
}

std::uint32_t LoadPixel(const std::uint8_t* pixel, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= std::uint32_t{pixel[i]} << (8 * i);
  return value;
}

void StorePixel(std::uint32_t value, std::uint8_t* pixel, int bytes) {
  for (int i = 0; i < bytes; ++i) pixel[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int IndexAt(const std::uint8_t* row, int x, int bitCount) {
  const int perByte = 8 / bitCount;
  const int shift = (perByte - 1 - x % perByte) * bitCount;
  return (row[x / perByte] >> shift) & ((1 << bitCount) - 1);
}

void SetIndexAt(std::uint8_t* row, int x, int bitCount, int index) {
  const int perByte = 8 / bitCount;
  const int shift = (perByte - 1 - x % perByte) * bitCount;
  const int fieldMask = ((1 << bitCount) - 1) << shift;
  row[x / perByte] = static_cast<std::uint8_t>((row[x / perByte] & ~fieldMask) | ((index << shift) & fieldMask));
}

int Distance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

int NearestIndex(const std::vector<RGBQUAD>& colors, std::uint32_t color) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < colors.size() && bestDistance > 0; ++i) {
    const int distance = Distance(ColorOf(colors[i]), color);
    if (distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

bool SameLayout(const DibFormat& a, const DibFormat& b) noexcept {
  if (a.bitCount != b.bitCount || a.colors.size() != b.colors.size()) return false;
  if (a.bitCount >= 16 && std::memcmp(a.masks, b.masks, sizeof a.masks) != 0) return false;
  for (std::size_t i = 0; i < a.colors.size(); ++i) {
    if (ColorOf(a.colors[i]) != ColorOf(b.colors[i])) return false;
  }
  return true;
}

void ReadRow(const DibFormat& format, const std::uint8_t* row, std::uint32_t* out) {
  const int bytes = format.bitCount / 8;
  for (int x = 0; x < format.width; ++x) {
    if (format.bitCount <= 8) {
      const auto index = static_cast<std::size_t>(IndexAt(row, x, format.bitCount));
      out[x] = index < format.colors.size() ? ColorOf(format.colors[index]) : 0;
    } else if (format.bitCount == 24) {
      out[x] = LoadPixel(row + x * 3, 3);
    } else {
      const std::uint32_t pixel = LoadPixel(row + x * bytes, bytes);
      out[x] = (Extract(pixel, format.masks[0]) << 16) | (Extract(pixel, format.masks[1]) << 8) |
               Extract(pixel, format.masks[2]);
    }
  }
}

void WriteRow(const DibFormat& format, const std::uint32_t* in, std::uint8_t* row) {
  const int bytes = format.bitCount / 8;
  // Neighbouring pixels often repeat, so the last match is remembered.
  std::uint32_t lastColor = 0;
  int lastIndex = -1;
  for (int x = 0; x < format.width; ++x) {
    const std::uint32_t color = in[x] & 0xFFFFFF;
    if (format.bitCount <= 8) {
      if (lastIndex < 0 || color != lastColor) {
        lastColor = color;
        lastIndex = NearestIndex(format.colors, color);
      }
      SetIndexAt(row, x, format.bitCount, lastIndex);
    } else if (format.bitCount == 24) {
      StorePixel(color, row + x * 3, 3);
    } else {
      const std::uint32_t pixel = Insert(color >> 16, format.masks[0]) |
                                  Insert((color >> 8) & 0xFF, format.masks[1]) | Insert(color & 0xFF, format.masks[2]);
      StorePixel(pixel, row + x * bytes, bytes);
    }
  }
}

}  // namespace pixavue::platform::gdi
