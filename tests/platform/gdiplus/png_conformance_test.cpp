// Every PngSuite image against the pixels another decoder produced for it;
// the deliberately corrupt x* files must be refused without harm.
#include <cstdlib>
#include <memory>

#include "codec.h"
#include "gdiplus_test_support.h"
#include "pixel_convert.h"
#include "png_suite.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;

int ChannelDistance(ARGB a, ARGB b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return worst;
}

DecodedImage DecodeFile(const std::filesystem::path& path, GpStatus& status) {
  DecodedImage decoded;
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(ReadFile(path));
  status = gdiplus::DecodePng(bytes, {}, decoded);
  return decoded;
}

class PngSuiteTest : public GdiplusTest, public ::testing::WithParamInterface<std::string> {
 protected:
  std::filesystem::path Png() const { return PngSuiteDir() / "png" / (GetParam() + ".png"); }
  std::filesystem::path Json(const char* suffix = "") const {
    return PngSuiteDir() / "json" / (GetParam() + suffix + ".json");
  }

  void ExpectRefused() const {
    GpStatus status = Ok;
    DecodeFile(Png(), status);
    EXPECT_NE(status, Ok);
    GpImage* image = nullptr;
    EXPECT_NE(GdipLoadImageFromFile(Wide(Png()).c_str(), &image), Ok);
    EXPECT_EQ(image, nullptr);
  }

  // Bit depth from the IHDR chunk.
  bool IsSixteenBit() const {
    const std::vector<std::uint8_t> bytes = ReadFile(Png());
    return bytes.size() > 24 && bytes[24] == 16;
  }

  // 8-bit reference pixels. 16-bit files have a reduced twin, except a few
  // whose 16-bit samples are reduced here.
  std::vector<ARGB> EightBitReference(bool sixteen) const {
    if (!sixteen) return JsonArgbPixels(ReadJsonNumbers(Json()));
    if (std::filesystem::exists(Json("_to8"))) return JsonArgbPixels(ReadJsonNumbers(Json("_to8")));
    std::vector<std::uint32_t> samples = ReadJsonNumbers(Json());
    for (std::uint32_t& s : samples) s = (s * 255 + 32767) / 65535;
    return JsonArgbPixels(samples);
  }

  // Compares the 8-bit reading through LockBits; 16-bit files are compared
  // within one step, since reductions round differently.
  void ExpectEightBitPixels(bool sixteen) const {
    ImageGuard image(LoadImage(Png()));
    ASSERT_NE(image.get(), nullptr);
    const std::vector<ARGB> expected = EightBitReference(sixteen);
    const std::vector<ARGB> actual = ReadArgbPixels(image.get());
    ASSERT_EQ(actual.size(), expected.size());
    const int tolerance = sixteen ? 1 : 0;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
      if (ChannelDistance(actual[i], expected[i]) <= tolerance) continue;
      if (wrong++ == 0) ADD_FAILURE() << "pixel " << i << std::hex << ": " << actual[i] << " != " << expected[i];
    }
    EXPECT_EQ(wrong, 0u);
  }

  // 16-bit files keep every bit: the frame read as 64-bit ARGB equals the
  // 16-bit reference exactly.
  void ExpectSixteenBitPixels() const {
    GpStatus status = Ok;
    const DecodedImage decoded = DecodeFile(Png(), status);
    ASSERT_EQ(status, Ok);
    const std::vector<std::uint32_t> samples = ReadJsonNumbers(Json());
    const auto& pixels = decoded.frame.pixels;
    ASSERT_EQ(samples.size(), std::size_t{4} * pixels.width() * pixels.height());
    std::vector<std::uint64_t> row(pixels.width());
    std::size_t wrong = 0;
    for (std::uint32_t y = 0; y < pixels.height(); ++y) {
      gdiplus::ReadArgb64(decoded.frame, 0, y, pixels.width(), row.data());
      for (std::uint32_t x = 0; x < pixels.width(); ++x) {
        const std::uint32_t* s = &samples[4 * (std::size_t{y} * pixels.width() + x)];
        const std::uint64_t want = (std::uint64_t{s[3]} << 48) | (std::uint64_t{s[0]} << 32) |
                                   (std::uint64_t{s[1]} << 16) | s[2];
        if (row[x] != want && wrong++ == 0) ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": " << row[x];
      }
    }
    EXPECT_EQ(wrong, 0u);
  }
};

TEST_P(PngSuiteTest, MatchesReferencePixelsOrIsRefused) {
  if (GetParam().front() == 'x') {
    ExpectRefused();
    return;
  }
  const bool sixteen = IsSixteenBit();
  ExpectEightBitPixels(sixteen);
  if (sixteen) ExpectSixteenBitPixels();
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteTest, ::testing::ValuesIn(PngSuiteNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

// Guards against a missing corpus silently turning the suite above into
// no test at all.
TEST(PngSuiteCorpus, IsPresent) { EXPECT_GT(PngSuiteNames().size(), 150u); }

}  // namespace
}  // namespace pixavue::platform::test
