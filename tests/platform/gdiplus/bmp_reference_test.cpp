// BMP files of tests/data whose pixel-data offset points into (or at the
// start of) their colour table decode to the pixels another decoder
// (Pillow, scripts/make-bmp-references) gives: the bits are read from an
// offset inside the table as given, with the table whole; an offset at the
// table's start is taken as the table's end.

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

const std::filesystem::path kData = PIXAVUE_TEST_DATA_DIR;

class BmpReferenceTest : public GdiplusTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(BmpReferenceTest, DecodesToThePixelsOfItsReference) {
  ImageGuard bmp(LoadImage(kData / (GetParam() + ".bmp")));
  ImageGuard reference(LoadImage(kData / (GetParam() + ".reference.png")));
  ASSERT_NE(bmp.get(), nullptr);
  ASSERT_NE(reference.get(), nullptr);
  const std::vector<ARGB> decoded = ReadArgbPixels(bmp.get()), expected = ReadArgbPixels(reference.get());
  ASSERT_EQ(decoded.size(), expected.size());
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] == expected[i]) continue;
    if (wrong++ == 0) ADD_FAILURE() << "pixel " << i << std::hex << ": " << decoded[i] << " != " << expected[i];
  }
  EXPECT_EQ(wrong, 0u);
}

INSTANTIATE_TEST_SUITE_P(OffsetInTable, BmpReferenceTest,
                         ::testing::Values("bmp-8bit-offset-in-table", "bmp-4bit-offset-in-table",
                                           "bmp-1bit-offset-at-table"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           std::string name = param.param;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
}  // namespace pixavue::platform::test
