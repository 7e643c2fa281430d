// Reading source pixels straight as premultiplied 32-bit pixels: every
// format the reader takes, as runs and as picked columns, against reading
// as straight ARGB and writing that as 32bppPARGB; which columns a
// shrinking filter reads.

#include <cstdint>
#include <cstring>
#include <vector>

#include "draw_source.h"
#include "gdiplus_test_support.h"
#include "pixel_convert.h"
#include "premultiplied_reader.h"
#include "scaler_columns.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::Frame;
using gdiplus::PixelBuffer;
using gdiplus::PremultipliedReader;

// A frame over exactly the bytes its rows need (no slack after the last
// row), so that a read past the pixels is a read past the allocation.
struct TightFrame final {
  TightFrame(PixelFormat format, std::uint32_t width, std::uint32_t height, std::uint32_t seed) {
    const std::uint32_t bits = GetPixelFormatSize(format);
    stride = (width * bits + 31) / 32 * 4;
    bytes.resize(std::size_t{stride} * height);
    std::uint32_t state = seed | 1;
    for (std::uint8_t& b : bytes) {
      state = state * 1664525u + 1013904223u;
      b = static_cast<std::uint8_t>(state >> 24);
    }
    frame.pixels = PixelBuffer::Wrap(format, width, height, static_cast<std::int32_t>(stride), bytes.data());
    if (IsIndexedPixelFormat(format)) {
      // One entry short of what the indices reach: past the end reads black.
      const std::uint32_t entries = (1u << bits) - 1;
      for (std::uint32_t i = 0; i < entries; ++i) frame.palette.push_back((i * 0x9E3779B9u) | (i % 3 == 0 ? 0 : 0xFF000000u));
    }
  }

  // Pixels [x, x + count) of row y as the general converters give them.
  std::vector<std::uint32_t> Reference(std::uint32_t y, std::uint32_t x, std::uint32_t count) const {
    std::vector<ARGB> straight(count);
    gdiplus::ReadArgb32(frame, x, y, count, straight.data());
    std::vector<std::uint32_t> out(count);
    Frame view;
    view.pixels = PixelBuffer::Wrap(PixelFormat32bppPARGB, count, 1, static_cast<std::int32_t>(count) * 4,
                                    reinterpret_cast<std::uint8_t*>(out.data()));
    gdiplus::WriteArgb32(view, 0, 0, count, straight.data());
    return out;
  }

  std::uint32_t stride = 0;
  std::vector<std::uint8_t> bytes;
  Frame frame;
};

constexpr PixelFormat kReadFormats[] = {
    PixelFormat1bppIndexed,   PixelFormat4bppIndexed, PixelFormat8bppIndexed, PixelFormat16bppGrayScale,
    PixelFormat16bppRGB555,   PixelFormat16bppRGB565, PixelFormat16bppARGB1555, PixelFormat24bppRGB,
    PixelFormat32bppRGB,      PixelFormat32bppARGB,   PixelFormat48bppRGB,    PixelFormat64bppARGB};

TEST(DrawSourceReadTest, RunsOfEveryFormatEqualTheGeneralConversion) {
  // Widths whose 24-bit rows end exactly at a word (40) and do not (37);
  // offsets and counts that leave every tail of the wide loops.
  for (const PixelFormat format : kReadFormats) {
    for (const std::uint32_t width : {37u, 40u}) {
      const TightFrame source(format, width, 3, format + width);
      const PremultipliedReader reader(source.frame);
      ASSERT_TRUE(reader.handles()) << format;
      for (std::uint32_t x = 0; x < 9; ++x) {
        for (const std::uint32_t count : {1u, 3u, 4u, 7u, 8u, 13u, width - x}) {
          std::vector<std::uint32_t> out(count);
          reader.Run(2, x, count, out.data());
          EXPECT_EQ(out, source.Reference(2, x, count)) << format << " width " << width << " x " << x << " n " << count;
        }
      }
    }
  }
}

TEST(DrawSourceReadTest, PicksOfEveryFormatEqualTheGeneralConversionUpToTheLastByte) {
  for (const PixelFormat format : kReadFormats) {
    for (const std::uint32_t width : {37u, 40u}) {
      const TightFrame source(format, width, 2, format * 3 + width);
      const PremultipliedReader reader(source.frame);
      // Increasing columns with gaps, ending at the last pixel of the last
      // row (the end of the allocation), more than eight for the gathers.
      std::vector<std::uint32_t> columns;
      for (std::uint32_t c = 0; c < width; c += 1 + c % 3) columns.push_back(c);
      if (columns.back() != width - 1) columns.push_back(width - 1);
      const std::vector<std::uint32_t> row = source.Reference(1, 0, width);
      std::vector<std::uint32_t> out(columns.size());
      reader.Pick(1, columns.data(), static_cast<std::uint32_t>(columns.size()), out.data());
      for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(out[i], row[columns[i]]) << format << " column " << columns[i];
      }
    }
  }
}

TEST(DrawSourceReadTest, PremultipliesEveryColourAtEveryAlphaAsTheGeneralConversion) {
  TightFrame source(PixelFormat32bppARGB, 256, 256, 1);
  for (std::uint32_t a = 0; a < 256; ++a) {
    for (std::uint32_t c = 0; c < 256; ++c) {
      const std::uint32_t pixel = (a << 24) | (c << 16) | ((255 - c) << 8) | (c ^ 0x5A);
      std::memcpy(source.bytes.data() + std::size_t{a} * source.stride + std::size_t{c} * 4, &pixel, 4);
    }
  }
  const PremultipliedReader reader(source.frame);
  std::vector<std::uint32_t> out(256);
  for (std::uint32_t a = 0; a < 256; ++a) {
    reader.Run(a, 0, 256, out.data());
    ASSERT_EQ(out, source.Reference(a, 0, 256)) << "alpha " << a;
  }
}

TEST(DrawSourceReadTest, OpaqueOnlyForOpaqueFormatsAndPalettes) {
  for (const PixelFormat format : {PixelFormat16bppGrayScale, PixelFormat16bppRGB555, PixelFormat16bppRGB565,
                                   PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat48bppRGB}) {
    EXPECT_TRUE(PremultipliedReader(TightFrame(format, 4, 1, 1).frame).opaque()) << format;
  }
  for (const PixelFormat format : {PixelFormat16bppARGB1555, PixelFormat32bppARGB, PixelFormat64bppARGB}) {
    EXPECT_FALSE(PremultipliedReader(TightFrame(format, 4, 1, 1).frame).opaque()) << format;
  }
  TightFrame indexed(PixelFormat8bppIndexed, 4, 1, 1);
  EXPECT_FALSE(PremultipliedReader(indexed.frame).opaque());  // entries with alpha 0
  for (ARGB& entry : indexed.frame.palette) entry |= 0xFF000000u;
  EXPECT_TRUE(PremultipliedReader(indexed.frame).opaque());
  // Premultiplied formats are read another way.
  EXPECT_FALSE(PremultipliedReader::Handles(PixelFormat32bppPARGB));
  EXPECT_FALSE(PremultipliedReader::Handles(PixelFormat64bppPARGB));
}

TEST(DrawSourceReadTest, ColumnSumsOf24BitRowsEqualSumsOfTheirOpaquePixels) {
  // Rows ending at the end of the allocation; every count up to past the
  // wide loop's reach.
  const TightFrame source(PixelFormat24bppRGB, 40, 5, 7);
  const PremultipliedReader reader(source.frame);
  for (std::int32_t rowCount = 1; rowCount <= 5; ++rowCount) {
    for (const std::uint32_t x : {0u, 1u, 5u}) {
      for (std::uint32_t count = 1; x + count <= 40; count += 3) {
        std::vector<const std::uint8_t*> rows;
        std::vector<std::uint16_t> expected(std::size_t{count} * 4, 0);
        std::vector<std::uint32_t> pixels(count);
        for (std::int32_t r = 5 - rowCount; r < 5; ++r) {
          const auto y = static_cast<std::uint32_t>(r);
          rows.push_back(source.frame.pixels.Row(y) + std::size_t{x} * 3);
          reader.Run(y, x, count, pixels.data());
          for (std::size_t i = 0; i < std::size_t{count} * 4; ++i) {
            expected[i] = static_cast<std::uint16_t>(expected[i] + ((pixels[i / 4] >> (8 * (i % 4))) & 0xFF));
          }
        }
        std::vector<std::uint16_t> sums(std::size_t{count} * 4, 0xABCD);
        gdiplus::SumRgb24Rows(rows.data(), rowCount, count, sums.data());
        EXPECT_EQ(sums, expected) << rowCount << " rows, x " << x << ", " << count << " pixels";
      }
    }
  }
}

TEST(DrawSourceReadTest, ShrinkingFiltersReadOnlyTheColumnsTheirWeightsUse) {
  // One tap every fourth input, as nearest neighbour at a quarter: the
  // inputs become consecutive.
  std::vector<std::int32_t> first{1, 5, 9, 13};
  std::int32_t inputs = 16;
  gdiplus::SourceColumns reads;
  gdiplus::PickUsedColumns(1, 100, first, inputs, reads);
  EXPECT_EQ(reads.picks, (std::vector<std::uint32_t>{101, 105, 109, 113}));
  EXPECT_EQ(first, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(inputs, 4);
  // Two taps from every sixth input: each window stays whole.
  first = {0, 6, 12};
  inputs = 18;
  reads = {};
  gdiplus::PickUsedColumns(2, 0, first, inputs, reads);
  EXPECT_EQ(reads.picks, (std::vector<std::uint32_t>{0, 1, 6, 7, 12, 13}));
  EXPECT_EQ(first, (std::vector<std::int32_t>{0, 2, 4}));
  // Windows that use most inputs: the whole run is read.
  first = {0, 1, 2, 3};
  inputs = 6;
  reads = {};
  gdiplus::PickUsedColumns(3, 0, first, inputs, reads);
  EXPECT_TRUE(reads.picks.empty());
  EXPECT_EQ(first, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(inputs, 6);
}

}  // namespace
}  // namespace pixavue::platform::test
