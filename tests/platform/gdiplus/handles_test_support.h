#pragma once
// Shared pieces of the handle tests: a session fixture that also checks no
// graphics object is left behind, DIB headers with room for a colour
// table, and reading an image's palette and pixel format.

#include <cstdint>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include "../gdi/dib_info.h"
#include "gdiplus_test_support.h"

namespace pixavue::platform::test {

class HandlesTest : public GdiplusTest {
 protected:
  void SetUp() override {
    GdiplusTest::SetUp();
    objects_ = GdiObjectCount();
  }
  void TearDown() override {
    EXPECT_EQ(GdiObjectCount(), objects_) << "graphics objects leaked";
    GdiplusTest::TearDown();
  }

 private:
  std::size_t objects_ = 0;
};

using test_dib::DibInfo;

inline std::vector<ARGB> PaletteOf(GpImage* image) {
  INT size = 0;
  EXPECT_EQ(GdipGetImagePaletteSize(image, &size), Ok);
  std::vector<std::uint8_t> storage(static_cast<std::size_t>(size) + sizeof(ColorPalette));
  auto* palette = reinterpret_cast<ColorPalette*>(storage.data());
  EXPECT_EQ(GdipGetImagePalette(image, palette, size), Ok);
  return std::vector<ARGB>(palette->Entries, palette->Entries + palette->Count);
}

inline PixelFormat FormatOf(GpImage* image) {
  PixelFormat format = PixelFormatUndefined;
  EXPECT_EQ(GdipGetImagePixelFormat(image, &format), Ok);
  return format;
}

}  // namespace pixavue::platform::test
