// Every PngSuite image converted to BMP by another program decodes to the
// pixels of its PNG (whose own decoding the PNG suite checks against the
// reference). All of these files are 32-bit BI_BITFIELDS with a V5 header
// and an alpha mask, so they exercise the alpha path. Two conversions of
// that program show up when the pixels are compared:
// - 16-bit samples were reduced by dropping the low byte, where we round,
//   so 16-bit sources may differ by one step per channel;
// - some fully transparent pixels lost their colour (stored as 0,0,0,0),
//   so where alpha is 0 only the alpha is compared.
#include <cstdlib>

#include "gdiplus_test_support.h"
#include "png_suite.h"

namespace pixavue::platform::test {
namespace {

bool SamePixel(ARGB bmp, ARGB png, int tolerance) {
  if ((png >> 24) == 0) return (bmp >> 24) == 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((bmp >> shift) & 0xFF);
    const int b = static_cast<int>((png >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

std::vector<std::string> ConvertedNames() {
  std::vector<std::string> names;
  for (const std::string& name : PngSuiteNames()) {
    if (std::filesystem::exists(PngSuiteDir() / "bmp" / (name + ".bmp"))) names.push_back(name);
  }
  return names;
}

class BmpSuiteTest : public GdiplusTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(BmpSuiteTest, DecodesToThePixelsOfItsPng) {
  const std::filesystem::path png = PngSuiteDir() / "png" / (GetParam() + ".png");
  const std::vector<std::uint8_t> pngBytes = ReadFile(png);
  const int tolerance = pngBytes.size() > 24 && pngBytes[24] == 16 ? 1 : 0;
  ImageGuard bmpImage(LoadImage(PngSuiteDir() / "bmp" / (GetParam() + ".bmp")));
  ImageGuard pngImage(LoadImage(png));
  ASSERT_NE(bmpImage.get(), nullptr);
  ASSERT_NE(pngImage.get(), nullptr);

  PixelFormat format = 0;
  ASSERT_EQ(GdipGetImagePixelFormat(bmpImage.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat32bppARGB);
  // The converter kept a PNG's resolution in metres and wrote 3780 pixels
  // per metre otherwise.
  UINT32 pngFlags = 0;
  float pngDpi = 0;
  float bmpDpi = 0;
  ASSERT_EQ(GdipGetImageFlags(pngImage.get(), &pngFlags), Ok);
  ASSERT_EQ(GdipGetImageHorizontalResolution(pngImage.get(), &pngDpi), Ok);
  ASSERT_EQ(GdipGetImageHorizontalResolution(bmpImage.get(), &bmpDpi), Ok);
  EXPECT_NEAR(bmpDpi, (pngFlags & ImageFlagsHasRealDPI) != 0 ? pngDpi : 3780 * 0.0254, 0.001);

  const std::vector<ARGB> fromBmp = ReadArgbPixels(bmpImage.get());
  const std::vector<ARGB> fromPng = ReadArgbPixels(pngImage.get());
  ASSERT_EQ(fromBmp.size(), fromPng.size());
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < fromBmp.size(); ++i) {
    if (SamePixel(fromBmp[i], fromPng[i], tolerance)) continue;
    if (wrong++ == 0) ADD_FAILURE() << "pixel " << i << std::hex << ": " << fromBmp[i] << " != " << fromPng[i];
  }
  EXPECT_EQ(wrong, 0u);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, BmpSuiteTest, ::testing::ValuesIn(ConvertedNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

TEST(BmpSuiteCorpus, IsPresent) { EXPECT_GT(ConvertedNames().size(), 150u); }

}  // namespace
}  // namespace pixavue::platform::test
