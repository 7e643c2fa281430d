#pragma once
// Reads pixels of a stored format straight as premultiplied 32-bit pixels
// (the 32bppPARGB layout), in one pass and only the pixels asked for: a run
// of a row, or picked columns. The results equal reading as straight ARGB
// and writing that as 32bppPARGB. Opaque formats (and indexed ones whose
// palette is opaque) need no premultiplication and say so, so that what
// is drawn from them can be stored without blending.

#include <cstdint>
#include <vector>

#include "frame.h"

namespace pixavue::platform::gdiplus {

class PremultipliedReader final {
 public:
  explicit PremultipliedReader(const Frame& frame);

  // False for a format read another way (32bppPARGB and 64bppPARGB, whose
  // round trip through straight colours is not the identity).
  static bool Handles(PixelFormat format) noexcept;
  bool handles() const noexcept { return handles_; }
  // True when every pixel read has alpha 255.
  bool opaque() const noexcept { return opaque_; }

  // out[i] = pixel x + i of row y, for i < count.
  void Run(std::uint32_t y, std::uint32_t x, std::uint32_t count, std::uint32_t* out) const;
  // out[i] = pixel columns[i] of row y.
  void Pick(std::uint32_t y, const std::uint32_t* columns, std::uint32_t count, std::uint32_t* out) const;

 private:
  const Frame& frame_;
  bool handles_ = true;
  bool opaque_ = false;
  // Indexed formats: each index's premultiplied colour (2^bits entries).
  std::vector<std::uint32_t> palette_;
};

// The row loops for 24bppRGB and 32bppARGB runs, chosen once for the
// processor (pixel_rows_simd.cpp).
void Rgb24ToOpaque(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out);
void ArgbToPremultiplied(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out);

// Column sums of `rowCount` (at most 257) rows of `count` 24-bit pixels
// each, as opaque pixels: sums[4 * x + channel], B, G, R, A.
void SumRgb24Rows(const std::uint8_t* const* rows, std::int32_t rowCount, std::uint32_t count, std::uint16_t* sums);

// Picked columns of a row of 3- or 4-byte pixels (`width` of them) as 32-bit
// words: out[i] = the pixel's bytes with the rest of the word `fill`
// (0xFF000000 for opaque 24-bit pixels; 0 for 32-bit ones, 0xFF000000 to
// force their alpha). Columns must be increasing.
void PickWords(const std::uint8_t* row, std::uint32_t bytes, std::uint32_t width, const std::uint32_t* columns,
               std::uint32_t count, std::uint32_t fill, std::uint32_t* out);

}  // namespace pixavue::platform::gdiplus
