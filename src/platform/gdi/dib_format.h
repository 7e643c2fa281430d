#pragma once
// The layout of a device-independent bitmap: size, row order, bits a pixel,
// colour masks and colour table, and the checks that a BITMAPINFO from a
// caller must pass before anything is allocated from it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <pixavue/platform/gdi/gdi_types.h>

namespace pixavue::platform::gdi {

inline constexpr std::int64_t kMaxSide = 65535;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

struct DibFormat final {
  int width = 0;
  int height = 0;  // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = BI_RGB;  // BI_RGB or BI_BITFIELDS
  DWORD masks[3] = {};         // red, green, blue of 16 and 32 bits
  std::vector<RGBQUAD> colors;  // 1, 4 and 8 bits

  int Stride() const noexcept;
  std::size_t ImageBytes() const noexcept;
  // Offset of image row y (0 = top) from the start of the pixels.
  std::size_t RowOffset(int y) const noexcept;
  // The header a caller sees: biHeight negative for top-down rows.
  BITMAPINFOHEADER Header() const noexcept;
};

// Both sides 1..65,535 and at most 2^28 pixels.
bool SizeWithinLimits(std::int64_t width, std::int64_t height) noexcept;
bool IsSupportedBitCount(int bitCount) noexcept;
// Bytes of a row of `width` pixels padded to `alignment` bytes.
std::size_t PaddedRowBytes(int width, int bitCount, int alignment) noexcept;

// A format with the default colours: a black and white table for 1 bit, a
// grey ramp for 4 and 8 bits, 5-5-5 masks for 16 bits and 8-8-8 for 32.
std::optional<DibFormat> DefaultFormat(int width, int height, bool topDown, int bitCount);

// The format a caller's BITMAPINFO describes (header sizes 40, 108 and 124;
// one plane; 1/4/8/16/24/32 bits; BI_RGB, or BI_BITFIELDS with 16 and 32
// bits and contiguous, non-overlapping masks; DIB_RGB_COLORS only). The
// colour table is read for up to 8 bits (biClrUsed entries, or all when 0)
// when `readColors` is set. nullopt when anything is out of range.
std::optional<DibFormat> FormatFromInfo(const BITMAPINFO* info, UINT usage, bool readColors = true);

}  // namespace pixavue::platform::gdi
