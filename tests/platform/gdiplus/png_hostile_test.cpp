// PNG files whose chunks claim more than the file holds, whose zlib streams
// inflate to large images, or whose text chunks inflate to hundreds of
// megabytes: each is refused before anything is allocated for it or costs
// no more than the image it decodes to.

#include "hostile_load.h"
#include "hostile_raster_files.h"
#include "png_test_frames.h"

namespace pixavue::platform::test {
namespace {

class PngHostileTest : public HostileLoadTest {};

TEST_F(PngHostileTest, ChunksLongerThanTheFileAreRefusedUnread) {
  for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "PLTE", "IDAT", "abCd"}) {
    for (const std::uint32_t length : {0x7FFFFFFFu, 0x7FFFFFF0u, 7'000'000u, 101u}) {
      const std::vector<std::uint8_t> file = PngWithOverlongChunk(type, length);
      ASSERT_EQ(file.size(), 141u);
      const ChildRun run = LoadInChild(file, 0, "overlong.png");
      ASSERT_TRUE(run.finished) << type;
      EXPECT_EQ(run.status, InvalidParameter) << type << " of " << length;
      ExpectPeakBelow(run, 4 * kMiB);
    }
  }
  // A length past the format's 2^31 - 1 even though the bytes are there.
  std::vector<std::uint8_t> signBit = PngWithOverlongChunk("tEXt", 0x80000064u);
  EXPECT_EQ(LoadStatus(signBit, "sign.png"), InvalidParameter);
}

TEST_F(PngHostileTest, TextThatInflatesToHundredsOfMegabytesIsSkipped) {
  const std::vector<std::uint8_t> file = PngWithTextBombs(40, 7'000'000);
  ASSERT_LT(file.size(), 2 * kMiB);
  const ChildRun run = LoadInChild(file, 0, "text.png");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  ExpectPeakBelow(run, kSmallPeak);
}

TEST_F(PngHostileTest, SixteenBitImageOverTheBudgetIsRefusedBeforeItsRows) {
  ZeroPngSpec spec;
  spec.width = spec.height = 16384;  // 2 GiB of 64-bit pixels
  spec.depth = 16;
  spec.wholeData = false;
  const ChildRun run = LoadInChild(ZeroPng(spec), 0, "large.png");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, OutOfMemory);
  ExpectPeakBelow(run, kSmallPeak);
}

TEST_F(PngHostileTest, ImagesInflatedFromTinyStreamsAreHeldOnce) {
  constexpr std::uint64_t kRaised = std::uint64_t{4} << 30;
  ZeroPngSpec sixteen;
  sixteen.width = 4096;  // 64 MiB of 64-bit pixels
  sixteen.height = 2048;
  sixteen.depth = 16;
  for (const bool interlaced : {false, true}) {
    sixteen.interlaced = interlaced;
    const std::vector<std::uint8_t> file = ZeroPng(sixteen);
    ASSERT_LT(file.size(), kMiB);
    const ChildRun run = LoadInChild(file, kRaised, "sixteen.png");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, Ok) << "interlaced " << interlaced;
    ExpectPeakBelow(run, PeakAllowance(64 * kMiB));
  }
  // 2-bit indices become 4-bit ones in the frame's own rows.
  ZeroPngSpec twoBit;
  twoBit.width = twoBit.height = 16384;  // 128 MiB of 4-bit pixels
  twoBit.depth = 2;
  twoBit.colourType = 3;
  const ChildRun run = LoadInChild(ZeroPng(twoBit), kRaised, "two-bit.png");
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  ExpectPeakBelow(run, PeakAllowance(128 * kMiB));
}

TEST_F(PngHostileTest, TwoBitIndicesWidenWithinTheirRow) {
  // Indices 0 1 2 3 1, then 3 2 1 0 3: odd widths leave the last nibble 0.
  ZeroPngSpec spec;
  spec.width = 5;
  spec.height = 2;
  spec.depth = 2;
  spec.colourType = 3;
  const std::vector<std::uint8_t> raw{0, 0b00011011, 0b01000000, 0, 0b11100100, 0b11000000};
  const std::vector<std::uint8_t> palette{0, 0, 0, 80, 80, 80, 160, 160, 160, 240, 240, 240};
  gdiplus::DecodedImage image;
  ASSERT_EQ(gdiplus::DecodePng(Shared(PngOfRows(spec, raw, palette)), {}, image), Ok);
  ASSERT_EQ(image.frame.pixels.format(), PixelFormat4bppIndexed);
  const std::uint8_t* first = image.frame.pixels.Row(0);
  const std::uint8_t* second = image.frame.pixels.Row(1);
  EXPECT_EQ(std::vector<std::uint8_t>(first, first + 3), (std::vector<std::uint8_t>{0x01, 0x23, 0x10}));
  EXPECT_EQ(std::vector<std::uint8_t>(second, second + 3), (std::vector<std::uint8_t>{0x32, 0x10, 0x30}));
}

}  // namespace
}  // namespace pixavue::platform::test
