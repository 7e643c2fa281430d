// TIFF pages compared with what another decoder makes of them: BigTIFF,
// signed and floating-point samples, and the three L*a*b* encodings, each
// against reference pixels in tests/data/tiff (decoded by Pillow, L*a*b*
// converted by lcms2 at double precision, in
// scripts/make-tiff-fidelity-data); JPEG data of 12 and 16 bits against
// GDAL's decode or the encoded samples (scripts/make-tiff-jpeg-data).

#include <algorithm>
#include <filesystem>
#include <string>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;

std::filesystem::path TiffDataDir() { return std::filesystem::path(PIXAVUE_TEST_DATA_DIR) / "tiff"; }

// R, G, B values of a reference dump: <name>.rgb8 bytes or <name>.rgb16
// little-endian words.
std::vector<std::uint32_t> Reference(const std::string& file) {
  const std::vector<std::uint8_t> bytes = ReadFile(TiffDataDir() / file);
  const bool wide = file.ends_with(".rgb16");
  std::vector<std::uint32_t> values;
  for (std::size_t i = 0; i < bytes.size(); i += wide ? 2 : 1) {
    values.push_back(wide ? bytes[i] | (std::uint32_t{bytes[i + 1]} << 8) : bytes[i]);
  }
  return values;
}

// R, G, B values of a decoded 8bppIndexed, 24bppRGB or 48bppRGB frame.
std::vector<std::uint32_t> FrameRgb(const gdiplus::Frame& frame) {
  const std::vector<std::uint8_t> bytes = FrameBytes(frame);
  std::vector<std::uint32_t> values;
  switch (frame.pixels.format()) {
    case PixelFormat8bppIndexed:
      for (std::uint8_t index : bytes) {
        const ARGB colour = frame.palette.at(index);
        values.insert(values.end(), {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF});
      }
      break;
    case PixelFormat24bppRGB:
      for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
        values.insert(values.end(), {bytes[i + 2], bytes[i + 1], bytes[i]});
      }
      break;
    case PixelFormat48bppRGB:
      for (std::size_t i = 0; i + 6 <= bytes.size(); i += 6) {
        auto word = [&](std::size_t at) { return bytes[at] | (std::uint32_t{bytes[at + 1]} << 8); };
        values.insert(values.end(), {word(i + 4), word(i + 2), word(i)});
      }
      break;
    default:
      ADD_FAILURE() << "unexpected pixel format " << frame.pixels.format();
  }
  return values;
}

// 16-bit values narrowed to 8 bits, for comparing with 8-bit references.
std::vector<std::uint32_t> Narrowed(std::vector<std::uint32_t> values) {
  for (std::uint32_t& v : values) v = (v * 255 + 32767) / 65535;
  return values;
}

std::uint32_t LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  EXPECT_EQ(a.size(), b.size());
  std::uint32_t largest = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    largest = std::max(largest, a[i] > b[i] ? a[i] - b[i] : b[i] - a[i]);
  }
  return largest;
}

class TiffFidelityTest : public GdiplusTest {
 protected:
  static DecodedImage Decode(const std::string& file) {
    DecodedImage image;
    EXPECT_EQ(gdiplus::DecodeTiff(Shared(ReadFile(TiffDataDir() / file)), {}, image), Ok) << file;
    return image;
  }
};

TEST_F(TiffFidelityTest, BigTiffInEitherByteOrderReadsAsItsClassicPage) {
  const auto expected = Reference("rgb8-bigtiff.rgb8");
  for (const char* file : {"rgb8-bigtiff-le.tif", "rgb8-bigtiff-be.tif"}) {
    const DecodedImage image = Decode(file);
    EXPECT_EQ(image.rawFormat, ImageFormatTIFF) << file;
    EXPECT_EQ(image.frame.pixels.format(), PixelFormat24bppRGB) << file;
    EXPECT_EQ(FrameRgb(image.frame), expected) << file;

    // The flat interface recognises the BigTIFF header by its signature.
    GpImage* loaded = LoadImage(TiffDataDir() / file);
    ASSERT_NE(loaded, nullptr) << file;
    GUID format{};
    EXPECT_EQ(GdipGetImageRawFormat(loaded, &format), Ok);
    EXPECT_EQ(format, ImageFormatTIFF) << file;
    GdipDisposeImage(loaded);
  }
}

TEST_F(TiffFidelityTest, SignedSamplesKeepTheirOrderFromMostNegativeToLargest) {
  const DecodedImage wide = Decode("grey-int16.tif");
  EXPECT_EQ(wide.frame.pixels.format(), PixelFormat48bppRGB);
  const auto wideRgb = FrameRgb(wide.frame);
  EXPECT_EQ(wideRgb, Reference("grey-int16.rgb16"));
  // -32768, -1, 0 and 290 of the first row: darkest, just below and at the
  // middle, and above it.
  ASSERT_GE(wideRgb.size(), 12u);
  EXPECT_EQ(wideRgb[0], 0u);
  EXPECT_EQ(wideRgb[3], 32767u);
  EXPECT_EQ(wideRgb[6], 32768u);
  EXPECT_EQ(wideRgb[9], 33058u);

  const DecodedImage narrow = Decode("grey-int8.tif");
  EXPECT_EQ(narrow.frame.pixels.format(), PixelFormat8bppIndexed);
  EXPECT_EQ(FrameRgb(narrow.frame), Reference("grey-int8.rgb8"));
}

TEST_F(TiffFidelityTest, FloatingPointSamplesScaleFromTheirRange) {
  // The reference rounds as the layer does: the values match exactly.
  for (const char* name : {"grey-float32", "grey-float32-stated", "grey-float16-miniswhite", "rgb-float32"}) {
    const DecodedImage image = Decode(std::string(name) + ".tif");
    EXPECT_EQ(image.frame.pixels.format(), PixelFormat48bppRGB) << name;
    EXPECT_EQ(FrameRgb(image.frame), Reference(std::string(name) + ".rgb16")) << name;
  }
  // The first three samples of the unstated page are NaN, +inf and -inf.
  const auto special = FrameRgb(Decode("grey-float32.tif").frame);
  EXPECT_EQ(special[0], 0u);
  EXPECT_EQ(special[3], 65535u);
  EXPECT_EQ(special[6], 0u);
  EXPECT_EQ(Decode("grey-float32.tif").frame.flags & ImageFlagsColorSpaceGRAY, std::uint32_t{ImageFlagsColorSpaceGRAY});
}

TEST_F(TiffFidelityTest, LabPagesOfEveryEncodingBecomeSrgb) {
  for (const char* name : {"lab8-cielab", "lab8-icclab", "lab8-itulab", "lab16-cielab", "lab16-icclab"}) {
    const bool wide = std::string(name).starts_with("lab16");
    const DecodedImage image = Decode(std::string(name) + ".tif");
    EXPECT_EQ(image.frame.pixels.format(), wide ? PixelFormat48bppRGB : PixelFormat24bppRGB) << name;
    const auto rgb = FrameRgb(image.frame);
    // One level of 8 bits either way, for lcms2's rounding.
    EXPECT_LE(LargestDifference(rgb, Reference(std::string(name) + (wide ? ".rgb16" : ".rgb8"))), wide ? 257u : 1u)
        << name;
    // L* 100 with a* = b* = 0 is white, L* 0 black.
    const auto levels = wide ? Narrowed(rgb) : rgb;
    ASSERT_GE(levels.size(), 6u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_GE(levels[i], 254u) << name;
      EXPECT_LE(levels[3 + i], 1u) << name;
    }
  }
}

// DCT data of more than 8-bit pages against what GDAL's libjpeg decodes:
// 12-bit strips with their quantisation tables in JPEGTables, YCbCr tiles
// sampled 2x2 (upsampled as libjpeg does), CMYK sampled 2:1 with restart
// markers, and a 16-bit CMYK page whose JPEG data has 8 bits. The decoder
// computes as libjpeg does, so the values agree exactly.
TEST_F(TiffFidelityTest, DctJpegPagesOfMoreThanEightBitsMatchAnotherDecoder) {
  struct Case {
    const char* name;
    std::uint32_t colourSpace;
  };
  for (const Case& c :
       {Case{"grey12-jpeg", ImageFlagsColorSpaceGRAY}, Case{"ycbcr12-jpeg-tiled", ImageFlagsColorSpaceRGB},
        Case{"cmyk12-jpeg-restart", ImageFlagsColorSpaceCMYK}, Case{"cmyk16-jpeg8", ImageFlagsColorSpaceCMYK}}) {
    const DecodedImage image = Decode(std::string(c.name) + ".tif");
    EXPECT_EQ(image.frame.pixels.format(), PixelFormat48bppRGB) << c.name;
    EXPECT_EQ(image.frame.flags & c.colourSpace, c.colourSpace) << c.name;
    EXPECT_EQ(FrameRgb(image.frame), Reference(std::string(c.name) + ".rgb16")) << c.name;
  }
}

// Lossless JPEG data (how 16-bit samples are JPEG-compressed) decodes to
// exactly the samples that were encoded: 16-bit CMYK with every predictor
// and restart markers, 12-bit grey with a point transform, 16-bit RGB in
// separate planes.
TEST_F(TiffFidelityTest, LosslessJpegPagesDecodeToTheirSourceSamples) {
  for (const char* name : {"cmyk16-jpeg-lossless", "grey12-jpeg-lossless", "rgb16-jpeg-lossless-planar"}) {
    const DecodedImage image = Decode(std::string(name) + ".tif");
    EXPECT_EQ(image.frame.pixels.format(), PixelFormat48bppRGB) << name;
    EXPECT_EQ(FrameRgb(image.frame), Reference(std::string(name) + ".rgb16")) << name;
  }
}

TEST_F(TiffFidelityTest, ProgressiveTwelveBitJpegIsAnUnknownFormat) {
  DecodedImage image;
  EXPECT_EQ(gdiplus::DecodeTiff(Shared(ReadFile(TiffDataDir() / "grey12-jpeg-progressive.tif")), {}, image),
            UnknownImageFormat);
}

// 16-bit CMYK maps as 8-bit CMYK does: the same page at both depths gives
// the same colours within rounding, white for no ink and black for full
// black.
TEST_F(TiffFidelityTest, SixteenBitCmykMapsAsEightBitCmykDoes) {
  const std::uint32_t width = 64;
  TiffPageSpec narrow;
  narrow.width = width;
  narrow.samplesPerPixel = 4;
  narrow.photometric = PHOTOMETRIC_SEPARATED;
  TiffPageSpec wide = narrow;
  wide.bitsPerSample = 16;
  for (std::uint32_t x = 0; x < width; ++x) {
    const std::uint8_t inks[4] = {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(255 - x * 3),
                                  static_cast<std::uint8_t>(x * 37),
                                  static_cast<std::uint8_t>(x < 2 ? 255 * x : x * 2)};
    for (std::uint8_t ink : inks) {
      narrow.samples.push_back(ink);
      const std::uint16_t widened = static_cast<std::uint16_t>(ink * 257);
      wide.samples.insert(wide.samples.end(), reinterpret_cast<const std::uint8_t*>(&widened),
                          reinterpret_cast<const std::uint8_t*>(&widened) + 2);
    }
  }
  DecodedImage eight;
  DecodedImage sixteen;
  ASSERT_EQ(gdiplus::DecodeTiff(Shared(WriteTiffPage(narrow)), {}, eight), Ok);
  ASSERT_EQ(gdiplus::DecodeTiff(Shared(WriteTiffPage(wide)), {}, sixteen), Ok);
  EXPECT_EQ(sixteen.frame.pixels.format(), PixelFormat48bppRGB);
  EXPECT_EQ(sixteen.frame.flags & ImageFlagsColorSpaceCMYK, std::uint32_t{ImageFlagsColorSpaceCMYK});
  const auto rgb = FrameRgb(sixteen.frame);
  EXPECT_LE(LargestDifference(Narrowed(rgb), FrameRgb(eight.frame)), 1u);
  // Pixel 1 has full black; the first channel of pixel 0 has no ink at all.
  EXPECT_EQ(rgb[3], 0u);
  EXPECT_EQ(rgb[0], 65535u);
}

}  // namespace
}  // namespace pixavue::platform::test
