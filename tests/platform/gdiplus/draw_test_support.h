#pragma once
// Helpers of the drawing tests: a target bitmap with a graphics object and
// channel comparisons.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {

// A bitmap of `format` filled with `background`, and a graphics object on
// it; both released at the end of the scope.
class DrawTarget final {
 public:
  DrawTarget(INT width, INT height, PixelFormat format, ARGB background) {
    EXPECT_EQ(GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, bitmap_.out()), Ok);
    EXPECT_EQ(GdipGetImageGraphicsContext(bitmap_.get(), &graphics_), Ok);
    EXPECT_EQ(GdipGraphicsClear(graphics_, background), Ok);
  }
  ~DrawTarget() { GdipDeleteGraphics(graphics_); }
  DrawTarget(const DrawTarget&) = delete;
  DrawTarget& operator=(const DrawTarget&) = delete;

  GpGraphics* graphics() const { return graphics_; }
  GpBitmap* bitmap() const { return bitmap_.get(); }
  std::vector<ARGB> pixels() const { return ReadArgbPixels(bitmap_.get()); }

  // Sets interpolation and pixel offset.
  void Modes(InterpolationMode interpolation, PixelOffsetMode offset) const {
    EXPECT_EQ(GdipSetInterpolationMode(graphics_, interpolation), Ok);
    EXPECT_EQ(GdipSetPixelOffsetMode(graphics_, offset), Ok);
  }

 private:
  ImageGuard bitmap_;
  GpGraphics* graphics_ = nullptr;
};

inline int ChannelOf(ARGB colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

// Every channel within `tolerance`.
inline bool Near(ARGB a, ARGB b, int tolerance) {
  for (const int shift : {0, 8, 16, 24}) {
    if (std::abs(ChannelOf(a, shift) - ChannelOf(b, shift)) > tolerance) return false;
  }
  return true;
}

}  // namespace pixavue::platform::test
