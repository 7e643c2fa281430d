// The draw interceptor: what it sees of each image draw, failing a draw,
// and removing it.

#include <pixavue/platform/gdiplus/gdiplus_draw_interceptor.h>

#include <vector>

#include "draw_test_support.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kGrey = 0xFF808080;

class DrawInterceptorTest : public GdiplusTest {
 protected:
  void TearDown() override {
    SetDrawInterceptor({});
    GdiplusTest::TearDown();
  }

  // Records every call and answers `answer`.
  void Record(GpStatus answer = Ok) {
    SetDrawInterceptor([this, answer](const DrawCall& call) {
      calls_.push_back(call);
      return answer;
    });
  }

  std::vector<DrawCall> calls_;
};

TEST_F(DrawInterceptorTest, SeesEachDrawWithItsRectanglesAndTheGraphicsSettings) {
  ImageGuard image(MakeBitmap(4, 2, PixelFormat32bppARGB, std::vector<ARGB>(8, kRed)));
  DrawTarget target(8, 8, PixelFormat32bppARGB, kGrey);
  GpGraphics* g = target.graphics();
  ASSERT_EQ(GdipSetSmoothingMode(g, SmoothingModeNone), Ok);
  ASSERT_EQ(GdipSetCompositingQuality(g, CompositingQualityHighSpeed), Ok);
  target.Modes(InterpolationModeHighQualityBicubic, PixelOffsetModeHalf);
  GpImageAttributes* attributes = nullptr;
  ASSERT_EQ(GdipCreateImageAttributes(&attributes), Ok);
  Record();

  ASSERT_EQ(GdipDrawImageRectRectI(g, image.get(), 1, 2, 6, 3, 1, 0, 2, 2, UnitPixel, attributes, nullptr, nullptr),
            Ok);
  ASSERT_EQ(GdipDrawImageRectI(g, image.get(), 0, 1, 5, 7), Ok);
  ASSERT_EQ(GdipDrawImageI(g, image.get(), 2, 3), Ok);
  ASSERT_EQ(calls_.size(), 3u);

  const DrawCall& rectRect = calls_[0];
  EXPECT_EQ(rectRect.image, image.get());
  EXPECT_EQ(rectRect.attributes, attributes);
  EXPECT_EQ(rectRect.interpolation, InterpolationModeHighQualityBicubic);
  EXPECT_EQ(rectRect.pixelOffset, PixelOffsetModeHalf);
  EXPECT_EQ(rectRect.smoothing, SmoothingModeNone);
  EXPECT_EQ(rectRect.compositing, CompositingQualityHighSpeed);
  const std::vector<REAL> expected[] = {{1, 2, 6, 3, 1, 0, 2, 2}, {0, 1, 5, 7, 0, 0, 4, 2}, {2, 3, 4, 2, 0, 0, 4, 2}};
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    const DrawCall& c = calls_[i];
    EXPECT_EQ((std::vector<REAL>{c.dstX, c.dstY, c.dstWidth, c.dstHeight, c.srcX, c.srcY, c.srcWidth, c.srcHeight}),
              expected[i])
        << "draw " << i;
  }
  EXPECT_EQ(calls_[1].attributes, nullptr);
  EXPECT_EQ(target.pixels()[2 * 8 + 1], kRed);  // the draws went ahead
  GdipDisposeImageAttributes(attributes);
}

TEST_F(DrawInterceptorTest, AFailedDrawLeavesTheTargetAndRemovalRestoresDrawing) {
  ImageGuard image(MakeBitmap(2, 2, PixelFormat32bppARGB, std::vector<ARGB>(4, kRed)));
  DrawTarget target(2, 2, PixelFormat32bppARGB, kGrey);
  for (const GpStatus failure : {OutOfMemory, Win32Error}) {
    Record(failure);
    EXPECT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 2, 2), failure);
    EXPECT_EQ(GdipDrawImageRectRectI(target.graphics(), image.get(), 0, 0, 2, 2, 0, 0, 2, 2, UnitPixel, nullptr,
                                     nullptr, nullptr),
              failure);
    EXPECT_EQ(target.pixels(), std::vector<ARGB>(4, kGrey));
  }
  // A draw refused before it reaches the interceptor is not seen.
  calls_.clear();
  EXPECT_EQ(GdipDrawImageRectI(target.graphics(), nullptr, 0, 0, 2, 2), InvalidParameter);
  EXPECT_TRUE(calls_.empty());

  const DrawInterceptor previous = SetDrawInterceptor({});
  EXPECT_TRUE(static_cast<bool>(previous));
  EXPECT_FALSE(static_cast<bool>(SetDrawInterceptor({})));
  EXPECT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 2, 2), Ok);
  EXPECT_EQ(target.pixels(), std::vector<ARGB>(4, kRed));
  EXPECT_TRUE(calls_.empty());
}

// An interceptor that throws fails the draw instead of leaving the flat
// interface with the exception.
TEST_F(DrawInterceptorTest, AThrowingInterceptorFailsTheDraw) {
  ImageGuard image(MakeBitmap(1, 1, PixelFormat32bppARGB, {kRed}));
  DrawTarget target(1, 1, PixelFormat32bppARGB, kGrey);
  SetDrawInterceptor([](const DrawCall&) -> GpStatus { throw 1; });
  EXPECT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 1, 1), GenericError);
  EXPECT_EQ(target.pixels()[0], kGrey);
}

}  // namespace
}  // namespace pixavue::platform::test
