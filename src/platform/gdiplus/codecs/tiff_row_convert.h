#pragma once
// Turning one row of interleaved TIFF samples (as libtiff decodes them,
// 16-bit samples in the machine's byte order) into one row of the frame's
// pixel format.

#include <cstdint>

namespace pixavue::platform::gdiplus {

enum class TiffRowKind {
  CopyBits,    // 1-, 4- and 8-bit indices or grey levels, stored as they are
  Expand2To4,  // 2-bit values widened to 4-bit indices
  Grey16,      // 16-bit grey into 48bppRGB
  Rgb8,        // into 24bppRGB
  Rgba8,       // into 32bpp (P)ARGB
  Rgb16,       // into 48bppRGB
  Rgba16,      // into 64bpp (P)ARGB
  Cmyk8,       // into 24bppRGB, without colour management
  Cmyk16,      // into 48bppRGB, the same way at 16 bits
};

struct TiffRowFormat final {
  TiffRowKind kind = TiffRowKind::CopyBits;
  std::uint16_t samplesPerPixel = 1;  // stride between pixels, in samples
  std::uint16_t bitsPerPixel = 1;     // CopyBits: bits of one stored pixel
  bool invertGrey = false;            // Grey16 of a min-is-white page
};

// Reads the samples of `width` pixels at `in` and writes them at `out`.
void ConvertTiffRow(const TiffRowFormat& format, const std::uint8_t* in, std::uint32_t width, std::uint8_t* out);

}  // namespace pixavue::platform::gdiplus
