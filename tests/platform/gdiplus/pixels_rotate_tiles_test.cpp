// RotateFlip of images larger than the tiles the quarter turns are copied
// in, with sides that are not multiples of a tile, in every pixel format.

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"
#include "transform_reference.h"

namespace pixavue::platform::test {
namespace {

constexpr PixelFormat kFormats[] = {
    PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed, PixelFormat16bppGrayScale,
    PixelFormat16bppRGB565, PixelFormat24bppRGB,    PixelFormat32bppARGB,   PixelFormat48bppRGB,
    PixelFormat64bppPARGB};

using RotateTilesTest = GdiplusTest;

TEST_F(RotateTilesTest, EveryTypeOfAnImageOfManyTiles) {
  constexpr UINT kWidth = 203;
  constexpr UINT kHeight = 77;
  for (const PixelFormat format : kFormats) {
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(kWidth, kHeight, 0, format, nullptr, &bitmap), Ok);
    const ImageGuard guard(bitmap);
    WriteRawPixels(bitmap, DistinctRawPixels(format, kWidth, kHeight));
    for (int type = 1; type <= 7; ++type) {
      SCOPED_TRACE(::testing::Message() << "format " << format << ", type " << type);
      const RawPixels before = ReadRawPixels(bitmap);
      ASSERT_EQ(GdipImageRotateFlip(bitmap, static_cast<RotateFlipType>(type)), Ok);
      EXPECT_EQ(ReadRawPixels(bitmap), TurnedReference(before, type));
    }
  }
}

}  // namespace
}  // namespace pixavue::platform::test
