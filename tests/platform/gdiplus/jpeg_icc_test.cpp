// Colour management: the colour-managed loading entry points apply an
// embedded profile (RGB, grey and CMYK) while the plain ones ignore it, and
// ApplyIccProfile converts every direct format and palettes in place.

#include <cstring>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "icc.h"
#include "jpeg_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::ApplyIccProfile;
using gdiplus::Frame;
using gdiplus::PixelBuffer;

TestJpeg WithProfile(TestJpeg spec, const std::vector<std::uint8_t>& profile) {
  for (auto& chunk : IccChunks(profile, 1)) spec.markers.emplace_back(JPEG_APP0 + 2, chunk);
  return spec;
}

TestJpeg RedJpeg() {
  TestJpeg spec;
  spec.samples = BlockSamples(16, 16, 3, {{255, 0, 0}});
  return spec;
}

TestJpeg CmykJpeg() {
  TestJpeg spec;
  spec.input = JCS_CMYK;
  spec.components = 4;
  spec.samples = BlockSamples(16, 16, 4, {{255, 0, 0, 0}});  // cyan ink
  return spec;
}

using JpegColourManagement = JpegFileTest;

TEST_F(JpegColourManagement, OnlyTheIcmEntryPointAppliesAnRgbProfile) {
  const auto file = WriteTestJpeg(WithProfile(RedJpeg(), SwappedPrimariesProfile()));
  ImageGuard plain(Load(file));
  ImageGuard managed(Load(file, true));
  ASSERT_NE(plain.get(), nullptr);
  ASSERT_NE(managed.get(), nullptr);
  const ARGB plainPixel = ReadArgbPixels(plain.get())[0];
  const ARGB managedPixel = ReadArgbPixels(managed.get())[0];
  EXPECT_GE(Channel(plainPixel, 16), 250);
  EXPECT_LE(Channel(plainPixel, 0), 5);
  EXPECT_LE(Channel(managedPixel, 16), 20);  // the profile's red is sRGB blue
  EXPECT_GE(Channel(managedPixel, 0), 235);
  // The profile item stays only with the pixels it still describes.
  EXPECT_FALSE(PropertyBytes(plain.get(), PropertyTagICCProfile).empty());
  EXPECT_TRUE(PropertyBytes(managed.get(), PropertyTagICCProfile).empty());
}

TEST_F(JpegColourManagement, GreyProfileChangesTheGreyPalette) {
  TestJpeg spec;
  spec.input = JCS_GRAYSCALE;
  spec.components = 1;
  spec.samples = BlockSamples(16, 16, 1, {{128}});
  const auto file = WriteTestJpeg(WithProfile(spec, LinearGreyProfile()));
  ImageGuard plain(Load(file));
  ImageGuard managed(Load(file, true));
  ASSERT_NE(managed.get(), nullptr);
  EXPECT_NEAR(Channel(ReadArgbPixels(plain.get())[0], 8), 128, 1);
  EXPECT_NEAR(Channel(ReadArgbPixels(managed.get())[0], 8), 188, 3);  // linear 0.5 in sRGB
}

TEST_F(JpegColourManagement, CmykProfileReplacesThePlainFormula) {
  const auto withCmykProfile = WriteTestJpeg(WithProfile(CmykJpeg(), BlackOnlyCmykProfile()));
  ImageGuard plain(Load(withCmykProfile));
  ImageGuard managed(Load(withCmykProfile, true));
  ASSERT_NE(managed.get(), nullptr);
  const ARGB cyan = ReadArgbPixels(plain.get())[0];
  EXPECT_LE(Channel(cyan, 16), 5);
  EXPECT_GE(Channel(cyan, 0), 250);
  const ARGB white = ReadArgbPixels(managed.get())[0];  // the profile shows only K
  for (int shift : {0, 8, 16}) EXPECT_GE(Channel(white, shift), 245);
  // Both became RGB, so neither keeps the CMYK profile.
  EXPECT_TRUE(PropertyBytes(plain.get(), PropertyTagICCProfile).empty());
  EXPECT_TRUE(PropertyBytes(managed.get(), PropertyTagICCProfile).empty());

  // Adobe files store 255 - ink: K 255 on disk is no black at all.
  TestJpeg inverted = CmykJpeg();
  inverted.adobeMarker = true;
  inverted.samples = BlockSamples(16, 16, 4, {{0, 255, 255, 255}});
  ImageGuard managedInverted(Load(WriteTestJpeg(WithProfile(inverted, BlackOnlyCmykProfile())), true));
  ASSERT_NE(managedInverted.get(), nullptr);
  EXPECT_GE(Channel(ReadArgbPixels(managedInverted.get())[0], 8), 245);

  // An RGB profile does not describe CMYK data: the plain formula stays.
  const auto withRgbProfile = WriteTestJpeg(WithProfile(CmykJpeg(), SwappedPrimariesProfile()));
  ImageGuard mismatched(Load(withRgbProfile, true));
  ASSERT_NE(mismatched.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(mismatched.get())[0], cyan);
}

// One pixel of each direct format, red (premultiplied where the format is),
// converted through the swapped-primaries profile.
Frame OnePixel(PixelFormat format, const std::vector<std::uint8_t>& bytes) {
  Frame frame;
  frame.pixels = *PixelBuffer::Allocate(format, 1, 1);
  std::memcpy(frame.pixels.Row(0), bytes.data(), bytes.size());
  return frame;
}

TEST(JpegIccTransform, DirectFormatsConvertInPlaceKeepingAlpha) {
  const std::vector<std::uint8_t> profile = SwappedPrimariesProfile();
  struct Case {
    PixelFormat format;
    std::vector<std::uint8_t> red;   // B, G, R, (A) bytes
    std::vector<std::uint8_t> blue;  // what sRGB makes of it
  };
  const std::vector<Case> cases{
      {PixelFormat24bppRGB, {0, 0, 255}, {255, 0, 0}},
      {PixelFormat32bppRGB, {0, 0, 255, 0xFF}, {255, 0, 0, 0xFF}},
      {PixelFormat32bppARGB, {0, 0, 255, 77}, {255, 0, 0, 77}},
      {PixelFormat32bppPARGB, {0, 0, 128, 128}, {128, 0, 0, 128}},
      {PixelFormat48bppRGB, {0, 0, 0, 0, 0xFF, 0xFF}, {0xFF, 0xFF, 0, 0, 0, 0}},
      {PixelFormat64bppARGB, {0, 0, 0, 0, 0xFF, 0xFF, 0x34, 0x12}, {0xFF, 0xFF, 0, 0, 0, 0, 0x34, 0x12}},
      {PixelFormat64bppPARGB, {0, 0, 0, 0, 0, 0x80, 0, 0x80}, {0, 0x80, 0, 0, 0, 0, 0, 0x80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.format);
    Frame frame = OnePixel(c.format, c.red);
    ASSERT_EQ(ApplyIccProfile(frame, profile), Ok);
    const std::uint8_t* row = frame.pixels.Row(0);
    const std::size_t channelBytes = c.red.size() == 6 || c.red.size() == 8 ? 2 : 1;
    for (std::size_t i = 0; i < c.red.size(); i += channelBytes) {
      const int got = channelBytes == 2 ? row[i + 1] : row[i];
      const int wanted = channelBytes == 2 ? c.blue[i + 1] : c.blue[i];
      EXPECT_NEAR(got, wanted, 12) << "byte " << i;
    }
  }
}

TEST(JpegIccTransform, PalettesConvertAndUnusableProfilesChangeNothing) {
  Frame indexed;
  indexed.pixels = *PixelBuffer::Allocate(PixelFormat8bppIndexed, 1, 1);
  indexed.palette = {0xFFFF0000u, 0x40FF0000u};
  ASSERT_EQ(ApplyIccProfile(indexed, SwappedPrimariesProfile()), Ok);
  EXPECT_LE(Channel(indexed.palette[0], 16), 20);
  EXPECT_GE(Channel(indexed.palette[0], 0), 235);
  EXPECT_EQ(indexed.palette[1] >> 24, 0x40u);

  const std::vector<std::uint8_t> rgb = SwappedPrimariesProfile();
  std::vector<std::uint8_t> garbage(600, 0x5A);
  std::vector<std::uint8_t> truncated(rgb.begin(), rgb.begin() + static_cast<std::ptrdiff_t>(rgb.size() / 2));
  const struct {
    const char* name;
    PixelFormat format;
    std::vector<std::uint8_t> profile;
  } unchanged[] = {{"garbage", PixelFormat24bppRGB, garbage},
                   {"truncated", PixelFormat24bppRGB, truncated},
                   {"grey profile on RGB data", PixelFormat24bppRGB, LinearGreyProfile()},
                   {"CMYK profile on RGB data", PixelFormat24bppRGB, BlackOnlyCmykProfile()},
                   {"format left alone", PixelFormat16bppRGB565, rgb}};
  for (const auto& c : unchanged) {
    SCOPED_TRACE(c.name);
    Frame frame = OnePixel(c.format, {0x12, 0x34, 0x56});
    ASSERT_EQ(ApplyIccProfile(frame, c.profile), Ok);
    const std::uint8_t* row = frame.pixels.Row(0);
    EXPECT_EQ(row[0], 0x12);
    EXPECT_EQ(row[1], 0x34);
  }
  Frame colourPalette;
  colourPalette.pixels = *PixelBuffer::Allocate(PixelFormat8bppIndexed, 1, 1);
  colourPalette.palette = {0xFF102030u};
  ASSERT_EQ(ApplyIccProfile(colourPalette, LinearGreyProfile()), Ok);
  EXPECT_EQ(colourPalette.palette[0], 0xFF102030u);  // a grey profile needs grey entries
}

}  // namespace
}  // namespace pixavue::platform::test
