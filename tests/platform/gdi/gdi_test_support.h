#pragma once
// Shared pieces of the graphics-object tests: a BITMAPINFO with room for a
// colour table, and a fixture that checks every test frees what it made.

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include <gtest/gtest.h>

#include "dib_info.h"

#include <cstdint>
#include <vector>

namespace pixavue::platform::testing {

using test_dib::DibInfo;

// Reads the bitmap as top-down 0x00RRGGBB through GetDIBits.
inline std::vector<std::uint32_t> ReadRgb(HBITMAP bitmap, int width, int height) {
  DibInfo info(width, -height, 32);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  const HDC screen = GetDC(kNoWindow);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), info.get(), DIB_RGB_COLORS);
  ReleaseDC(kNoWindow, screen);
  EXPECT_EQ(rows, height);
  for (auto& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = GdiObjectCount(); }
  void TearDown() override { EXPECT_EQ(GdiObjectCount(), baseline_) << "the test left graphics objects behind"; }

 private:
  std::size_t baseline_ = 0;
};

}  // namespace pixavue::platform::testing
