#include "dib_format.h"

#include <bit>
#include <cstring>

namespace pixavue::platform::gdi {
namespace {

constexpr DWORD kMasks555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr DWORD kMasks888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

bool IsKnownHeaderSize(DWORD size) noexcept { return size == 40 || size == 108 || size == 124; }

// A run of set bits within the pixel's bits.
bool IsContiguousMask(DWORD mask, int bitCount) noexcept {
  if (mask == 0) return false;
  if (bitCount < 32 && (mask >> bitCount) != 0) return false;
  const DWORD shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

bool AreValidMasks(const DWORD (&masks)[3], int bitCount) noexcept {
  for (DWORD mask : masks) {
    if (!IsContiguousMask(mask, bitCount)) return false;
  }
  return (masks[0] & masks[1]) == 0 && (masks[0] & masks[2]) == 0 && (masks[1] & masks[2]) == 0;
}

void SetDefaultColors(DibFormat& format) {
  const int count = 1 << format.bitCount;
  format.colors.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto level = static_cast<std::uint8_t>(i * 255 / (count - 1));
    format.colors[static_cast<std::size_t>(i)] = RGBQUAD{level, level, level, 0};
  }
}

// Reads the colour table that follows a header of `headerSize` bytes.
void ReadColors(const BITMAPINFO* info, DibFormat& format) {
  const DWORD limit = DWORD{1} << format.bitCount;
  const DWORD used = info->bmiHeader.biClrUsed;
  const DWORD count = (used == 0 || used > limit) ? limit : used;
  const auto* table = reinterpret_cast<const std::uint8_t*>(info) + info->bmiHeader.biSize;
  format.colors.resize(count);
  std::memcpy(format.colors.data(), table, count * sizeof(RGBQUAD));
}

}  // namespace

int DibFormat::Stride() const noexcept { return static_cast<int>(PaddedRowBytes(width, bitCount, 4)); }

std::size_t DibFormat::ImageBytes() const noexcept {
  return static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height);
}

std::size_t DibFormat::RowOffset(int y) const noexcept {
  const int stored = topDown ? y : height - 1 - y;
  return static_cast<std::size_t>(stored) * static_cast<std::size_t>(Stride());
}

BITMAPINFOHEADER DibFormat::Header() const noexcept {
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = topDown ? -height : height;
  header.biBitCount = static_cast<std::uint16_t>(bitCount);
  header.biCompression = compression;
  header.biSizeImage = static_cast<DWORD>(ImageBytes());
  header.biClrUsed = static_cast<DWORD>(colors.size());
  return header;
}

bool SizeWithinLimits(std::int64_t width, std::int64_t height) noexcept {
  return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

bool IsSupportedBitCount(int bitCount) noexcept {
  switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

std::size_t PaddedRowBytes(int width, int bitCount, int alignment) noexcept {
  const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount);
  const std::size_t alignBits = static_cast<std::size_t>(alignment) * 8;
  return (bits + alignBits - 1) / alignBits * static_cast<std::size_t>(alignment);
}

std::optional<DibFormat> DefaultFormat(int width, int height, bool topDown, int bitCount) {
  if (!SizeWithinLimits(width, height) || !IsSupportedBitCount(bitCount)) return std::nullopt;
  DibFormat format;
  format.width = width;
  format.height = height;
  format.topDown = topDown;
  format.bitCount = bitCount;
  if (bitCount <= 8) SetDefaultColors(format);
  if (bitCount == 16) std::memcpy(format.masks, kMasks555, sizeof format.masks);
  if (bitCount == 32) std::memcpy(format.masks, kMasks888, sizeof format.masks);
  return format;
}

std::optional<DibFormat> FormatFromInfo(const BITMAPINFO* info, UINT usage, bool readColors) {
  if (info == nullptr || usage != DIB_RGB_COLORS) return std::nullopt;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (!IsKnownHeaderSize(header.biSize) || header.biPlanes != 1) return std::nullopt;
  const std::int64_t height = header.biHeight;
  std::optional<DibFormat> format =
      DefaultFormat(header.biWidth, height < 0 ? -height : height, height < 0, header.biBitCount);
  if (!format) return std::nullopt;
  if (header.biCompression == BI_BITFIELDS) {
    if (header.biBitCount != 16 && header.biBitCount != 32) return std::nullopt;
    // The masks follow a 40-byte header and are the first fields after it
    // in the larger headers, so they sit at offset 40 either way.
    DWORD masks[3];
    std::memcpy(masks, reinterpret_cast<const std::uint8_t*>(info) + 40, sizeof masks);
    if (!AreValidMasks(masks, header.biBitCount)) return std::nullopt;
    format->compression = BI_BITFIELDS;
    std::memcpy(format->masks, masks, sizeof masks);
  } else if (header.biCompression != BI_RGB) {
    return std::nullopt;
  }
  if (readColors && format->bitCount <= 8) ReadColors(info, *format);
  return format;
}

}  // namespace pixavue::platform::gdi
