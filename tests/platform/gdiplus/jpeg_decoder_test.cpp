// Decoding JPEG files made by libjpeg in the test: pixels of every colour
// model, resolution and EXIF metadata, ICC chunks, and damaged files.

#include <array>
#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "jpeg_test_files.h"

namespace pixavue::platform::test {
namespace {

const std::vector<std::vector<std::uint8_t>> kRgbColours{
    {200, 30, 40}, {20, 180, 60}, {40, 60, 220}, {250, 250, 250}, {0, 0, 0}, {128, 128, 128}};

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}
void PutEntry(std::vector<std::uint8_t>& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

// APP1 "Exif\0\0" with a little-endian IFD0: Make "Pixavue", XResolution,
// YResolution and ResolutionUnit.
std::vector<std::uint8_t> ExifSegment(std::uint32_t xDpi, std::uint32_t yDpi, std::uint16_t unit) {
  std::vector<std::uint8_t> out{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
  Put32(out, 8);
  constexpr std::uint32_t kData = 8 + 2 + 4 * 12 + 4;
  Put16(out, 4);
  PutEntry(out, 0x010F, 2, 8, kData);
  PutEntry(out, 0x011A, 5, 1, kData + 8);
  PutEntry(out, 0x011B, 5, 1, kData + 16);
  PutEntry(out, 0x0128, 3, 1, unit);
  Put32(out, 0);
  for (char c : std::string_view("Pixavue", 8)) out.push_back(static_cast<std::uint8_t>(c));
  Put32(out, xDpi);
  Put32(out, 1);
  Put32(out, yDpi);
  Put32(out, 1);
  return out;
}

// Offset of the first FF `code` marker, or the file size.
std::size_t FindMarker(const std::vector<std::uint8_t>& file, std::uint8_t code) {
  for (std::size_t i = 2; i + 1 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == code) return i;
  }
  return file.size();
}

TestJpeg RgbBlocks(std::uint32_t width = 32, std::uint32_t height = 32) {
  TestJpeg spec;
  spec.width = width;
  spec.height = height;
  spec.samples = BlockSamples(width, height, 3, kRgbColours);
  return spec;
}

// Every pixel within `tolerance` of the block colour it was written with.
void ExpectBlocks(GpImage* image, const TestJpeg& spec, const std::vector<std::vector<std::uint8_t>>& expected,
                  int tolerance) {
  const std::vector<ARGB> pixels = ReadArgbPixels(image);
  const auto wanted = BlockSamples(spec.width, spec.height, 3, expected);
  ASSERT_EQ(pixels.size() * 3, wanted.size());
  int worst = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    worst = std::max({worst, std::abs(Channel(pixels[i], 16) - wanted[i * 3]),
                      std::abs(Channel(pixels[i], 8) - wanted[i * 3 + 1]),
                      std::abs(Channel(pixels[i], 0) - wanted[i * 3 + 2])});
    ASSERT_EQ(pixels[i] >> 24, 0xFFu);
  }
  EXPECT_LE(worst, tolerance);
}

PixelFormat FormatOf(GpImage* image) {
  PixelFormat format = 0;
  EXPECT_EQ(GdipGetImagePixelFormat(image, &format), Ok);
  return format;
}

UINT32 FlagsOf(GpImage* image) {
  UINT32 flags = 0;
  EXPECT_EQ(GdipGetImageFlags(image, &flags), Ok);
  return flags;
}

std::pair<REAL, REAL> DpiOf(GpImage* image) {
  REAL x = 0, y = 0;
  EXPECT_EQ(GdipGetImageHorizontalResolution(image, &x), Ok);
  EXPECT_EQ(GdipGetImageVerticalResolution(image, &y), Ok);
  return {x, y};
}

using JpegDecoding = JpegFileTest;

TEST_F(JpegDecoding, ColourFilesGive24BitPixelsForEveryCoding) {
  for (const bool progressive : {false, true}) {
    for (const bool arithmetic : {false, true}) {
      TestJpeg spec = RgbBlocks(48, 40);  // sizes that are not whole MCUs
      spec.progressive = progressive;
      spec.arithmetic = arithmetic;
      ImageGuard image(Load(WriteTestJpeg(spec)));
      ASSERT_NE(image.get(), nullptr);
      SCOPED_TRACE(testing::Message() << "progressive " << progressive << " arithmetic " << arithmetic);
      EXPECT_EQ(FormatOf(image.get()), PixelFormat24bppRGB);
      GUID raw{};
      EXPECT_EQ(GdipGetImageRawFormat(image.get(), &raw), Ok);
      EXPECT_EQ(raw, ImageFormatJPEG);
      EXPECT_NE(FlagsOf(image.get()) & ImageFlagsColorSpaceYCBCR, 0u);
      ExpectBlocks(image.get(), spec, kRgbColours, 3);
    }
  }
}

TEST_F(JpegDecoding, RgbCodedFileHasTheRgbColourSpaceFlag) {
  TestJpeg spec = RgbBlocks();
  spec.stored = JCS_RGB;
  spec.jfif = false;  // RGB coding is told by the Adobe marker
  spec.adobeMarker = true;
  ImageGuard image(Load(WriteTestJpeg(spec)));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_NE(FlagsOf(image.get()) & ImageFlagsColorSpaceRGB, 0u);
  EXPECT_EQ(FlagsOf(image.get()) & ImageFlagsColorSpaceYCBCR, 0u);
  ExpectBlocks(image.get(), spec, kRgbColours, 2);
}

TEST_F(JpegDecoding, GreyFileGivesIndexedPixelsWithAGreyPalette) {
  TestJpeg spec;
  spec.height = 32;
  spec.input = JCS_GRAYSCALE;
  spec.components = 1;
  spec.samples = BlockSamples(16, 32, 1, {{30}, {220}});
  ImageGuard image(Load(WriteTestJpeg(spec)));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(FormatOf(image.get()), PixelFormat8bppIndexed);
  EXPECT_NE(FlagsOf(image.get()) & ImageFlagsColorSpaceGRAY, 0u);
  INT size = 0;
  ASSERT_EQ(GdipGetImagePaletteSize(image.get(), &size), Ok);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
  auto* palette = reinterpret_cast<ColorPalette*>(buffer.data());
  ASSERT_EQ(GdipGetImagePalette(image.get(), palette, size), Ok);
  ASSERT_EQ(palette->Count, 256u);
  EXPECT_NE(palette->Flags & PaletteFlagsGrayScale, 0u);
  EXPECT_EQ(palette->Entries[77], 0xFF4D4D4Du);
  const std::vector<ARGB> pixels = ReadArgbPixels(image.get());
  EXPECT_NEAR(Channel(pixels[0], 8), 30, 1);
  EXPECT_NEAR(Channel(pixels[16 * 16], 8), 220, 1);
}

// C, M, Y, K inks of the test blocks and the colours the plain formula
// gives them.
const std::vector<std::vector<std::uint8_t>> kInks{{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {0, 0, 0, 128},
                                                   {0, 0, 0, 0}};
const std::vector<std::vector<std::uint8_t>> kInkColours{
    {0, 255, 255}, {255, 0, 255}, {255, 255, 0}, {127, 127, 127}, {255, 255, 255}};

std::vector<std::vector<std::uint8_t>> InvertedInks() {
  auto inks = kInks;
  for (auto& ink : inks) {
    for (auto& v : ink) v = static_cast<std::uint8_t>(255 - v);
  }
  return inks;
}

TEST_F(JpegDecoding, CmykAndYcckFilesConvertToRgb) {
  struct Case {
    const char* name;
    J_COLOR_SPACE stored;
    bool adobe;
    UINT32 flag;
  };
  for (const Case& c : {Case{"plain CMYK", JCS_CMYK, false, ImageFlagsColorSpaceCMYK},
                        Case{"Adobe inverted CMYK", JCS_CMYK, true, ImageFlagsColorSpaceCMYK},
                        Case{"Adobe inverted YCCK", JCS_YCCK, true, ImageFlagsColorSpaceYCCK}}) {
    SCOPED_TRACE(c.name);
    TestJpeg spec;
    spec.width = 80;
    spec.input = JCS_CMYK;
    spec.components = 4;
    spec.stored = c.stored;
    spec.adobeMarker = c.adobe;
    spec.samples = BlockSamples(spec.width, spec.height, 4, c.adobe ? InvertedInks() : kInks);
    ImageGuard image(Load(WriteTestJpeg(spec)));
    ASSERT_NE(image.get(), nullptr);
    EXPECT_EQ(FormatOf(image.get()), PixelFormat24bppRGB);
    EXPECT_NE(FlagsOf(image.get()) & c.flag, 0u);
    ExpectBlocks(image.get(), spec, kInkColours, 4);
  }
}

TEST_F(JpegDecoding, ResolutionComesFromJfifElseExif) {
  struct Case {
    const char* name;
    int unit, x, y;
    bool jfif;
    std::vector<std::uint8_t> exif;
    REAL dpiX, dpiY;
    bool real;
  };
  const std::vector<Case> cases{
      {"JFIF dots per inch", 1, 300, 150, true, {}, 300, 150, true},
      {"JFIF dots per cm", 2, 100, 40, true, {}, 254, 101.6f, true},
      {"JFIF aspect only", 0, 1, 1, true, {}, 96, 96, false},
      {"EXIF inches without JFIF", 0, 1, 1, false, ExifSegment(200, 100, 2), 200, 100, true},
      {"EXIF centimetres without JFIF", 0, 1, 1, false, ExifSegment(50, 50, 3), 127, 127, true},
      {"JFIF wins over EXIF", 1, 72, 72, true, ExifSegment(200, 100, 2), 72, 72, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestJpeg spec = RgbBlocks();
    spec.jfif = c.jfif;
    spec.densityUnit = c.unit;
    spec.xDensity = c.x;
    spec.yDensity = c.y;
    if (!c.exif.empty()) spec.markers.emplace_back(JPEG_APP0 + 1, c.exif);
    ImageGuard image(Load(WriteTestJpeg(spec)));
    ASSERT_NE(image.get(), nullptr);
    const auto [x, y] = DpiOf(image.get());
    EXPECT_NEAR(x, c.dpiX, 0.01);
    EXPECT_NEAR(y, c.dpiY, 0.01);
    EXPECT_EQ((FlagsOf(image.get()) & ImageFlagsHasRealDPI) != 0, c.real);
  }
}

TEST_F(JpegDecoding, ExifAndIccSegmentsBecomeProperties) {
  const std::vector<std::uint8_t> profile = SwappedPrimariesProfile();
  TestJpeg spec = RgbBlocks();
  spec.markers.emplace_back(JPEG_APP0 + 1, ExifSegment(200, 100, 2));
  // Chunks out of order: the profile is put together by sequence number.
  auto chunks = IccChunks(profile, 3);
  for (int i : {2, 0, 1}) spec.markers.emplace_back(JPEG_APP0 + 2, chunks[static_cast<std::size_t>(i)]);
  ImageGuard image(Load(WriteTestJpeg(spec)));
  ASSERT_NE(image.get(), nullptr);
  const std::vector<std::uint8_t> make = PropertyBytes(image.get(), PropertyTagEquipMake);
  EXPECT_EQ(std::string(make.begin(), make.end()), std::string("Pixavue", 8));
  EXPECT_EQ(PropertyBytes(image.get(), PropertyTagICCProfile), profile);
  EXPECT_EQ(PropertyBytes(image.get(), 0x5090).size(), 128u);  // luminance table
}

TEST_F(JpegDecoding, InconsistentIccChunksAreIgnored) {
  TestJpeg spec = RgbBlocks();
  auto chunks = IccChunks(SwappedPrimariesProfile(), 3);
  spec.markers.emplace_back(JPEG_APP0 + 2, chunks[0]);
  spec.markers.emplace_back(JPEG_APP0 + 2, chunks[0]);  // chunk 1 twice, chunk 2 missing
  spec.markers.emplace_back(JPEG_APP0 + 2, chunks[2]);
  ImageGuard image(Load(WriteTestJpeg(spec)));
  ASSERT_NE(image.get(), nullptr);
  EXPECT_TRUE(PropertyBytes(image.get(), PropertyTagICCProfile).empty());
}

TEST_F(JpegDecoding, TruncatedFileDecodesTheRowsItHas) {
  TestJpeg spec = RgbBlocks(256, 256);
  spec.subsampled = true;
  std::vector<std::uint8_t> file = WriteTestJpeg(spec);
  const std::size_t scan = FindMarker(file, 0xDA);
  ASSERT_LT(scan, file.size());
  file.resize(scan + (file.size() - scan) / 2);
  ImageGuard image(Load(file));
  ASSERT_NE(image.get(), nullptr);
  const std::vector<ARGB> pixels = ReadArgbPixels(image.get());
  ASSERT_EQ(pixels.size(), 256u * 256u);
  EXPECT_NEAR(Channel(pixels[0], 16), 200, 3);  // the first block is intact
  EXPECT_NEAR(Channel(pixels[0], 8), 30, 3);
}

TEST_F(JpegDecoding, DamagedHeadersGiveStatuses) {
  const std::vector<std::uint8_t> good = WriteTestJpeg(RgbBlocks());
  EXPECT_EQ(LoadStatus({0xFF, 0xD8}), InvalidParameter);
  EXPECT_EQ(LoadStatus({0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}), InvalidParameter);
  std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 200);
  EXPECT_EQ(LoadStatus(headerOnly), InvalidParameter);

  // SOF0: FF C0, length, precision, then height and width (big-endian).
  const std::size_t sof = FindMarker(good, 0xC0);
  ASSERT_LT(sof + 9, good.size());
  const auto withSize = [&](std::uint16_t width, std::uint16_t height) {
    std::vector<std::uint8_t> file = good;
    file[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    file[sof + 6] = static_cast<std::uint8_t>(height);
    file[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    file[sof + 8] = static_cast<std::uint8_t>(width);
    return file;
  };
  EXPECT_EQ(LoadStatus(withSize(65535, 65535)), OutOfMemory);
  EXPECT_EQ(LoadStatus(withSize(20000, 20000)), OutOfMemory);
  EXPECT_EQ(LoadStatus(withSize(0, 32)), InvalidParameter);

  // Codings libjpeg-turbo does not decode: 12-bit samples, lossless.
  std::vector<std::uint8_t> twelveBit = good;
  twelveBit[sof + 4] = 12;
  EXPECT_EQ(LoadStatus(twelveBit), UnknownImageFormat);
  std::vector<std::uint8_t> lossless = good;
  lossless[sof + 1] = 0xC3;
  EXPECT_EQ(LoadStatus(lossless), UnknownImageFormat);
}

}  // namespace
}  // namespace pixavue::platform::test
