// The pixel converter called directly: premultiplication bounds, exact
// 16-bit channels and the area conversion rules.

#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

Frame MakeFrame(PixelFormat format, std::uint32_t width, std::uint32_t height) {
  Frame frame;
  auto pixels = PixelBuffer::Allocate(format, width, height);
  EXPECT_TRUE(pixels.has_value());
  if (pixels) frame.pixels = std::move(*pixels);
  return frame;
}

GpRect Whole(const Frame& frame) {
  return GpRect{0, 0, static_cast<INT>(frame.pixels.width()), static_cast<INT>(frame.pixels.height())};
}

TEST(PixelsConvert, PremultipliedRoundTripStaysWithinOneAlphaStep) {
  // Every alpha and colour value: the premultiplied channel never exceeds
  // alpha, and un-premultiplying lands within half a step of 255 / alpha.
  Frame argb = MakeFrame(PixelFormat32bppARGB, 256, 256);
  for (std::uint32_t a = 0; a < 256; ++a) {
    std::vector<ARGB> row(256);
    for (std::uint32_t c = 0; c < 256; ++c) row[c] = (a << 24) | (c << 16) | (c << 8) | c;
    ASSERT_TRUE(WriteArgb32(argb, 0, a, 256, row.data()));
  }
  Frame pargb;
  ASSERT_EQ(ConvertArea(argb, Whole(argb), PixelFormat32bppPARGB, pargb), Ok);
  Frame back;
  ASSERT_EQ(ConvertArea(pargb, Whole(pargb), PixelFormat32bppARGB, back), Ok);
  for (std::uint32_t a = 0; a < 256; ++a) {
    const std::uint8_t* stored = pargb.pixels.Row(a);
    std::vector<ARGB> row(256);
    ReadArgb32(back, 0, a, 256, row.data());
    for (std::uint32_t c = 0; c < 256; ++c) {
      const std::uint32_t p = stored[4 * c];
      ASSERT_LE(p, a) << a << " " << c;
      ASSERT_EQ(stored[4 * c + 3], a);
      const std::uint32_t got = row[c] & 0xFF;
      if (a == 0) {
        ASSERT_EQ(row[c], 0u);
      } else if (a == 255) {
        ASSERT_EQ(got, c);
      } else {
        ASSERT_LE(std::abs(static_cast<int>(got) - static_cast<int>(c)), static_cast<int>(128 / a + 1))
            << a << " " << c;
      }
    }
  }
}

TEST(PixelsConvert, SixteenBitFormatsConvertExactlyBetweenEachOther) {
  Frame wide = MakeFrame(PixelFormat48bppRGB, 2, 1);
  const std::uint16_t channels[6] = {0x0001, 0x7FFF, 0xFFFE, 0x1234, 0x5678, 0x9ABC};
  std::memcpy(wide.pixels.Row(0), channels, sizeof channels);
  std::uint64_t read[2] = {};
  ReadArgb64(wide, 0, 0, 2, read);
  EXPECT_EQ(read[0], 0xFFFFFFFE7FFF0001u);
  EXPECT_EQ(read[1], 0xFFFF9ABC56781234u);

  Frame premultiplied;
  ASSERT_EQ(ConvertArea(wide, Whole(wide), PixelFormat64bppPARGB, premultiplied), Ok);
  Frame argb64;
  ASSERT_EQ(ConvertArea(premultiplied, Whole(premultiplied), PixelFormat64bppARGB, argb64), Ok);
  Frame again;
  ASSERT_EQ(ConvertArea(argb64, Whole(argb64), PixelFormat48bppRGB, again), Ok);
  EXPECT_EQ(std::memcmp(again.pixels.Row(0), channels, sizeof channels), 0);

  // Grey reads as equal channels and keeps its 16 bits into 48bppRGB.
  Frame grey = MakeFrame(PixelFormat16bppGrayScale, 1, 1);
  const std::uint16_t level = 0x1235;
  std::memcpy(grey.pixels.Row(0), &level, 2);
  Frame rgb;
  ASSERT_EQ(ConvertArea(grey, Whole(grey), PixelFormat48bppRGB, rgb), Ok);
  std::uint64_t greyRead = 0;
  ReadArgb64(rgb, 0, 0, 1, &greyRead);
  EXPECT_EQ(greyRead, 0xFFFF123512351235u);

  // Eight-bit formats widen by 257.
  Frame narrow = MakeFrame(PixelFormat32bppARGB, 1, 1);
  const ARGB colour = 0x80FF0102;
  ASSERT_TRUE(WriteArgb32(narrow, 0, 0, 1, &colour));
  std::uint64_t widened = 0;
  ReadArgb64(narrow, 0, 0, 1, &widened);
  EXPECT_EQ(widened, 0x8080FFFF01010202u);
}

TEST(PixelsConvert, AreaConversionRules) {
  Frame indexed = MakeFrame(PixelFormat4bppIndexed, 5, 2);
  indexed.palette = {0xFF000000, 0x80FFFFFF};
  indexed.paletteFlags = PaletteFlagsHasAlpha;
  indexed.dpiX = 200.0f;
  indexed.dpiY = 50.0f;
  indexed.pixels.Row(1)[1] = 0x1F;  // x = 2 is index 1, x = 3 is past the palette
  Frame out;
  ASSERT_EQ(ConvertArea(indexed, GpRect{2, 1, 2, 1}, PixelFormat32bppARGB, out), Ok);
  ARGB read[2] = {};
  ReadArgb32(out, 0, 0, 2, read);
  EXPECT_EQ(read[0], 0x80FFFFFFu);
  EXPECT_EQ(read[1], 0xFF000000u);
  EXPECT_EQ(out.dpiX, 200.0f);
  EXPECT_EQ(out.dpiY, 50.0f);
  EXPECT_TRUE(out.palette.empty());

  ASSERT_EQ(ConvertArea(indexed, GpRect{1, 1, 3, 1}, PixelFormat4bppIndexed, out), Ok);
  EXPECT_EQ(out.palette, indexed.palette);
  EXPECT_EQ(out.paletteFlags, static_cast<std::uint32_t>(PaletteFlagsHasAlpha));
  EXPECT_EQ(out.pixels.Row(0)[0], 0x01);
  EXPECT_EQ(out.pixels.Row(0)[1] & 0xF0, 0xF0);

  EXPECT_EQ(ConvertArea(indexed, Whole(indexed), PixelFormat8bppIndexed, out), InvalidParameter);
  Frame rgb = MakeFrame(PixelFormat24bppRGB, 2, 2);
  EXPECT_EQ(ConvertArea(rgb, Whole(rgb), PixelFormat1bppIndexed, out), InvalidParameter);
  EXPECT_EQ(ConvertArea(rgb, GpRect{1, 1, 2, 1}, PixelFormat32bppARGB, out), InvalidParameter);
  EXPECT_EQ(ConvertArea(rgb, Whole(rgb), PixelFormat32bppCMYK, out), InvalidParameter);
  const ARGB white = 0xFFFFFFFF;
  EXPECT_FALSE(WriteArgb32(indexed, 0, 0, 1, &white));
  EXPECT_FALSE(IsSupportedPixelFormat(PixelFormat32bppCMYK));
  EXPECT_FALSE(IsSupportedPixelFormat(PixelFormatUndefined));
}

}  // namespace
}  // namespace pixavue::platform::gdiplus
