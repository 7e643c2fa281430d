// The layer's own JPEG decoder (12-bit DCT and lossless data of TIFF pages)
// on damaged and hostile streams, made from the valid strips and tiles of
// tests/data/tiff: every truncation, every corrupted byte, broken or
// missing tables, frames that do not fit their chunk, restart markers
// where the interval does not put them, and processes that are not read.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "codecs/jpeg_wide_decoder.h"
#include "codecs/tiff_io.h"
#include "gdiplus_test_support.h"
#include "load_budget.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodeWideJpeg;
using gdiplus::WideJpegExpectation;
using gdiplus::WideJpegImage;
using Bytes = std::vector<std::uint8_t>;

// The JPEGTables of a TIFF and the raw bytes of one of its strips or tiles.
struct TiffChunk {
  Bytes tables;
  Bytes data;
};

TiffChunk ReadChunk(const std::string& file, std::uint32_t index) {
  const Bytes bytes = ReadFile(std::filesystem::path(PIXAVUE_TEST_DATA_DIR) / "tiff" / file);
  gdiplus::TiffMemorySource source(bytes);
  const gdiplus::TiffHandle tif = gdiplus::OpenTiffReader(source);
  TiffChunk chunk;
  if (!tif) {
    ADD_FAILURE() << file;
    return chunk;
  }
  std::uint32_t count = 0;
  void* tables = nullptr;
  if (TIFFGetField(tif.get(), TIFFTAG_JPEGTABLES, &count, &tables) && tables != nullptr) {
    chunk.tables.assign(static_cast<const std::uint8_t*>(tables), static_cast<const std::uint8_t*>(tables) + count);
  }
  const std::uint64_t size = TIFFGetStrileByteCount(tif.get(), index);
  chunk.data.resize(size);
  const tmsize_t read = TIFFIsTiled(tif.get())
                            ? TIFFReadRawTile(tif.get(), index, chunk.data.data(), static_cast<tmsize_t>(size))
                            : TIFFReadRawStrip(tif.get(), index, chunk.data.data(), static_cast<tmsize_t>(size));
  EXPECT_EQ(read, static_cast<tmsize_t>(size)) << file;
  return chunk;
}

// Offset of the first segment with `marker` before the coded data, at its
// 0xFF; the stream's size when there is none.
std::size_t FindSegment(const Bytes& stream, std::uint8_t marker) {
  std::size_t at = 2;
  while (at + 4 <= stream.size() && stream[at] == 0xFF) {
    if (stream[at + 1] == marker) return at;
    if (stream[at + 1] == 0xDA) break;
    at += 2 + ((stream[at + 2] << 8) | stream[at + 3]);
  }
  return stream.size();
}

Bytes WithoutSegment(const Bytes& stream, std::uint8_t marker) {
  Bytes out = stream;
  const std::size_t at = FindSegment(stream, marker);
  if (at == stream.size()) {
    ADD_FAILURE() << "no segment " << int{marker};
    return out;
  }
  const std::size_t length = 2 + ((stream[at + 2] << 8) | stream[at + 3]);
  out.erase(out.begin() + static_cast<std::ptrdiff_t>(at), out.begin() + static_cast<std::ptrdiff_t>(at + length));
  return out;
}

WideJpegExpectation Expect(std::uint32_t width, std::uint32_t height, std::uint16_t components,
                           std::uint8_t precision) {
  WideJpegExpectation expected;
  expected.minWidth = width;
  expected.maxWidth = width;
  expected.minHeight = height;
  expected.maxHeight = height;
  expected.components = components;
  expected.maxPrecision = precision;
  return expected;
}

GpStatus Decode(const Bytes& tables, const Bytes& stream, const WideJpegExpectation& expected) {
  WideJpegImage image;
  return DecodeWideJpeg(tables, stream, expected, image);
}

// One chunk of each kind of data: the stream, its tables and what fits it.
struct Sample {
  const char* file;
  std::uint32_t chunk;
  WideJpegExpectation expected;
};

const Sample kSamples[] = {
    {"grey12-jpeg.tif", 0, Expect(48, 16, 1, 12)},          {"ycbcr12-jpeg-tiled.tif", 0, Expect(16, 16, 3, 12)},
    {"cmyk12-jpeg-restart.tif", 0, Expect(36, 16, 4, 12)},  {"cmyk16-jpeg-lossless.tif", 0, Expect(20, 2, 4, 16)},
    {"grey12-jpeg-lossless.tif", 0, Expect(30, 12, 1, 12)},
};

TEST(WideJpegHostileTest, EveryTruncationOfAStreamIsDamage) {
  for (const Sample& sample : kSamples) {
    const TiffChunk chunk = ReadChunk(sample.file, sample.chunk);
    ASSERT_EQ(Decode(chunk.tables, chunk.data, sample.expected), Ok) << sample.file;
    for (std::size_t size = 0; size < chunk.data.size(); ++size) {
      const Bytes prefix(chunk.data.begin(), chunk.data.begin() + static_cast<std::ptrdiff_t>(size));
      EXPECT_EQ(Decode(chunk.tables, prefix, sample.expected), InvalidParameter) << sample.file << " " << size;
    }
    if (chunk.tables.empty()) continue;
    for (std::size_t size = 0; size + 1 < chunk.tables.size(); ++size) {
      const Bytes prefix(chunk.tables.begin(), chunk.tables.begin() + static_cast<std::ptrdiff_t>(size));
      EXPECT_EQ(Decode(prefix, chunk.data, sample.expected), InvalidParameter) << sample.file << " tables " << size;
    }
  }
}

// Run under the sanitizers, this shows that no byte value at any place
// makes the decoder read or write outside its buffers.
TEST(WideJpegHostileTest, EveryCorruptedByteGivesAStatus) {
  for (const Sample& sample : kSamples) {
    const TiffChunk chunk = ReadChunk(sample.file, sample.chunk);
    std::size_t damaged = 0;
    for (std::size_t at = 0; at < chunk.data.size(); ++at) {
      for (std::uint8_t value :
           {std::uint8_t{0x00}, std::uint8_t{0xFF}, static_cast<std::uint8_t>(chunk.data[at] ^ 0x5A)}) {
        Bytes corrupt = chunk.data;
        corrupt[at] = value;
        const GpStatus status = Decode(chunk.tables, corrupt, sample.expected);
        EXPECT_TRUE(status == Ok || status == InvalidParameter || status == UnknownImageFormat || status == OutOfMemory)
            << sample.file << " " << at << " " << status;
        damaged += status == InvalidParameter ? 1 : 0;
      }
    }
    EXPECT_GT(damaged, chunk.data.size()) << sample.file;
  }
}

TEST(WideJpegHostileTest, BrokenOrMissingTablesAreDamage) {
  const TiffChunk colour = ReadChunk("ycbcr12-jpeg-tiled.tif", 0);
  const WideJpegExpectation colourFits = kSamples[1].expected;
  const std::size_t dht = FindSegment(colour.data, 0xC4);
  ASSERT_LT(dht, colour.data.size());
  Bytes overfull = colour.data;
  overfull[dht + 5] = 2;  // two codes of one bit leave none for longer codes
  EXPECT_EQ(Decode({}, overfull, colourFits), InvalidParameter);
  Bytes miscounted = colour.data;
  miscounted[dht + 20] = 200;  // more symbols than the segment holds
  EXPECT_EQ(Decode({}, miscounted, colourFits), InvalidParameter);

  // Strips that keep their quantisation tables in JPEGTables, without them.
  const TiffChunk grey = ReadChunk("grey12-jpeg.tif", 0);
  EXPECT_EQ(Decode({}, grey.data, kSamples[0].expected), InvalidParameter);
  const TiffChunk cmyk = ReadChunk("cmyk12-jpeg-restart.tif", 0);
  EXPECT_EQ(Decode(WithoutSegment(cmyk.tables, 0xC4), cmyk.data, kSamples[2].expected), InvalidParameter);
  const TiffChunk lossless = ReadChunk("grey12-jpeg-lossless.tif", 0);
  EXPECT_EQ(Decode({}, WithoutSegment(lossless.data, 0xC4), kSamples[4].expected), InvalidParameter);
  // A table stream that holds a frame is no table stream.
  EXPECT_EQ(Decode(colour.data, grey.data, kSamples[0].expected), InvalidParameter);
}

TEST(WideJpegHostileTest, FramesThatDoNotFitTheirChunkAreRefused) {
  const TiffChunk colour = ReadChunk("ycbcr12-jpeg-tiled.tif", 0);
  const WideJpegExpectation fits = kSamples[1].expected;
  EXPECT_EQ(Decode({}, colour.data, Expect(16, 16, 1, 12)), InvalidParameter);  // component count
  EXPECT_EQ(Decode({}, colour.data, Expect(16, 16, 3, 10)), InvalidParameter);  // precision
  const std::size_t sof = FindSegment(colour.data, 0xC1);
  ASSERT_LT(sof, colour.data.size());
  Bytes huge = colour.data;
  huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = 0x20;  // 8224 x 8224
  EXPECT_EQ(Decode({}, huge, fits), InvalidParameter);
  // Let through, the claimed planes pass a small budget before any is made.
  WideJpegExpectation anything = fits;
  anything.maxWidth = anything.maxHeight = 65535;
  {
    gdiplus::LoadBudgetScope scope(std::uint64_t{1} << 20);
    EXPECT_EQ(Decode({}, huge, anything), OutOfMemory);
    EXPECT_EQ(scope.budget().committed(), 0u);
  }
  // With room for the planes, the data runs out after the first row of
  // MCUs, and the decode stops there.
  gdiplus::LoadBudgetScope roomy(std::uint64_t{1} << 30);
  EXPECT_EQ(Decode({}, huge, anything), InvalidParameter);
  EXPECT_LT(roomy.budget().work(), std::uint64_t{1} << 24);
}

TEST(WideJpegHostileTest, RestartMarkersMustBeWhereTheIntervalPutsThem) {
  const TiffChunk cmyk = ReadChunk("cmyk12-jpeg-restart.tif", 0);
  const WideJpegExpectation fits = kSamples[2].expected;
  const std::size_t dri = FindSegment(cmyk.data, 0xDD);
  ASSERT_LT(dri, cmyk.data.size());
  for (std::uint8_t interval : {0, 2, 4, 100}) {
    Bytes lying = cmyk.data;
    lying[dri + 5] = interval;
    EXPECT_EQ(Decode(cmyk.tables, lying, fits), InvalidParameter) << int{interval};
  }
  // The strip's one restart marker (RST0) numbered as the second.
  Bytes renumbered = cmyk.data;
  std::size_t markers = 0;
  for (std::size_t at = FindSegment(cmyk.data, 0xDA); at + 1 < renumbered.size(); ++at) {
    if (renumbered[at] == 0xFF && renumbered[at + 1] == 0xD0) {
      renumbered[at + 1] = 0xD1;
      ++markers;
    }
  }
  EXPECT_EQ(markers, 1u);
  EXPECT_EQ(Decode(cmyk.tables, renumbered, fits), InvalidParameter);

  // Lossless restarts must fall at the start of a row.
  const TiffChunk lossless = ReadChunk("cmyk16-jpeg-lossless.tif", 0);
  const std::size_t losslessDri = FindSegment(lossless.data, 0xDD);
  ASSERT_LT(losslessDri, lossless.data.size());
  Bytes midRow = lossless.data;
  midRow[losslessDri + 5] = 7;
  EXPECT_EQ(Decode({}, midRow, kSamples[3].expected), InvalidParameter);
}

TEST(WideJpegHostileTest, EachComponentHasOneScan) {
  // The stream's one scan given twice.
  const TiffChunk lossless = ReadChunk("grey12-jpeg-lossless.tif", 0);
  const std::size_t sos = FindSegment(lossless.data, 0xDA);
  ASSERT_LT(sos, lossless.data.size());
  Bytes twice(lossless.data.begin(), lossless.data.end() - 2);
  twice.insert(twice.end(), lossless.data.begin() + static_cast<std::ptrdiff_t>(sos), lossless.data.end());
  EXPECT_EQ(Decode({}, twice, kSamples[4].expected), InvalidParameter);
  // A scan header naming no component of the frame.
  Bytes stranger = lossless.data;
  stranger[sos + 5] = 9;
  EXPECT_EQ(Decode({}, stranger, kSamples[4].expected), InvalidParameter);
}

TEST(WideJpegHostileTest, ProcessesNotReadAreUnknownFormats) {
  const TiffChunk colour = ReadChunk("ycbcr12-jpeg-tiled.tif", 0);
  const std::size_t sof = FindSegment(colour.data, 0xC1);
  ASSERT_LT(sof, colour.data.size());
  // Progressive, hierarchical and arithmetic-coded frames.
  for (std::uint8_t marker : {0xC2, 0xC5, 0xC9, 0xCA}) {
    Bytes other = colour.data;
    other[sof + 1] = marker;
    EXPECT_EQ(Decode({}, other, kSamples[1].expected), UnknownImageFormat) << int{marker};
  }
  // Lossless data with a subsampled component.
  const TiffChunk lossless = ReadChunk("cmyk16-jpeg-lossless.tif", 0);
  const std::size_t losslessSof = FindSegment(lossless.data, 0xC3);
  ASSERT_LT(losslessSof, lossless.data.size());
  Bytes sampled = lossless.data;
  sampled[losslessSof + 11] = 0x21;
  EXPECT_EQ(Decode({}, sampled, kSamples[3].expected), UnknownImageFormat);
}

// A 12-bit grey page holding the given strip data.
Bytes GreyPage(const Bytes& strip, std::uint32_t width, std::uint32_t height, std::uint16_t samples) {
  return RawTiff(strip, {{TIFFTAG_IMAGEWIDTH, TIFF_LONG, {width}},
                         {TIFFTAG_IMAGELENGTH, TIFF_LONG, {height}},
                         {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, std::vector<std::uint32_t>(samples, 12)},
                         {TIFFTAG_COMPRESSION, TIFF_SHORT, {COMPRESSION_JPEG}},
                         {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {samples == 1 ? 1u : 2u}},
                         {TIFFTAG_STRIPOFFSETS, TIFF_LONG, {8}},
                         {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {samples}},
                         {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {height}},
                         {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {static_cast<std::uint32_t>(strip.size())}}});
}

GpStatus DecodePage(const Bytes& file) {
  gdiplus::DecodedImage image;
  return gdiplus::DecodeTiff(Shared(file), {}, image);
}

TEST(WideJpegHostileTest, TiffPagesWhoseJpegDataDoesNotFitAreDamage) {
  const Bytes lossless = ReadChunk("grey12-jpeg-lossless.tif", 0).data;
  ASSERT_EQ(DecodePage(GreyPage(lossless, 30, 12, 1)), Ok);
  EXPECT_EQ(DecodePage(GreyPage(lossless, 30, 12, 3)), InvalidParameter);  // three samples, one component
  EXPECT_EQ(DecodePage(GreyPage(lossless, 31, 12, 1)), InvalidParameter);  // narrower than the page
  EXPECT_EQ(DecodePage(GreyPage(lossless, 30, 11, 1)), InvalidParameter);  // taller than its strip
  EXPECT_EQ(DecodePage(GreyPage(ReadChunk("cmyk16-jpeg-lossless.tif", 0).data, 20, 2, 1)), InvalidParameter);
  EXPECT_EQ(DecodePage(GreyPage({0xFF, 0xD8, 0xFF, 0xD9}, 8, 8, 1)), InvalidParameter);
}

}  // namespace
}  // namespace pixavue::platform::test
