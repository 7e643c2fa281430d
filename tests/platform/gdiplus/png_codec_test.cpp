// PNG decoder choices (pixel format, palette, resolution, colour
// management), encoder round trips and refusal of damaged files.
#include <png.h>

#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "codec.h"
#include "gdiplus_test_support.h"
#include "icc_test_profiles.h"
#include "png_suite.h"
#include "png_test_frames.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;
using gdiplus::Frame;

class PngCodecTest : public GdiplusTest {
 protected:
  static GpStatus Decode(std::vector<std::uint8_t> bytes, DecodedImage& out, bool colourManaged = false) {
    gdiplus::DecodeOptions options;
    options.useEmbeddedColorManagement = colourManaged;
    return gdiplus::DecodePng(Shared(std::move(bytes)), options, out);
  }

  static DecodedImage DecodeSuiteFile(const std::string& name) {
    DecodedImage decoded;
    EXPECT_EQ(Decode(ReadFile(PngSuiteDir() / "png" / (name + ".png")), decoded), Ok) << name;
    return decoded;
  }

  static std::vector<std::uint8_t> Encode(const Frame& frame) {
    const gdiplus::PropertyStore properties;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(gdiplus::EncodePng({frame, properties}, nullptr, bytes), Ok);
    return bytes;
  }

  static Frame RoundTrip(const Frame& frame) {
    DecodedImage decoded;
    EXPECT_EQ(Decode(Encode(frame), decoded), Ok);
    return std::move(decoded.frame);
  }
};

struct FormatCase {
  const char* file;
  PixelFormat format;
  std::size_t paletteSize;
  std::uint32_t paletteFlags;
};

TEST_F(PngCodecTest, EachColourTypeAndDepthGetsItsPixelFormatAndPalette) {
  const FormatCase cases[] = {
      {"basn0g01", PixelFormat1bppIndexed, 2, PaletteFlagsGrayScale},
      {"basn0g02", PixelFormat8bppIndexed, 4, PaletteFlagsGrayScale},
      {"basn0g04", PixelFormat8bppIndexed, 16, PaletteFlagsGrayScale},
      {"basn0g08", PixelFormat8bppIndexed, 256, PaletteFlagsGrayScale},
      {"basn0g16", PixelFormat48bppRGB, 0, 0},
      {"basn2c08", PixelFormat24bppRGB, 0, 0},
      {"basn2c16", PixelFormat48bppRGB, 0, 0},
      {"basn3p01", PixelFormat1bppIndexed, 2, 0},
      {"basn3p02", PixelFormat4bppIndexed, 4, 0},
      {"basi3p02", PixelFormat4bppIndexed, 4, 0},
      {"basn3p04", PixelFormat4bppIndexed, 15, 0},
      {"basn3p08", PixelFormat8bppIndexed, 256, 0},
      {"tbbn3p08", PixelFormat8bppIndexed, 246, PaletteFlagsHasAlpha},
      {"basn4a08", PixelFormat32bppARGB, 0, 0},
      {"basn4a16", PixelFormat64bppARGB, 0, 0},
      {"basn6a08", PixelFormat32bppARGB, 0, 0},
      {"basn6a16", PixelFormat64bppARGB, 0, 0},
      {"tbbn0g04", PixelFormat32bppARGB, 0, 0},  // grey with tRNS
      {"tbrn2c08", PixelFormat32bppARGB, 0, 0},  // RGB with tRNS
      {"tbbn2c16", PixelFormat64bppARGB, 0, 0},  // RGB16 with tRNS
      {"tbwn0g16", PixelFormat64bppARGB, 0, 0},  // grey16 with tRNS
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.file);
    const DecodedImage decoded = DecodeSuiteFile(c.file);
    EXPECT_EQ(decoded.frame.pixels.format(), c.format);
    EXPECT_EQ(decoded.frame.palette.size(), c.paletteSize);
    EXPECT_EQ(decoded.frame.paletteFlags, c.paletteFlags);
    EXPECT_EQ(decoded.rawFormat, ImageFormatPNG);
  }
  // Low-depth grey levels spread over the full range.
  const DecodedImage grey2 = DecodeSuiteFile("basn0g02");
  EXPECT_EQ(grey2.frame.palette, (std::vector<ARGB>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
}

TEST_F(PngCodecTest, ResolutionComesFromPhysInMetresOnly) {
  const DecodedImage metres = DecodeSuiteFile("cdun2c08");  // 1000 pixels per metre
  EXPECT_NEAR(metres.frame.dpiX, 25.4f, 1e-3);
  EXPECT_NEAR(metres.frame.dpiY, 25.4f, 1e-3);
  EXPECT_NE(metres.frame.flags & ImageFlagsHasRealDPI, 0u);
  for (const char* name : {"cdfn2c08", "basn2c08"}) {  // aspect ratio only; no pHYs
    const DecodedImage plain = DecodeSuiteFile(name);
    EXPECT_EQ(plain.frame.dpiX, 96.0f) << name;
    EXPECT_EQ(plain.frame.flags & ImageFlagsHasRealDPI, 0u) << name;
  }
}

TEST_F(PngCodecTest, EveryFormatFamilyRoundTripsExactly) {
  struct Case {
    PixelFormat format;
    int pngDepth;
    int pngColourType;
  };
  const Case cases[] = {
      {PixelFormat1bppIndexed, 1, PNG_COLOR_TYPE_PALETTE}, {PixelFormat4bppIndexed, 4, PNG_COLOR_TYPE_PALETTE},
      {PixelFormat8bppIndexed, 8, PNG_COLOR_TYPE_PALETTE}, {PixelFormat24bppRGB, 8, PNG_COLOR_TYPE_RGB},
      {PixelFormat32bppARGB, 8, PNG_COLOR_TYPE_RGB_ALPHA}, {PixelFormat48bppRGB, 16, PNG_COLOR_TYPE_RGB},
      {PixelFormat64bppARGB, 16, PNG_COLOR_TYPE_RGB_ALPHA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    Frame frame = RandomFrame(c.format, 13, 5, /*paletteAlpha=*/true);
    frame.dpiX = 300;
    frame.dpiY = 150;
    const std::vector<std::uint8_t> bytes = Encode(frame);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[24], c.pngDepth);
    EXPECT_EQ(bytes[25], c.pngColourType);
    DecodedImage decoded;
    ASSERT_EQ(Decode(bytes, decoded), Ok);
    EXPECT_TRUE(SamePixelBits(decoded.frame.pixels, frame.pixels));
    EXPECT_EQ(decoded.frame.palette, frame.palette);
    EXPECT_EQ(decoded.frame.paletteFlags, frame.paletteFlags);
    EXPECT_NEAR(decoded.frame.dpiX, 300.0f, 0.013);  // whole pixels per metre
    EXPECT_NEAR(decoded.frame.dpiY, 150.0f, 0.013);
  }
}

TEST_F(PngCodecTest, OtherFormatsAreWrittenInTheNearestPngLayout) {
  // Opaque and 16-bit RGB formats become RGB8, alpha formats RGBA8 without
  // premultiplication; the colours read back are those of the source.
  for (const PixelFormat format : {PixelFormat32bppRGB, PixelFormat16bppRGB555, PixelFormat16bppRGB565,
                                   PixelFormat32bppPARGB, PixelFormat16bppARGB1555}) {
    SCOPED_TRACE(format);
    const Frame frame = RandomFrame(format, 7, 3);
    const Frame back = RoundTrip(frame);
    EXPECT_EQ(back.pixels.format(), IsAlphaPixelFormat(format) ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    EXPECT_EQ(FrameArgb(back), FrameArgb(frame));
  }
  const Frame premultiplied = RandomFrame(PixelFormat64bppPARGB, 7, 3);
  const Frame back64 = RoundTrip(premultiplied);
  EXPECT_EQ(back64.pixels.format(), PixelFormat64bppARGB);
  EXPECT_EQ(FrameArgb64(back64), FrameArgb64(premultiplied));

  const Frame grey = RandomFrame(PixelFormat16bppGrayScale, 7, 3);
  const std::vector<std::uint8_t> bytes = Encode(grey);
  EXPECT_EQ(bytes[24], 16);
  EXPECT_EQ(bytes[25], PNG_COLOR_TYPE_GRAY);
  DecodedImage decoded;
  ASSERT_EQ(Decode(bytes, decoded), Ok);
  EXPECT_EQ(decoded.frame.pixels.format(), PixelFormat48bppRGB);
  EXPECT_EQ(FrameArgb64(decoded.frame), FrameArgb64(grey));
}

TEST_F(PngCodecTest, PaletteIsExtendedToCoverEveryIndexUsed) {
  Frame frame = RandomFrame(PixelFormat8bppIndexed, 3, 1);
  frame.palette = {0xFF112233, 0x80445566};
  frame.pixels.Row(0)[0] = 1;
  frame.pixels.Row(0)[1] = 4;  // past the palette: reads as opaque black
  frame.pixels.Row(0)[2] = 0;
  const Frame back = RoundTrip(frame);
  EXPECT_EQ(back.palette, (std::vector<ARGB>{0xFF112233, 0x80445566, 0xFF000000, 0xFF000000, 0xFF000000}));
  EXPECT_EQ(FrameArgb(back), FrameArgb(frame));
}

TEST_F(PngCodecTest, SavesAndLoadsThroughTheFlatInterface) {
  const std::vector<ARGB> pixels{0x80FF0000, 0xFF00FF00, 0x000000FF, 0xFF123456, 0x7F7F7F7F, 0xFFFFFFFF};
  ImageGuard bitmap(MakeBitmap(3, 2, PixelFormat32bppARGB, pixels));
  ASSERT_NE(bitmap.get(), nullptr);
  const auto path = temp_dir() / "saved.png";
  ASSERT_EQ(SaveImage(bitmap.get(), path, CLSID_PngCodec), Ok);
  ImageGuard loaded(LoadImage(path));
  ASSERT_NE(loaded.get(), nullptr);
  GUID raw{};
  ASSERT_EQ(GdipGetImageRawFormat(loaded.get(), &raw), Ok);
  EXPECT_EQ(raw, ImageFormatPNG);
  EXPECT_EQ(ReadArgbPixels(loaded.get()), pixels);
}

// A 1x1 RGB PNG carrying `profile` in an iCCP chunk.
std::vector<std::uint8_t> PngWithProfile(const std::vector<std::uint8_t>& profile, std::uint8_t grey) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t size) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + size);
      },
      nullptr);
  png_set_IHDR(png, info, 1, 1, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_iCCP(png, info, "linear", PNG_COMPRESSION_TYPE_BASE, profile.data(),
               static_cast<png_uint_32>(profile.size()));
  png_write_info(png, info);
  std::uint8_t row[3] = {grey, grey, grey};
  png_write_row(png, row);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST_F(PngCodecTest, EmbeddedProfileIsAppliedOnlyWhenAskedFor) {
  const std::vector<std::uint8_t> file = PngWithProfile(LinearRgbProfile(), 64);
  DecodedImage plain;
  ASSERT_EQ(Decode(file, plain), Ok);
  EXPECT_EQ(FrameArgb(plain.frame), std::vector<ARGB>{0xFF404040});
  DecodedImage managed;
  ASSERT_EQ(Decode(file, managed, /*colourManaged=*/true), Ok);
  // Linear 64/255 is about 137 in sRGB.
  const ARGB pixel = FrameArgb(managed.frame).at(0);
  EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 137, 3);
}

TEST_F(PngCodecTest, DamagedFilesAreRefused) {
  const std::vector<std::uint8_t> good = ReadFile(PngSuiteDir() / "png" / "cdun2c08.png");
  DecodedImage decoded;
  ASSERT_EQ(Decode(good, decoded), Ok);

  std::vector<std::uint8_t> badCrc = good;
  badCrc[64 + 8] ^= 1;  // inside the pHYs chunk, an ancillary one
  EXPECT_EQ(Decode(badCrc, decoded), InvalidParameter);

  for (std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{30}, good.size() / 2, good.size() - 13}) {
    EXPECT_EQ(Decode({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)}, decoded), InvalidParameter)
        << cut;
  }
}

// CRC-32 of PNG chunks (bitwise; the inputs are tiny).
std::uint32_t ChunkCrc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

TEST_F(PngCodecTest, OversizedImagesAreRefusedBeforeAllocating) {
  // An IHDR alone suffices: the sides are checked before any pixel data.
  const std::vector<std::uint8_t> original = ReadFile(PngSuiteDir() / "png" / "basn2c08.png");
  const auto withSize = [&](std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> bytes = original;
    png_save_uint_32(bytes.data() + 16, width);
    png_save_uint_32(bytes.data() + 20, height);
    png_save_uint_32(bytes.data() + 29, ChunkCrc(bytes.data() + 12, 17));
    return bytes;
  };
  DecodedImage decoded;
  EXPECT_EQ(Decode(withSize(70000, 1), decoded), OutOfMemory);
  EXPECT_EQ(Decode(withSize(20000, 20000), decoded), OutOfMemory);
  EXPECT_EQ(Decode(withSize(64, 64), decoded), InvalidParameter);  // too little image data
  EXPECT_EQ(Decode(withSize(0, 1), decoded), InvalidParameter);
}

}  // namespace
}  // namespace pixavue::platform::test
