// What large TIFF pages cost: a page in one strip or one tile is decoded
// without working buffers the size of the page beside its pixels, and a
// page whose data cannot hold it is refused before anything is allocated.

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>

#include "codecs/tiff_data_bounds.h"
#include "gdiplus_test_support.h"
#include "peak_memory.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

std::uint8_t GreyAt(std::uint32_t x, std::uint32_t y) { return static_cast<std::uint8_t>((y / 64 + x / 512) * 37); }

// An LZW grey page of smooth bands (a few megabytes of file) stored as one
// strip, or as one tile when `tiled`.
std::vector<std::uint8_t> LargeGreyPage(std::uint32_t side, bool tiled) {
  TiffPageSpec page;
  page.width = side;
  page.height = side;
  page.compression = COMPRESSION_LZW;
  if (tiled) {
    page.tileWidth = side;
    page.tileLength = side;
  }
  page.samples.resize(std::uint64_t{side} * side);
  for (std::uint32_t y = 0; y < side; ++y) {
    for (std::uint32_t x = 0; x < side; ++x) page.samples[std::uint64_t{y} * side + x] = GreyAt(x, y);
  }
  return WriteTiffPage(page);
}

class TiffBudgetTest : public GdiplusTest {
 protected:
  void TearDown() override {
    SetDecodeMemoryBudget(0);
    GdiplusTest::TearDown();
  }
  std::filesystem::path Write(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("page" + std::to_string(files_++) + ".tif");
    WriteFile(path, bytes);
    return path;
  }
  // Loads `path` under a budget of `budget` bytes; GenericError when the
  // pixels at the corners are not the page's.
  static GpStatus LoadAndCheck(const std::filesystem::path& path, std::uint64_t budget, std::uint32_t side) {
    SetDecodeMemoryBudget(budget);
    GpImage* image = nullptr;
    GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    for (std::uint32_t at : {0u, side - 1}) {
      ARGB colour = 0;
      if (status == Ok) status = GdipBitmapGetPixel(image, static_cast<INT>(at), static_cast<INT>(at), &colour);
      if (status == Ok && colour != (0xFF000000u | 0x010101u * GreyAt(at, at))) status = GenericError;
    }
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }

 private:
  int files_ = 0;
};

TEST_F(TiffBudgetTest, OneStripTheSizeOfThePageCostsItsPixelsOnce) {
  constexpr std::uint32_t kSide = 12000;
  constexpr std::uint64_t kPixelBytes = std::uint64_t{kSide} * kSide;
  const auto path = Write(LargeGreyPage(kSide, false));
  const ChildRun run = RunInChild([&] { return LoadAndCheck(path, kPixelBytes + (4u << 20), kSide); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  if (kResidentSizesMeaningful) {
    EXPECT_LT(run.peakBytes, PeakAllowance(kPixelBytes));
  }
}

TEST_F(TiffBudgetTest, OneTileTheSizeOfThePageIsCountedAndNeedsNoBand) {
  constexpr std::uint32_t kSide = 10000;
  constexpr std::uint64_t kPixelBytes = std::uint64_t{kSide} * kSide;
  const auto path = Write(LargeGreyPage(kSide, true));
  // The tile is decoded whole beside the pixels, and the budget sees it.
  EXPECT_EQ(LoadAndCheck(path, kPixelBytes * 3 / 2, kSide), OutOfMemory);
  const ChildRun run = RunInChild([&] { return LoadAndCheck(path, kPixelBytes * 5 / 2, kSide); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  if (kResidentSizesMeaningful) {
    EXPECT_LT(run.peakBytes, PeakAllowance(kPixelBytes, 2.0)) << "the tile and the pixels, no band as well";
  }
}

TEST_F(TiffBudgetTest, DataThatCannotHoldThePageIsRefusedBeforeItsPixels) {
  // An 8192 x 8192 page whose one strip has 64 bytes: no compression
  // with a bound gets 64 MiB out of that. Under a budget far below the
  // page the answer is still that the file is damaged, not short of
  // memory, because nothing is allocated first.
  const std::vector<std::uint8_t> data(64, 0x80);
  for (std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_PACKBITS, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
    const std::vector<RawTiffEntry> entries{
        {TIFFTAG_IMAGEWIDTH, TIFF_LONG, {8192}},     {TIFFTAG_IMAGELENGTH, TIFF_LONG, {8192}},
        {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {8}},    {TIFFTAG_COMPRESSION, TIFF_SHORT, {compression}},
        {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {1}},      {TIFFTAG_STRIPOFFSETS, TIFF_LONG, {8}},
        {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {1}},  {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {8192}},
        {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {64}}};
    const auto path = Write(RawTiff(data, entries));
    EXPECT_EQ(LoadAndCheck(path, 1u << 20, 8192), InvalidParameter) << "compression " << compression;
  }
}

TEST_F(TiffBudgetTest, LabConversionWorkingSpaceIsCounted) {
  // One row of 60,000 8-bit L*a*b* pixels: 180 KB of file, pixels and
  // decoded row each, and 1.44 MB of L*a*b* values for lcms2. A budget of
  // 1 MiB holds all but the last.
  constexpr std::uint32_t kWidth = 60000;
  const std::vector<std::uint8_t> data(std::size_t{kWidth} * 3, 0x80);
  const std::vector<RawTiffEntry> entries{
      {TIFFTAG_IMAGEWIDTH, TIFF_LONG, {kWidth}},       {TIFFTAG_IMAGELENGTH, TIFF_LONG, {1}},
      {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {8, 8, 8}},  {TIFFTAG_COMPRESSION, TIFF_SHORT, {COMPRESSION_NONE}},
      {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {PHOTOMETRIC_CIELAB}}, {TIFFTAG_STRIPOFFSETS, TIFF_LONG, {8}},
      {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {3}},      {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {1}},
      {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {static_cast<std::uint32_t>(data.size())}}};
  const auto path = Write(RawTiff(data, entries));
  for (const auto& [budget, expected] :
       {std::pair{std::uint64_t{1} << 20, OutOfMemory}, std::pair{std::uint64_t{4} << 20, Ok}}) {
    SetDecodeMemoryBudget(budget);
    GpImage* image = nullptr;
    EXPECT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), &image), expected) << budget;
    if (image != nullptr) GdipDisposeImage(image);
  }
}

TEST(TiffExpansion, EachBoundHoldsForTheMostCompressibleData) {
  // A page of zeros compresses as far as each codec goes; its bytes must
  // still pass the bound the reader checks.
  for (std::uint16_t compression : {COMPRESSION_PACKBITS, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
    TiffPageSpec page;
    page.width = 4096;
    page.height = 1024;
    page.compression = compression;
    page.samples.assign(std::uint64_t{4096} * 1024, 0);
    const std::vector<std::uint8_t> file = WriteTiffPage(page);
    ASSERT_FALSE(file.empty());
    gdiplus::DecodedImage image;
    EXPECT_EQ(gdiplus::DecodeTiff(Shared(file), {}, image), Ok) << "compression " << compression;
    EXPECT_GE(gdiplus::TiffExpansionBound(compression) * file.size(), page.samples.size()) << compression;
  }
}

}  // namespace
}  // namespace pixavue::platform::test
