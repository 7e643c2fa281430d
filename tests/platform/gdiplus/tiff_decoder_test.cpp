// TIFF decoding: sample layouts, compressions, depths kept in memory,
// palettes, resolution and pages.

#include <cstdlib>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "gdiplus_test_support.h"
#include "icc_test_profiles.h"
#include "image.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;

std::uint8_t Channel(std::uint32_t x, std::uint32_t y, std::uint32_t c) {
  return static_cast<std::uint8_t>(x * (7 + c * 6) + y * (3 + c * 2) + c * 40);
}

// Interleaved 8-bit samples of a width x height page.
std::vector<std::uint8_t> Samples8(std::uint32_t width, std::uint32_t height, std::uint32_t channels) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      for (std::uint32_t c = 0; c < channels; ++c) out.push_back(Channel(x, y, c));
    }
  }
  return out;
}

// The same samples with every channel in a plane of its own.
std::vector<std::uint8_t> Planes8(std::uint32_t width, std::uint32_t height, std::uint32_t channels) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t c = 0; c < channels; ++c) {
    for (std::uint32_t y = 0; y < height; ++y) {
      for (std::uint32_t x = 0; x < width; ++x) out.push_back(Channel(x, y, c));
    }
  }
  return out;
}

std::vector<std::uint8_t> Samples16(const std::vector<std::uint16_t>& values) {
  std::vector<std::uint8_t> out(values.size() * 2);
  std::memcpy(out.data(), values.data(), out.size());
  return out;
}

// 8-bit samples in the frame's order: every pixel's channels reversed
// (R, G, B(, A) become B, G, R(, A)).
std::vector<std::uint8_t> SwappedRedBlue(std::vector<std::uint8_t> samples, std::size_t channels) {
  for (std::size_t i = 0; i + channels <= samples.size(); i += channels) std::swap(samples[i], samples[i + 2]);
  return samples;
}

TiffPageSpec RgbPage(std::uint32_t width, std::uint32_t height) {
  TiffPageSpec page;
  page.width = width;
  page.height = height;
  page.samplesPerPixel = 3;
  page.photometric = PHOTOMETRIC_RGB;
  page.samples = Samples8(width, height, 3);
  return page;
}

TiffPageSpec GreyPage(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::vector<std::uint8_t> samples) {
  TiffPageSpec page;
  page.width = width;
  page.height = height;
  page.bitsPerSample = bits;
  page.samples = std::move(samples);
  return page;
}

// Bits of a 1-bit page with a 48-pixel-wide pattern (no row padding).
std::vector<std::uint8_t> BilevelPattern(std::uint32_t height) {
  std::vector<std::uint8_t> bits;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t b = 0; b < 6; ++b) bits.push_back(static_cast<std::uint8_t>((y * 37 + b * 11) % 5 == 0 ? 0xF0 : 0x0F * (y % 2)));
  }
  return bits;
}

ARGB Grey(std::uint32_t v) { return 0xFF000000u | (v << 16) | (v << 8) | v; }

class TiffDecodeTest : public GdiplusTest {
 protected:
  static DecodedImage Decode(std::vector<std::uint8_t> bytes) {
    EXPECT_FALSE(bytes.empty()) << "libtiff did not write the test file";
    DecodedImage image;
    EXPECT_EQ(gdiplus::DecodeTiff(Shared(std::move(bytes)), {}, image), Ok);
    return image;
  }
  static DecodedImage Decode(const TiffPageSpec& page) { return Decode(WriteTiffPage(page)); }
};

TEST_F(TiffDecodeTest, StripsTilesAndPlanesGiveTheSamePixels) {
  const std::vector<std::uint8_t> expected = SwappedRedBlue(Samples8(37, 21, 3), 3);
  TiffPageSpec oneStrip = RgbPage(37, 21);
  TiffPageSpec strips = oneStrip;
  strips.rowsPerStrip = 5;
  TiffPageSpec tiles = oneStrip;
  tiles.tileWidth = 16;
  tiles.tileLength = 16;
  TiffPageSpec separateStrips = strips;
  separateStrips.planar = PLANARCONFIG_SEPARATE;
  separateStrips.samples = Planes8(37, 21, 3);
  TiffPageSpec separateTiles = tiles;
  separateTiles.planar = PLANARCONFIG_SEPARATE;
  separateTiles.samples = Planes8(37, 21, 3);
  TiffPageSpec lzwTiles = tiles;
  lzwTiles.compression = COMPRESSION_LZW;

  for (const TiffPageSpec* page : {&oneStrip, &strips, &tiles, &separateStrips, &separateTiles, &lzwTiles}) {
    const DecodedImage image = Decode(*page);
    ASSERT_EQ(image.frame.pixels.format(), PixelFormat24bppRGB);
    EXPECT_EQ(image.frame.pixels.width(), 37u);
    EXPECT_EQ(image.frame.pixels.height(), 21u);
    EXPECT_EQ(FrameBytes(image.frame), expected) << "tiled " << page->tileWidth << " planar " << page->planar;
    EXPECT_EQ(image.rawFormat, ImageFormatTIFF);
    EXPECT_TRUE(image.frame.flags & ImageFlagsColorSpaceRGB);
    EXPECT_EQ(image.frames, nullptr);
  }
}

TEST_F(TiffDecodeTest, LosslessCompressionsDecodeExactly) {
  const std::vector<std::uint8_t> grey = Samples8(40, 30, 1);
  for (std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE,
                                    COMPRESSION_DEFLATE, COMPRESSION_PACKBITS}) {
    TiffPageSpec page = GreyPage(40, 30, 8, grey);
    page.compression = compression;
    page.rowsPerStrip = 7;
    const DecodedImage image = Decode(page);
    ASSERT_EQ(image.frame.pixels.format(), PixelFormat8bppIndexed) << compression;
    EXPECT_EQ(FrameBytes(image.frame), grey) << compression;
  }
  const std::vector<std::uint8_t> bits = BilevelPattern(20);
  for (std::uint16_t compression : {COMPRESSION_CCITTRLE, COMPRESSION_CCITTFAX3, COMPRESSION_CCITTFAX4,
                                    COMPRESSION_LZW, COMPRESSION_PACKBITS}) {
    TiffPageSpec page = GreyPage(48, 20, 1, bits);
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = compression;
    const DecodedImage image = Decode(page);
    ASSERT_EQ(image.frame.pixels.format(), PixelFormat1bppIndexed) << compression;
    EXPECT_EQ(FrameBytes(image.frame), bits) << compression;
  }
}

TEST_F(TiffDecodeTest, JpegPagesDecodeCloseToTheirSource) {
  // Smooth content, so the only loss is JPEG's quantisation.
  TiffPageSpec rgb = RgbPage(48, 32);
  for (std::uint32_t i = 0; i < rgb.samples.size(); ++i) {
    const std::uint32_t x = (i / 3) % 48;
    const std::uint32_t y = (i / 3) / 48;
    rgb.samples[i] = static_cast<std::uint8_t>(40 + x * 2 + y + (i % 3) * 30);
  }
  rgb.photometric = PHOTOMETRIC_YCBCR;
  rgb.compression = COMPRESSION_JPEG;
  rgb.rowsPerStrip = 16;
  const DecodedImage image = Decode(rgb);
  ASSERT_EQ(image.frame.pixels.format(), PixelFormat24bppRGB);
  const std::vector<std::uint8_t> expected = SwappedRedBlue(rgb.samples, 3);
  const std::vector<std::uint8_t> actual = FrameBytes(image.frame);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) ASSERT_LE(std::abs(actual[i] - expected[i]), 10) << i;

  TiffPageSpec grey = GreyPage(32, 16, 8, std::vector<std::uint8_t>(32 * 16, 77));
  grey.compression = COMPRESSION_JPEG;
  const DecodedImage greyImage = Decode(grey);
  ASSERT_EQ(greyImage.frame.pixels.format(), PixelFormat8bppIndexed);
  for (std::uint8_t v : FrameBytes(greyImage.frame)) ASSERT_LE(std::abs(v - 77), 2);
}

TEST_F(TiffDecodeTest, BilevelPalettesFollowPhotometricInterpretation) {
  const std::vector<std::uint8_t> bits = BilevelPattern(4);
  TiffPageSpec minIsWhite = GreyPage(48, 4, 1, bits);
  minIsWhite.photometric = PHOTOMETRIC_MINISWHITE;
  const DecodedImage white = Decode(minIsWhite);
  ASSERT_EQ(white.frame.pixels.format(), PixelFormat1bppIndexed);
  EXPECT_EQ(white.frame.palette, (std::vector<ARGB>{0xFFFFFFFF, 0xFF000000}));
  EXPECT_EQ(FrameBytes(white.frame), bits);
  EXPECT_TRUE(white.frame.paletteFlags & PaletteFlagsGrayScale);
  EXPECT_TRUE(white.frame.flags & ImageFlagsColorSpaceGRAY);

  TiffPageSpec minIsBlack = minIsWhite;
  minIsBlack.photometric = PHOTOMETRIC_MINISBLACK;
  const DecodedImage black = Decode(minIsBlack);
  EXPECT_EQ(black.frame.palette, (std::vector<ARGB>{0xFF000000, 0xFFFFFFFF}));
  EXPECT_EQ(FrameBytes(black.frame), bits);
}

TEST_F(TiffDecodeTest, PalettePagesKeepTheirDepthAndColourMap) {
  // 16-bit map values narrow with rounding: 0xC0 gives 1, 0xFFFF gives 255.
  auto colourMap = [](std::uint32_t entries) {
    std::vector<std::uint16_t> map(3 * entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
      map[i] = static_cast<std::uint16_t>(i * 257);
      map[entries + i] = 0xC0;
      map[2 * entries + i] = static_cast<std::uint16_t>(0xFFFF - i * 257);
    }
    return map;
  };
  struct Case {
    std::uint16_t bits;
    PixelFormat format;
    std::vector<std::uint8_t> stored;    // 8 pixels
    std::vector<std::uint8_t> expected;  // in the frame
  };
  const std::vector<Case> cases{
      {1, PixelFormat1bppIndexed, {0xA5}, {0xA5}},
      {2, PixelFormat4bppIndexed, {0x1B, 0xE4}, {0x01, 0x23, 0x32, 0x10}},
      {4, PixelFormat4bppIndexed, {0x01, 0x23, 0xFE, 0xDC}, {0x01, 0x23, 0xFE, 0xDC}},
      {8, PixelFormat8bppIndexed, {0, 1, 2, 3, 200, 201, 254, 255}, {0, 1, 2, 3, 200, 201, 254, 255}},
  };
  for (const Case& c : cases) {
    TiffPageSpec page = GreyPage(8, 1, c.bits, c.stored);
    page.photometric = PHOTOMETRIC_PALETTE;
    page.colourMap = colourMap(1u << c.bits);
    const DecodedImage image = Decode(page);
    ASSERT_EQ(image.frame.pixels.format(), c.format) << c.bits;
    EXPECT_EQ(FrameBytes(image.frame), c.expected) << c.bits;
    ASSERT_EQ(image.frame.palette.size(), 1u << c.bits);
    EXPECT_EQ(image.frame.palette[0], 0xFF0001FFu);
    EXPECT_EQ(image.frame.palette[1], 0xFF0101FEu);
    EXPECT_EQ(image.frame.paletteFlags & PaletteFlagsGrayScale, 0u);
  }
  // A map written with 8-bit values is taken as it is.
  TiffPageSpec old = GreyPage(2, 1, 1, {0x40});
  old.photometric = PHOTOMETRIC_PALETTE;
  old.colourMap = {10, 200, 20, 210, 30, 220};
  EXPECT_EQ(Decode(old).frame.palette, (std::vector<ARGB>{0xFF0A141E, 0xFFC8D2DC}));
}

TEST_F(TiffDecodeTest, GreyPagesUseRampsAndSixteenBitBecomesRgb48) {
  const DecodedImage two = Decode(GreyPage(4, 1, 2, {0x1B}));
  ASSERT_EQ(two.frame.pixels.format(), PixelFormat4bppIndexed);
  EXPECT_EQ(two.frame.palette, (std::vector<ARGB>{Grey(0), Grey(85), Grey(170), Grey(255)}));
  EXPECT_EQ(FrameBytes(two.frame), (std::vector<std::uint8_t>{0x01, 0x23}));

  TiffPageSpec four = GreyPage(2, 1, 4, {0x0F});
  four.photometric = PHOTOMETRIC_MINISWHITE;
  const DecodedImage reversed = Decode(four);
  ASSERT_EQ(reversed.frame.palette.size(), 16u);
  EXPECT_EQ(reversed.frame.palette[0], Grey(255));
  EXPECT_EQ(reversed.frame.palette[1], Grey(238));
  EXPECT_EQ(reversed.frame.palette[15], Grey(0));

  const DecodedImage eight = Decode(GreyPage(3, 1, 8, {0, 128, 255}));
  ASSERT_EQ(eight.frame.pixels.format(), PixelFormat8bppIndexed);
  EXPECT_EQ(eight.frame.palette.size(), 256u);
  EXPECT_EQ(eight.frame.palette[128], Grey(128));
  EXPECT_TRUE(eight.frame.paletteFlags & PaletteFlagsGrayScale);

  const std::vector<std::uint16_t> values{0, 1, 0x1234, 0xFFFF};
  const DecodedImage wide = Decode(GreyPage(4, 1, 16, Samples16(values)));
  ASSERT_EQ(wide.frame.pixels.format(), PixelFormat48bppRGB);
  std::vector<std::uint16_t> expected;
  for (std::uint16_t v : values) expected.insert(expected.end(), {v, v, v});
  EXPECT_EQ(FrameBytes(wide.frame), Samples16(expected));

  TiffPageSpec wideWhite = GreyPage(4, 1, 16, Samples16(values));
  wideWhite.photometric = PHOTOMETRIC_MINISWHITE;
  const DecodedImage inverted = Decode(wideWhite);
  std::vector<std::uint16_t> invertedExpected;
  for (std::uint16_t v : values) {
    const auto w = static_cast<std::uint16_t>(0xFFFF - v);
    invertedExpected.insert(invertedExpected.end(), {w, w, w});
  }
  EXPECT_EQ(FrameBytes(inverted.frame), Samples16(invertedExpected));
}

TEST_F(TiffDecodeTest, SixteenBitColourIsExact) {
  const std::vector<std::uint16_t> rgba{1, 2, 3, 4, 0x1234, 0x5678, 0x9ABC, 0xDEF0, 0xFFFF, 0, 0x8000, 0x7FFF};
  TiffPageSpec page;
  page.width = 3;
  page.bitsPerSample = 16;
  page.samplesPerPixel = 4;
  page.photometric = PHOTOMETRIC_RGB;
  page.extraSamples = {EXTRASAMPLE_UNASSALPHA};
  page.samples = Samples16(rgba);
  const DecodedImage straight = Decode(page);
  ASSERT_EQ(straight.frame.pixels.format(), PixelFormat64bppARGB);
  EXPECT_EQ(FrameBytes(straight.frame), Samples16({3, 2, 1, 4, 0x9ABC, 0x5678, 0x1234, 0xDEF0, 0x8000, 0, 0xFFFF, 0x7FFF}));

  page.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  EXPECT_EQ(Decode(page).frame.pixels.format(), PixelFormat64bppPARGB);

  TiffPageSpec rgb = page;
  rgb.samplesPerPixel = 3;
  rgb.extraSamples.clear();
  rgb.width = 4;
  rgb.samples = Samples16({1, 2, 3, 0x1234, 0x5678, 0x9ABC, 0xFFFF, 0, 0x8000, 10, 20, 30});
  const DecodedImage image = Decode(rgb);
  ASSERT_EQ(image.frame.pixels.format(), PixelFormat48bppRGB);
  EXPECT_EQ(FrameBytes(image.frame), Samples16({3, 2, 1, 0x9ABC, 0x5678, 0x1234, 0x8000, 0, 0xFFFF, 30, 20, 10}));
}

TEST_F(TiffDecodeTest, AlphaKindChoosesStraightOrPremultiplied) {
  TiffPageSpec page;
  page.width = 5;
  page.height = 2;
  page.samplesPerPixel = 4;
  page.photometric = PHOTOMETRIC_RGB;
  page.samples = Samples8(5, 2, 4);
  const std::vector<std::uint8_t> expected = SwappedRedBlue(page.samples, 4);
  const std::vector<std::pair<std::uint16_t, PixelFormat>> kinds{{EXTRASAMPLE_UNASSALPHA, PixelFormat32bppARGB},
                                                                 {EXTRASAMPLE_ASSOCALPHA, PixelFormat32bppPARGB},
                                                                 {EXTRASAMPLE_UNSPECIFIED, PixelFormat32bppARGB}};
  for (const auto& [kind, format] : kinds) {
    page.extraSamples = {kind};
    const DecodedImage image = Decode(page);
    EXPECT_EQ(image.frame.pixels.format(), format) << kind;
    EXPECT_EQ(FrameBytes(image.frame), expected) << kind;
    EXPECT_TRUE(image.frame.flags & ImageFlagsHasAlpha);
  }
}

TEST_F(TiffDecodeTest, CmykBecomesRgbWithTheCmykFlag) {
  TiffPageSpec page;
  page.width = 3;
  page.samplesPerPixel = 4;
  page.photometric = PHOTOMETRIC_SEPARATED;
  page.samples = {0, 0, 0, 0, 255, 0, 255, 0, 0, 128, 0, 128};
  const DecodedImage image = Decode(page);
  ASSERT_EQ(image.frame.pixels.format(), PixelFormat24bppRGB);
  EXPECT_TRUE(image.frame.flags & ImageFlagsColorSpaceCMYK);
  // White; green; (255-128)*(255-128)/255 = 63 in red and green, 127 in blue.
  EXPECT_EQ(FrameBytes(image.frame), (std::vector<std::uint8_t>{255, 255, 255, 0, 255, 0, 127, 63, 127}));
}

TEST_F(TiffDecodeTest, EmbeddedProfileAppliesOnlyThroughTheIcmEntryPoint) {
  TiffPageSpec page = RgbPage(1, 1);
  page.samples = {255, 0, 0};
  page.iccProfile = SwappedPrimariesProfile();  // its red is sRGB blue
  const auto path = temp_dir() / "profiled.tif";
  WriteFile(path, WriteTiffPage(page));
  ImageGuard plain(LoadImage(path));
  ImageGuard managed;
  ASSERT_EQ(GdipLoadImageFromFileICM(Wide(path).c_str(), managed.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(plain.get())[0], 0xFFFF0000u);
  const ARGB shown = ReadArgbPixels(managed.get())[0];
  EXPECT_LE((shown >> 16) & 0xFF, 20u);
  EXPECT_GE(shown & 0xFF, 235u);
  // The profile item stays only with the pixels it still describes.
  EXPECT_EQ(PropertyBytes(plain.get(), PropertyTagICCProfile), page.iccProfile);
  EXPECT_TRUE(PropertyBytes(managed.get(), PropertyTagICCProfile).empty());
}

TEST_F(TiffDecodeTest, OtherLayoutsGoThroughTheRgbaRaster) {
  // Grey with alpha has no direct form: libtiff's raster, premultiplied.
  TiffPageSpec greyAlpha = GreyPage(2, 1, 8, {200, 255, 100, 0});
  greyAlpha.samplesPerPixel = 2;
  greyAlpha.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
  const DecodedImage image = Decode(greyAlpha);
  ASSERT_EQ(image.frame.pixels.format(), PixelFormat32bppPARGB);
  EXPECT_EQ(FrameBytes(image.frame), (std::vector<std::uint8_t>{200, 200, 200, 255, 100, 100, 100, 0}));
  EXPECT_TRUE(image.frame.flags & ImageFlagsColorSpaceGRAY);

  // Uncompressed YCbCr without subsampling; neutral chroma gives grey.
  TiffPageSpec ycbcr;
  ycbcr.width = 2;
  ycbcr.height = 2;
  ycbcr.samplesPerPixel = 3;
  ycbcr.photometric = PHOTOMETRIC_YCBCR;
  ycbcr.ycbcrSubsampling = 1;
  ycbcr.samples = {0, 128, 128, 255, 128, 128, 100, 128, 128, 50, 128, 128};
  const DecodedImage yuv = Decode(ycbcr);
  ASSERT_EQ(yuv.frame.pixels.format(), PixelFormat32bppARGB);
  EXPECT_TRUE(yuv.frame.flags & ImageFlagsColorSpaceYCBCR);
  const std::vector<std::uint8_t> bgra = FrameBytes(yuv.frame);
  const std::uint8_t luma[] = {0, 255, 100, 50};
  for (std::size_t i = 0; i < 4; ++i) {
    for (std::size_t c = 0; c < 3; ++c) EXPECT_LE(std::abs(bgra[4 * i + c] - luma[i]), 1) << i;
    EXPECT_EQ(bgra[4 * i + 3], 255);
  }
}

TEST_F(TiffDecodeTest, ResolutionComesInInchesOrCentimetres) {
  TiffPageSpec page = GreyPage(1, 1, 8, {0});
  page.xResolution = 300;
  page.yResolution = 150;
  const DecodedImage inch = Decode(page);
  EXPECT_FLOAT_EQ(inch.frame.dpiX, 300.0f);
  EXPECT_FLOAT_EQ(inch.frame.dpiY, 150.0f);
  EXPECT_TRUE(inch.frame.flags & ImageFlagsHasRealDPI);

  page.resolutionUnit = RESUNIT_CENTIMETER;
  page.xResolution = 100;
  page.yResolution = 50;
  const DecodedImage cm = Decode(page);
  EXPECT_FLOAT_EQ(cm.frame.dpiX, 254.0f);
  EXPECT_FLOAT_EQ(cm.frame.dpiY, 127.0f);

  page.resolutionUnit = RESUNIT_NONE;
  const DecodedImage none = Decode(page);
  EXPECT_FLOAT_EQ(none.frame.dpiX, 96.0f);
  EXPECT_FALSE(none.frame.flags & ImageFlagsHasRealDPI);

  const DecodedImage absent = Decode(GreyPage(1, 1, 8, {0}));
  EXPECT_FLOAT_EQ(absent.frame.dpiY, 96.0f);
  EXPECT_FALSE(absent.frame.flags & ImageFlagsHasRealDPI);
}

TEST_F(TiffDecodeTest, PagesAreFramesOfThePageDimension) {
  TiffPageSpec first = RgbPage(16, 8);
  TiffPageSpec second = GreyPage(5, 7, 8, Samples8(5, 7, 1));
  second.compression = COMPRESSION_LZW;
  TiffPageSpec third = GreyPage(48, 3, 1, BilevelPattern(3));
  third.photometric = PHOTOMETRIC_MINISWHITE;
  third.compression = COMPRESSION_CCITTFAX4;
  const auto path = temp_dir() / "pages.tif";
  WriteFile(path, WriteTiffPages({first, second, third}));
  ImageGuard image(LoadImage(path));
  ASSERT_NE(image.get(), nullptr);

  UINT32 count = 0;
  ASSERT_EQ(GdipImageGetFrameCount(image.get(), &FrameDimensionPage, &count), Ok);
  EXPECT_EQ(count, 3u);
  GUID dimension{};
  ASSERT_EQ(GdipImageGetFrameDimensionsList(image.get(), &dimension, 1), Ok);
  EXPECT_EQ(dimension, FrameDimensionPage);

  auto expectPage = [&](UINT32 index, UINT32 width, UINT32 height, PixelFormat format,
                        const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(GdipImageSelectActiveFrame(image.get(), &FrameDimensionPage, index), Ok) << index;
    UINT32 w = 0;
    UINT32 h = 0;
    PixelFormat f = 0;
    GdipGetImageWidth(image.get(), &w);
    GdipGetImageHeight(image.get(), &h);
    GdipGetImagePixelFormat(image.get(), &f);
    EXPECT_EQ(w, width) << index;
    EXPECT_EQ(h, height) << index;
    EXPECT_EQ(f, format) << index;
    EXPECT_EQ(FrameBytes(image.get()->frame), bytes) << index;
    // Every page carries its own directory's tags.
    const gdiplus::StoredProperty* widthTag = image.get()->properties.Find(PropertyTagImageWidth);
    ASSERT_NE(widthTag, nullptr) << index;
  };
  expectPage(1, 5, 7, PixelFormat8bppIndexed, Samples8(5, 7, 1));
  expectPage(2, 48, 3, PixelFormat1bppIndexed, BilevelPattern(3));
  expectPage(0, 16, 8, PixelFormat24bppRGB, SwappedRedBlue(Samples8(16, 8, 3), 3));
  EXPECT_EQ(GdipImageSelectActiveFrame(image.get(), &FrameDimensionPage, 3), InvalidParameter);
  EXPECT_EQ(ReadArgbPixels(image.get())[1], 0xFF000000u | (Channel(1, 0, 0) << 16) | (Channel(1, 0, 1) << 8) |
                                                Channel(1, 0, 2));
}

}  // namespace
}  // namespace pixavue::platform::test
