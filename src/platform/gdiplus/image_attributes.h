#pragma once
// Colour adjustments applied to an image's pixels while it is drawn: a
// colour remap table, a colour key range and a gamma, kept per adjustment
// category as the documented library does.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform {

class GpImageAttributes final {
 public:
  struct ColorKey {
    ARGB low = 0;
    ARGB high = 0;
  };

  // The adjustments of one category; unset members do nothing.
  struct Adjustments {
    std::optional<REAL> gamma;
    std::vector<ColorMap> remap;
    std::optional<ColorKey> colorKey;

    bool any() const noexcept { return gamma.has_value() || !remap.empty() || colorKey.has_value(); }
  };

  // Indexed by ColorAdjustType, Default to Text.
  std::array<Adjustments, ColorAdjustTypeCount> categories;
};

namespace gdiplus {

// False for a pointer that GdipCreateImageAttributes did not return or
// that was disposed.
bool IsLiveImageAttributes(const GpImageAttributes* attributes);

// The adjustments that apply to drawing an image, ready to run over rows.
class ColorAdjuster final {
 public:
  // The Bitmap category's adjustments when it has any, else the Default
  // category's; nullopt when there is nothing to do.
  static std::optional<ColorAdjuster> ForImages(const GpImageAttributes* attributes);

  // Adjusts `count` pixels of 32bppARGB (not premultiplied) in place: an
  // exact match in the remap table takes its new colour, colours whose red,
  // green and blue lie in the key range become transparent, and gamma
  // raises each colour channel (as a fraction of 255) to its power.
  void Apply(ARGB* pixels, std::uint32_t count) const;

 private:
  explicit ColorAdjuster(const GpImageAttributes::Adjustments& adjustments);

  ARGB Remapped(ARGB colour) const;
  bool InKeyRange(ARGB colour) const;

  std::vector<ColorMap> remap_;  // sorted by old colour
  std::optional<GpImageAttributes::ColorKey> colorKey_;
  std::optional<std::array<std::uint8_t, 256>> gammaTable_;
};

}  // namespace gdiplus
}  // namespace pixavue::platform
