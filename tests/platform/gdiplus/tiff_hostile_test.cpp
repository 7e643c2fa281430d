// Damaged and hostile TIFF files: each gives a status (or a well-formed
// image), never a crash, an overrun or a hang.

#include <limits>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

// A 4 x 2 8-bit grey page with one uncompressed strip at offset 8.
std::vector<RawTiffEntry> GreyEntries() {
  return {{TIFFTAG_IMAGEWIDTH, TIFF_LONG, {4}},      {TIFFTAG_IMAGELENGTH, TIFF_LONG, {2}},
          {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {8}},  {TIFFTAG_COMPRESSION, TIFF_SHORT, {COMPRESSION_NONE}},
          {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {1}},    {TIFFTAG_STRIPOFFSETS, TIFF_LONG, {8}},
          {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {1}}, {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {2}},
          {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {8}}};
}

const std::vector<std::uint8_t> kGreyPixels{1, 2, 3, 4, 5, 6, 7, 8};

std::vector<RawTiffEntry> With(std::vector<RawTiffEntry> entries, std::uint16_t tag, std::uint16_t type,
                               std::vector<std::uint32_t> values) {
  for (RawTiffEntry& entry : entries) {
    if (entry.tag == tag) {
      entry.type = type;
      entry.values = std::move(values);
      return entries;
    }
  }
  entries.push_back({tag, type, std::move(values)});
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.tag < b.tag; });
  return entries;
}

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

// Where directory `ifd` of a little-endian file keeps its next offset.
std::size_t NextPointerOf(const std::vector<std::uint8_t>& bytes, std::uint32_t ifd) {
  const std::uint16_t count = static_cast<std::uint16_t>(bytes[ifd] | (bytes[ifd + 1] << 8));
  return ifd + 2 + 12u * count;
}

// Sets the inline value of `tag` in the first directory of a
// little-endian file.
void PatchTag(std::vector<std::uint8_t>& bytes, std::uint16_t tag, std::uint32_t value) {
  const std::uint32_t ifd = Le32(bytes, 4);
  const std::size_t end = NextPointerOf(bytes, ifd);
  for (std::size_t at = ifd + 2; at < end; at += 12) {
    if ((bytes[at] | (bytes[at + 1] << 8)) != tag) continue;
    if (bytes[at + 2] == TIFF_SHORT) {
      bytes[at + 8] = static_cast<std::uint8_t>(value);
      bytes[at + 9] = static_cast<std::uint8_t>(value >> 8);
    } else {
      std::memcpy(bytes.data() + at + 8, &value, 4);
    }
    return;
  }
  ADD_FAILURE() << "no tag " << tag;
}

class TiffHostileTest : public GdiplusTest {
 protected:
  // Decodes and checks that a success is a whole image.
  static GpStatus Decode(std::vector<std::uint8_t> bytes, gdiplus::DecodedImage* kept = nullptr) {
    gdiplus::DecodedImage image;
    const GpStatus status = gdiplus::DecodeTiff(Shared(std::move(bytes)), {}, image);
    if (status == Ok) {
      EXPECT_FALSE(image.frame.pixels.empty());
      EXPECT_GT(image.frame.pixels.width(), 0u);
    }
    if (kept != nullptr) *kept = std::move(image);
    return status;
  }
};

TEST_F(TiffHostileTest, HandLaidPageDecodes) {
  gdiplus::DecodedImage image;
  ASSERT_EQ(Decode(RawTiff(kGreyPixels, GreyEntries()), &image), Ok);
  EXPECT_EQ(FrameBytes(image.frame), kGreyPixels);
}

TEST_F(TiffHostileTest, SizesOverTheLimitsAreOutOfMemory) {
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_IMAGEWIDTH, TIFF_LONG, {70000}))), OutOfMemory);
  auto square = With(GreyEntries(), TIFFTAG_IMAGEWIDTH, TIFF_LONG, {20000});
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(square, TIFFTAG_IMAGELENGTH, TIFF_LONG, {20000}))), OutOfMemory);
  // Within the limits but with one tiny strip: refused without filling memory.
  auto large = With(GreyEntries(), TIFFTAG_IMAGEWIDTH, TIFF_LONG, {16000});
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(large, TIFFTAG_IMAGELENGTH, TIFF_LONG, {16000}))), InvalidParameter);
  auto tiles = With(GreyEntries(), TIFFTAG_TILEWIDTH, TIFF_LONG, {1u << 20});
  tiles = With(tiles, TIFFTAG_TILELENGTH, TIFF_LONG, {1u << 20});
  tiles = With(tiles, TIFFTAG_TILEOFFSETS, TIFF_LONG, {8});
  tiles = With(tiles, TIFFTAG_TILEBYTECOUNTS, TIFF_LONG, {8});
  EXPECT_NE(Decode(RawTiff(kGreyPixels, tiles)), Ok);
}

TEST_F(TiffHostileTest, StripsOutsideTheFileAreInvalid) {
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_STRIPOFFSETS, TIFF_LONG, {100000}))),
            InvalidParameter);
  // A strip that starts inside the file and runs past its end.
  const auto size = static_cast<std::uint32_t>(RawTiff(kGreyPixels, GreyEntries()).size());
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_STRIPOFFSETS, TIFF_LONG, {size - 4}))),
            InvalidParameter);
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_STRIPOFFSETS, TIFF_LONG, {0xFFFFFFF0}))),
            InvalidParameter);
  // More rows than the strips hold.
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {1}))),
            InvalidParameter);
}

TEST_F(TiffHostileTest, OddFieldValuesGiveAStatus) {
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {3}))),
            UnknownImageFormat);
  EXPECT_NE(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {64}))), Ok);
  EXPECT_NE(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {0}))), Ok);
  // libtiff drops a zero RowsPerStrip and reads the page as one strip.
  Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {0})));
  // libtiff reads an 8-bit palette page without colour map as grey, but
  // a 4-bit one has no such reading.
  auto noMap = With(GreyEntries(), TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {PHOTOMETRIC_PALETTE});
  EXPECT_NE(Decode(RawTiff(kGreyPixels, With(noMap, TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {4}))), Ok);
  EXPECT_NE(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {3000}))), Ok);
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_COMPRESSION, TIFF_SHORT, {60000}))),
            UnknownImageFormat);
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_SAMPLEFORMAT, TIFF_SHORT, {SAMPLEFORMAT_IEEEFP}))),
            UnknownImageFormat);
  auto noWidth = GreyEntries();
  noWidth.erase(noWidth.begin());
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, noWidth)), InvalidParameter);
}

// A 2 x 2 page of 32-bit floating-point grey: `values` as stored.
std::vector<std::uint8_t> FloatGreyPage(const std::vector<float>& values, std::vector<RawTiffEntry> extra = {}) {
  std::vector<std::uint8_t> data(values.size() * 4);
  std::memcpy(data.data(), values.data(), data.size());
  auto entries = With(With(With(GreyEntries(), TIFFTAG_IMAGEWIDTH, TIFF_LONG, {2}), TIFFTAG_BITSPERSAMPLE, TIFF_SHORT,
                           {32}),
                      TIFFTAG_SAMPLEFORMAT, TIFF_SHORT, {SAMPLEFORMAT_IEEEFP});
  entries = With(entries, TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {static_cast<std::uint32_t>(data.size())});
  for (const RawTiffEntry& entry : extra) entries = With(entries, entry.tag, entry.type, entry.values);
  return RawTiff(data, entries);
}

TEST_F(TiffHostileTest, FloatPagesWithoutAUsableRangeStillDecode) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float huge = std::numeric_limits<float>::max();
  for (const auto& values : {std::vector<float>{nan, nan, nan, nan}, std::vector<float>{inf, -inf, inf, -inf},
                             std::vector<float>{-huge, huge, 0.0f, 1.0f}, std::vector<float>{7.0f, 7.0f, 7.0f, 7.0f}}) {
    gdiplus::DecodedImage image;
    ASSERT_EQ(gdiplus::DecodeTiff(Shared(FloatGreyPage(values)), {}, image), Ok);
    EXPECT_EQ(image.frame.pixels.format(), PixelFormat48bppRGB);
  }
  // A flat page keeps its brightness: 7 lies above 0..1 and shows white.
  gdiplus::DecodedImage flat;
  ASSERT_EQ(gdiplus::DecodeTiff(Shared(FloatGreyPage({7.0f, 7.0f, 7.0f, 7.0f})), {}, flat), Ok);
  std::uint16_t first = 0;
  std::memcpy(&first, flat.frame.pixels.Row(0), 2);
  EXPECT_EQ(first, 65535);
  // Odd float depths are an unknown format, not a crash.
  auto odd = FloatGreyPage({0.0f, 1.0f, 2.0f, 3.0f});
  PatchTag(odd, TIFFTAG_BITSPERSAMPLE, 24);
  EXPECT_EQ(Decode(odd), UnknownImageFormat);
  // A strip past the file's end.
  auto outside = FloatGreyPage({0.0f, 1.0f, 2.0f, 3.0f});
  PatchTag(outside, TIFFTAG_STRIPOFFSETS, 100000);
  EXPECT_EQ(Decode(outside), InvalidParameter);
}

TEST_F(TiffHostileTest, LabAndSignedPagesOfOddLayoutsGiveAStatus) {
  for (std::uint16_t photometric : {PHOTOMETRIC_CIELAB, PHOTOMETRIC_ICCLAB, PHOTOMETRIC_ITULAB}) {
    const auto lab = With(GreyEntries(), TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {photometric});
    // L* alone decodes as grey; two samples, or four bits, have no reading.
    gdiplus::DecodedImage image;
    EXPECT_EQ(gdiplus::DecodeTiff(Shared(RawTiff(kGreyPixels, lab)), {}, image), Ok);
    EXPECT_NE(Decode(RawTiff(kGreyPixels, With(With(lab, TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {2}),
                                               TIFFTAG_IMAGEWIDTH, TIFF_LONG, {2}))), Ok);
    EXPECT_NE(Decode(RawTiff(kGreyPixels, With(lab, TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {4}))), Ok);
  }
  // Signed 4-bit grey reads as unsigned, as libtiff reads it.
  const auto signed4 = With(With(GreyEntries(), TIFFTAG_SAMPLEFORMAT, TIFF_SHORT, {SAMPLEFORMAT_INT}),
                            TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {4});
  EXPECT_EQ(Decode(RawTiff(kGreyPixels, signed4)), Ok);
}

TEST_F(TiffHostileTest, DirectoryLoopsEnd) {
  // The only directory points back at itself.
  std::vector<std::uint8_t> self = RawTiff(kGreyPixels, GreyEntries());
  const std::uint32_t first = Le32(self, 4);
  std::memcpy(self.data() + NextPointerOf(self, first), &first, 4);
  gdiplus::DecodedImage image;
  ASSERT_EQ(Decode(self, &image), Ok);
  EXPECT_EQ(image.frames, nullptr);

  // Two pages whose second points back at the first.
  TiffPageSpec page;
  page.width = 3;
  page.samples = {1, 2, 3};
  std::vector<std::uint8_t> pair = WriteTiffPages({page, page});
  ASSERT_FALSE(pair.empty());
  const std::uint32_t a = Le32(pair, 4);
  const std::uint32_t b = Le32(pair, NextPointerOf(pair, a));
  std::memcpy(pair.data() + NextPointerOf(pair, b), &a, 4);
  ASSERT_EQ(Decode(pair, &image), Ok);
  ASSERT_NE(image.frames, nullptr);
  EXPECT_EQ(image.frames->FrameCount(), 2u);
  gdiplus::Frame frame;
  gdiplus::PropertyStore properties;
  EXPECT_EQ(image.frames->DecodeFrame(1, frame, properties), Ok);
  EXPECT_EQ(image.frames->DecodeFrame(2, frame, properties), InvalidParameter);
}

TEST_F(TiffHostileTest, EveryTruncationAndByteFlipIsSurvived) {
  TiffPageSpec lzw;
  lzw.width = 20;
  lzw.height = 9;
  lzw.samplesPerPixel = 3;
  lzw.photometric = PHOTOMETRIC_RGB;
  lzw.compression = COMPRESSION_LZW;
  lzw.rowsPerStrip = 4;
  for (std::uint32_t i = 0; i < 20 * 9 * 3; ++i) lzw.samples.push_back(static_cast<std::uint8_t>(i * 31 % 251));
  TiffPageSpec jpeg = lzw;
  jpeg.width = 16;
  jpeg.height = 16;
  jpeg.samples.resize(16 * 16 * 3);
  jpeg.photometric = PHOTOMETRIC_YCBCR;
  jpeg.compression = COMPRESSION_JPEG;
  jpeg.rowsPerStrip = 16;
  TiffPageSpec fax;
  fax.width = 40;
  fax.height = 6;
  fax.bitsPerSample = 1;
  fax.photometric = PHOTOMETRIC_MINISWHITE;
  fax.compression = COMPRESSION_CCITTFAX4;
  fax.samples.assign(30, 0x5A);
  const std::vector<std::uint8_t> file = WriteTiffPages({lzw, jpeg, fax});
  ASSERT_FALSE(file.empty());
  ASSERT_EQ(Decode(file), Ok);

  auto decodeAllPages = [](std::vector<std::uint8_t> bytes) {
    gdiplus::DecodedImage image;
    if (gdiplus::DecodeTiff(Shared(std::move(bytes)), {}, image) != Ok || !image.frames) return;
    for (std::uint32_t i = 1; i < image.frames->FrameCount(); ++i) {
      gdiplus::Frame frame;
      gdiplus::PropertyStore properties;
      image.frames->DecodeFrame(i, frame, properties);
    }
  };
  for (std::size_t size = 0; size < file.size(); ++size) {
    decodeAllPages(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)));
  }
  for (std::size_t at = 4; at < file.size(); ++at) {
    std::vector<std::uint8_t> flipped = file;
    flipped[at] = static_cast<std::uint8_t>(flipped[at] ^ 0xA5);
    decodeAllPages(std::move(flipped));
  }
}

TEST_F(TiffHostileTest, JpegDataNarrowerThanItsPageLeavesTheRestBlack) {
  TiffPageSpec page;
  page.width = 16;
  page.height = 16;
  page.samplesPerPixel = 3;
  page.photometric = PHOTOMETRIC_YCBCR;
  page.compression = COMPRESSION_JPEG;
  page.rowsPerStrip = 16;
  page.samples.assign(16 * 16 * 3, 200);
  std::vector<std::uint8_t> bytes = WriteTiffPage(page);
  ASSERT_FALSE(bytes.empty());
  PatchTag(bytes, TIFFTAG_IMAGEWIDTH, 40);
  gdiplus::DecodedImage image;
  ASSERT_EQ(Decode(bytes, &image), Ok);
  ASSERT_EQ(image.frame.pixels.width(), 40u);
  for (std::uint32_t y = 0; y < 16; ++y) {
    const std::uint8_t* row = image.frame.pixels.Row(y);
    for (std::uint32_t x = 16 * 3; x < 40 * 3; ++x) ASSERT_EQ(row[x], 0) << x << "," << y;
  }
}

TEST_F(TiffHostileTest, LoadingThroughTheFlatInterfaceReportsTheStatus) {
  const auto path = temp_dir() / "broken.tif";
  WriteFile(path, RawTiff(kGreyPixels, With(GreyEntries(), TIFFTAG_STRIPOFFSETS, TIFF_LONG, {100000})));
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), &image), InvalidParameter);
  EXPECT_EQ(image, nullptr);
}

}  // namespace
}  // namespace pixavue::platform::test
