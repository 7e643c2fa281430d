// Resampling of image draws: each interpolation mode, pixel offsets,
// source rectangles, mirroring and every source pixel format.

#include <algorithm>
#include <vector>

#include "draw_test_support.h"

namespace pixavue::platform::test {
namespace {

class DrawResampleTest : public GdiplusTest {};

constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kBlack = 0xFF000000;

// Distinct opaque colours, one per pixel.
std::vector<ARGB> Distinct(std::uint32_t count) {
  std::vector<ARGB> pixels;
  for (std::uint32_t i = 0; i < count; ++i) pixels.push_back(0xFF000000u | (i * 0x3B1D57u & 0xFFFFFF));
  return pixels;
}

std::vector<ARGB> Checkerboard(std::uint32_t side) {
  std::vector<ARGB> pixels;
  for (std::uint32_t y = 0; y < side; ++y) {
    for (std::uint32_t x = 0; x < side; ++x) pixels.push_back((x + y) % 2 == 0 ? kWhite : kBlack);
  }
  return pixels;
}

TEST_F(DrawResampleTest, NearestEnlargementIsExactBlocksWithHalfOffsetAndHalvesTheFirstWithout) {
  const std::vector<ARGB> source = Distinct(9);
  ImageGuard image(MakeBitmap(3, 3, PixelFormat32bppARGB, source));
  for (const PixelOffsetMode offset :
       {PixelOffsetModeHalf, PixelOffsetModeHighQuality, PixelOffsetModeNone, PixelOffsetModeDefault}) {
    DrawTarget target(6, 6, PixelFormat32bppARGB, 0);
    target.Modes(InterpolationModeNearestNeighbor, offset);
    ASSERT_EQ(GdipDrawImageRectRectI(target.graphics(), image.get(), 0, 0, 6, 6, 0, 0, 3, 3, UnitPixel, nullptr,
                                     nullptr, nullptr),
              Ok);
    const std::vector<ARGB> out = target.pixels();
    const bool half = offset == PixelOffsetModeHalf || offset == PixelOffsetModeHighQuality;
    // Without the offset, block boundaries sit half a source pixel earlier:
    // the first block is one pixel wide and the last three.
    const int blockOf[2][6] = {{0, 1, 1, 2, 2, 2}, {0, 0, 1, 1, 2, 2}};
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(out[y * 6 + x], source[blockOf[half][y] * 3 + blockOf[half][x]]) << offset << " " << x << "," << y;
      }
    }
  }
}

// A 4x4 image whose outer ring is red and inner 2x2 distinct; drawing only
// the inner part must never show red nor fade towards transparent.
TEST_F(DrawResampleTest, SourceRectangleEdgesAreClampedInEveryMode) {
  std::vector<ARGB> source(16, kRed);
  source[5] = 0xFF00FF00;
  source[6] = 0xFF0000FF;
  source[9] = 0xFF00FFFF;
  source[10] = 0xFFFFFF00;
  // Premultiplied pixels on both sides take other paths (pixman's for
  // bilinear) than straight ones.
  for (const PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppPARGB}) {
    ImageGuard image(MakeBitmap(4, 4, format, source));
    for (const InterpolationMode mode :
         {InterpolationModeNearestNeighbor, InterpolationModeBilinear, InterpolationModeBicubic,
          InterpolationModeHighQualityBilinear, InterpolationModeHighQualityBicubic, InterpolationModeDefault}) {
      for (const PixelOffsetMode offset : {PixelOffsetModeHalf, PixelOffsetModeNone}) {
        DrawTarget target(20, 20, format, 0);
        target.Modes(mode, offset);
        ASSERT_EQ(GdipDrawImageRectRectI(target.graphics(), image.get(), 2, 2, 16, 16, 1, 1, 2, 2, UnitPixel, nullptr,
                                         nullptr, nullptr),
                  Ok);
        const std::vector<ARGB> out = target.pixels();
        for (int y = 0; y < 20; ++y) {
          for (int x = 0; x < 20; ++x) {
            const ARGB pixel = out[y * 20 + x];
            const bool inside = x >= 2 && x < 18 && y >= 2 && y < 18;
            if (!inside) {
              EXPECT_EQ(pixel, 0u) << mode << " outside " << x << "," << y;
              continue;
            }
            EXPECT_EQ(pixel >> 24, 0xFFu) << mode << "/" << offset << " " << x << "," << y;
            // Red would come from the ring: no inner colour has much red
            // without green.
            EXPECT_FALSE(ChannelOf(pixel, 16) > 0x40 && ChannelOf(pixel, 8) < 0x40) << mode << " " << x << "," << y;
          }
        }
        // The corners show the corner pixels of the source rectangle.
        EXPECT_EQ(out[2 * 20 + 2], source[5]) << mode;
        EXPECT_EQ(out[17 * 20 + 17], source[10]) << mode;
      }
    }
  }
}

// Bilinear draws between premultiplied frames (done by pixman) match those
// of the separable scaler between straight ones, within the rounding of
// pixman's 7-bit interpolation weights.
TEST_F(DrawResampleTest, BilinearPathsAgree) {
  const std::vector<ARGB> source = Distinct(16 * 12);
  ImageGuard straight(MakeBitmap(16, 12, PixelFormat32bppARGB, source));
  ImageGuard premultiplied(MakeBitmap(16, 12, PixelFormat32bppPARGB, source));
  const GpRectF destinations[] = {{0, 0, 5, 4}, {1, 2, 37, 29}, {40, 0, -37, 29}, {0.5f, 3.25f, 20.5f, 7.75f}};
  const GpRectF sources[] = {{0, 0, 16, 12}, {3, 2, 5, 7}, {2.5f, 1.25f, 9.5f, 3.5f}};
  for (const PixelOffsetMode offset : {PixelOffsetModeHalf, PixelOffsetModeNone}) {
    for (const GpRectF& d : destinations) {
      for (const GpRectF& s : sources) {
        DrawTarget viaScaler(40, 32, PixelFormat32bppARGB, 0);
        DrawTarget viaPixman(40, 32, PixelFormat32bppRGB, 0);
        for (const auto& [target, image] : {std::pair{&viaScaler, &straight}, std::pair{&viaPixman, &premultiplied}}) {
          target->Modes(InterpolationModeBilinear, offset);
          ASSERT_EQ(GdipDrawImageRectRect(target->graphics(), image->get(), d.X, d.Y, d.Width, d.Height, s.X, s.Y,
                                          s.Width, s.Height, UnitPixel, nullptr, nullptr, nullptr),
                    Ok);
        }
        const std::vector<ARGB> a = viaScaler.pixels();
        const std::vector<ARGB> b = viaPixman.pixels();
        for (std::size_t i = 0; i < a.size(); ++i) {
          // The 32bppRGB target is opaque black where nothing was drawn.
          const ARGB expected = a[i] == 0 ? 0xFF000000u : a[i];
          ASSERT_TRUE(Near(b[i], expected, 3)) << offset << " " << d.Width << "/" << s.Width << " at " << i % 40 << ","
                                               << i / 40 << std::hex << " " << b[i] << " " << expected;
        }
      }
    }
  }
}

TEST_F(DrawResampleTest, EnlargingOneAxisOnlyKeepsTheOther) {
  const std::vector<ARGB> row = Distinct(5);
  ImageGuard wide(MakeBitmap(5, 1, PixelFormat32bppRGB, row));
  ImageGuard tall(MakeBitmap(1, 5, PixelFormat32bppRGB, row));
  for (const InterpolationMode mode :
       {InterpolationModeBilinear, InterpolationModeBicubic, InterpolationModeHighQualityBicubic}) {
    DrawTarget across(5, 7, PixelFormat32bppARGB, 0);
    across.Modes(mode, PixelOffsetModeHalf);
    ASSERT_EQ(GdipDrawImageRectI(across.graphics(), wide.get(), 0, 0, 5, 7), Ok);
    DrawTarget down(7, 5, PixelFormat32bppARGB, 0);
    down.Modes(mode, PixelOffsetModeHalf);
    ASSERT_EQ(GdipDrawImageRectI(down.graphics(), tall.get(), 0, 0, 7, 5), Ok);
    const std::vector<ARGB> a = across.pixels();
    const std::vector<ARGB> b = down.pixels();
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 7; ++j) {
        EXPECT_EQ(a[j * 5 + i], row[i]) << mode;
        EXPECT_EQ(b[i * 7 + j], row[i]) << mode;
      }
    }
  }
}

TEST_F(DrawResampleTest, HighQualityShrinkOfAFineCheckerboardIsUniformGrey) {
  ImageGuard image(MakeBitmap(64, 64, PixelFormat32bppARGB, Checkerboard(64)));
  struct Case {
    InterpolationMode mode;
    PixelOffsetMode offset;
    bool grey;
  };
  for (const Case c : {Case{InterpolationModeHighQualityBicubic, PixelOffsetModeHalf, true},
                       Case{InterpolationModeHighQualityBicubic, PixelOffsetModeNone, true},
                       Case{InterpolationModeHighQualityBilinear, PixelOffsetModeHalf, true},
                       Case{InterpolationModeHighQuality, PixelOffsetModeNone, true},
                       Case{InterpolationModeBilinear, PixelOffsetModeNone, false},
                       Case{InterpolationModeBicubic, PixelOffsetModeNone, false},
                       Case{InterpolationModeNearestNeighbor, PixelOffsetModeHalf, false}}) {
    DrawTarget target(8, 8, PixelFormat32bppARGB, 0);
    target.Modes(c.mode, c.offset);
    ASSERT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 8, 8), Ok);
    const std::vector<ARGB> out = target.pixels();
    const bool allGrey = std::all_of(out.begin(), out.end(), [](ARGB p) { return Near(p, 0xFF808080, 2); });
    EXPECT_EQ(allGrey, c.grey) << c.mode << "/" << c.offset << " first pixel " << std::hex << out[0];
  }
}

TEST_F(DrawResampleTest, BilinearAndBicubicInterpolateBetweenPixels) {
  // Black and white side by side, enlarged four times with the half offset.
  ImageGuard image(MakeBitmap(2, 1, PixelFormat32bppARGB, {kBlack, kWhite}));
  std::vector<int> ramps[2];
  const InterpolationMode modes[2] = {InterpolationModeBilinear, InterpolationModeBicubic};
  for (int m = 0; m < 2; ++m) {
    DrawTarget target(8, 1, PixelFormat32bppARGB, 0);
    target.Modes(modes[m], PixelOffsetModeHalf);
    ASSERT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 8, 1), Ok);
    for (const ARGB p : target.pixels()) ramps[m].push_back(ChannelOf(p, 0));
  }
  // Bilinear: sample centres at (x + 0.5) / 4 - 0.5, clamped at both ends.
  EXPECT_EQ(ramps[0], (std::vector<int>{0, 0, 32, 96, 159, 223, 255, 255}));
  // Bicubic: a steeper step (21 where bilinear has 32), same ends.
  EXPECT_EQ(ramps[1][2], 21);
  EXPECT_EQ(ramps[1].front(), 0);
  EXPECT_EQ(ramps[1].back(), 255);
  EXPECT_NE(ramps[0], ramps[1]);
}

TEST_F(DrawResampleTest, NegativeDestinationSizeMirrors) {
  const std::vector<ARGB> source = Distinct(6);
  ImageGuard image(MakeBitmap(3, 2, PixelFormat32bppARGB, source));
  DrawTarget target(3, 2, PixelFormat32bppARGB, 0);
  target.Modes(InterpolationModeBilinear, PixelOffsetModeNone);
  ASSERT_EQ(GdipDrawImageRectRectI(target.graphics(), image.get(), 3, 2, -3, -2, 0, 0, 3, 2, UnitPixel, nullptr,
                                   nullptr, nullptr),
            Ok);
  const std::vector<ARGB> out = target.pixels();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], source[5 - i]) << i;
}

TEST_F(DrawResampleTest, ExtremeScalesStayBoundedAndUniformImagesStayUniform) {
  constexpr ARGB kTeal = 0xFF208080;
  ImageGuard image(MakeBitmap(3000, 2, PixelFormat24bppRGB, std::vector<ARGB>(6000, kTeal)));
  struct Case {
    GpRectF destination;
    GpRectF source;
  };
  for (const Case& c : {Case{{0, 0, 1, 1}, {0, 0, 3000, 2}},         // 3000:1 across
                        Case{{0, 0, 4, 4}, {-10, 0, 3020, 2}},       // source past the image
                        Case{{-4e8f, 0, 8e8f, 4}, {0, 0, 3000, 2}},  // destination far past the target
                        Case{{0, 0, 4, 4}, {2999.5f, 1.5f, 0.25f, 0.25f}}}) {
    for (const InterpolationMode mode :
         {InterpolationModeHighQualityBicubic, InterpolationModeBicubic, InterpolationModeNearestNeighbor}) {
      DrawTarget target(4, 4, PixelFormat32bppARGB, 0);
      target.Modes(mode, PixelOffsetModeHalf);
      const GpRectF& d = c.destination;
      const GpRectF& s = c.source;
      ASSERT_EQ(GdipDrawImageRectRect(target.graphics(), image.get(), d.X, d.Y, d.Width, d.Height, s.X, s.Y, s.Width,
                                      s.Height, UnitPixel, nullptr, nullptr, nullptr),
                Ok);
      const std::vector<ARGB> out = target.pixels();
      EXPECT_EQ(out[0], kTeal) << mode << " " << d.Width << " " << s.Width;
      for (const ARGB p : out) EXPECT_TRUE(p == 0 || p == kTeal) << mode << std::hex << " " << p;
    }
  }
}

// Every stored format draws as its colours read through a lock.
TEST_F(DrawResampleTest, DrawsFromEveryPixelFormat) {
  const std::vector<ARGB> colours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                     0xFF000000, 0xFF808080, 0xFFC0C0C0, 0xFF00FFFF};
  for (const PixelFormat format :
       {PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed, PixelFormat16bppGrayScale,
        PixelFormat16bppRGB555, PixelFormat16bppRGB565, PixelFormat16bppARGB1555, PixelFormat24bppRGB,
        PixelFormat32bppRGB, PixelFormat32bppPARGB, PixelFormat48bppRGB, PixelFormat64bppARGB, PixelFormat64bppPARGB}) {
    ImageGuard image(MakeBitmap(4, 2, format, colours));
    const std::vector<ARGB> expected = ReadArgbPixels(image.get());
    DrawTarget target(8, 4, PixelFormat32bppARGB, 0);
    target.Modes(InterpolationModeNearestNeighbor, PixelOffsetModeHalf);
    ASSERT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 8, 4), Ok) << format;
    const std::vector<ARGB> out = target.pixels();
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 8; ++x) {
        EXPECT_TRUE(Near(out[y * 8 + x], expected[(y / 2) * 4 + x / 2], 1))
            << format << " " << x << "," << y << std::hex << " " << out[y * 8 + x];
      }
    }
  }
}

}  // namespace
}  // namespace pixavue::platform::test
