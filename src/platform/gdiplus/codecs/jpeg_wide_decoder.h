#pragma once
// This layer's own JPEG decoder, for what the JPEG library here cannot
// decode: sequential Huffman DCT data of 12-bit (or 8-bit) precision with
// any sampling factors, and lossless data of 2 to 16 bits with any of the
// seven predictors and a point transform, restart markers in either. Its
// caller is the TIFF reader, whose JPEG pages of more than 8 bits use
// these; progressive, arithmetic-coded and hierarchical data are refused.
// Every plane is reserved against the load's budget and every row of
// blocks or samples charged as work.

#include <cstdint>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "jpeg_wide_scans.h"

namespace pixavue::platform::gdiplus {

// What the caller accepts of the frame, checked before any plane is
// allocated: its size within [minimum, maximum] on each side, its
// component count exactly, and its precision at most `maxPrecision`.
struct WideJpegExpectation final {
  std::uint32_t minWidth = 1;
  std::uint32_t minHeight = 1;
  std::uint32_t maxWidth = 0;
  std::uint32_t maxHeight = 0;
  std::uint16_t components = 1;
  std::uint8_t maxPrecision = 16;
};

class WideJpegImage final {
 public:
  std::uint32_t width() const { return frame_.width; }
  std::uint32_t height() const { return frame_.height; }
  std::uint8_t precision() const { return frame_.precision; }
  std::size_t components() const { return planes_.size(); }

  // Row `y` of the first `columns` pixels (at most the width), every
  // component upsampled to full resolution as the JPEG library does it
  // (triangular for 2:1, replicated otherwise), interleaved and scaled to
  // 0..65535. `ycbcr` converts three YCbCr components to R, G, B.
  void ReadRow(std::uint32_t y, std::uint32_t columns, bool ycbcr, std::uint16_t* out) const;

 private:
  friend GpStatus DecodeWideJpeg(std::span<const std::uint8_t>, std::span<const std::uint8_t>,
                                 const WideJpegExpectation&, WideJpegImage&);
  std::uint16_t Sample(std::size_t component, std::uint32_t x, std::uint32_t y) const;

  WideJpegFrame frame_;
  std::vector<WideJpegPlane> planes_;
};

// Decodes `stream`, after the tables of `tables` when that is not empty
// (an abbreviated stream of tables only). Statuses: UnknownImageFormat for
// JPEG processes not read here, InvalidParameter for damaged, truncated or
// unexpected data, OutOfMemory past the load's budget.
GpStatus DecodeWideJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> stream,
                        const WideJpegExpectation& expected, WideJpegImage& image);

}  // namespace pixavue::platform::gdiplus
