#pragma once
// Floating-point TIFF samples (IEEE half, single and double precision, in
// the machine's byte order as libtiff decodes them) scaled into 16-bit
// grey or RGB: a value range is mapped onto 0..65535, values outside it
// and infinities are clamped, and NaN reads as the low end.

#include <cstdint>
#include <optional>

namespace pixavue::platform::gdiplus {

struct TiffFloatLayout final {
  std::uint16_t bytesPerSample = 4;   // 2, 4 or 8
  std::uint16_t samplesPerPixel = 1;  // stride between pixels, in samples
  std::uint16_t channels = 1;         // 1 (grey) or 3 (RGB): the samples shown
  bool minIsWhite = false;            // grey whose low values are white
};

struct TiffFloatRange final {
  double low = 0.0;
  double high = 1.0;
};

// The stated range when it is finite and not empty, otherwise nullopt.
std::optional<TiffFloatRange> UsableFloatRange(double low, double high);

// Finds the smallest and largest finite value of the shown channels over
// the rows it is given. An empty range (every value the same, or none
// finite) is widened to take in 0..1, so a flat page keeps its brightness.
class TiffFloatRangeScan final {
 public:
  explicit TiffFloatRangeScan(const TiffFloatLayout& layout) : layout_(layout) {}
  void Add(const std::uint8_t* samples, std::uint32_t width);
  TiffFloatRange Result() const;

 private:
  TiffFloatLayout layout_;
  bool any_ = false;
  double low_ = 0.0;
  double high_ = 0.0;
};

// One row into 48bppRGB (B, G, R; grey in all three).
void ConvertFloatRow(const TiffFloatLayout& layout, const TiffFloatRange& range, const std::uint8_t* in,
                     std::uint32_t width, std::uint8_t* out);

}  // namespace pixavue::platform::gdiplus
