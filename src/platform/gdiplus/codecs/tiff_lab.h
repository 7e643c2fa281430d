#pragma once
// L*a*b* TIFF samples to sRGB through lcms2: the three TIFF encodings
// (CIELab with signed a*, b*; ICC Lab with a*, b* offset by half the
// range; ITU Lab over the default ranges of ITU-T T.42) of 8 or 16 bits,
// D50 as their white point, converted with relative colorimetric intent
// so that L* 100 is white. A page of L* alone has a* = b* = 0.

#include <cstdint>
#include <memory>
#include <vector>

namespace pixavue::platform::gdiplus {

struct TiffLabLayout final {
  std::uint16_t photometric = 8;      // PHOTOMETRIC_CIELAB, _ICCLAB or _ITULAB
  std::uint16_t bitsPerSample = 8;    // 8 or 16; 16-bit gives 48bppRGB
  std::uint16_t samplesPerPixel = 3;  // 1 (L* only) or 3 and more
};

// The L*, a*, b* of one stored pixel.
struct LabValue final {
  double l = 0.0;
  double a = 0.0;
  double b = 0.0;
};
LabValue DecodeTiffLab(const TiffLabLayout& layout, const std::uint8_t* pixel);

class TiffLabToSrgb final {
 public:
  // Null when lcms2 cannot make the transform.
  static std::unique_ptr<TiffLabToSrgb> Create(const TiffLabLayout& layout);
  ~TiffLabToSrgb();
  TiffLabToSrgb(const TiffLabToSrgb&) = delete;
  TiffLabToSrgb& operator=(const TiffLabToSrgb&) = delete;

  // `width` pixels into B, G, R of 8 or 16 bits. `line` is working space
  // of at least `width` values.
  void Convert(const std::uint8_t* in, std::uint32_t width, LabValue* line, std::uint8_t* out) const;

 private:
  struct State;
  TiffLabToSrgb(TiffLabLayout layout, std::unique_ptr<State> state);
  TiffLabLayout layout_;
  std::unique_ptr<State> state_;
};

}  // namespace pixavue::platform::gdiplus
