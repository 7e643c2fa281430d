// JPEG files that declare large images with little or nothing behind the
// header: the coefficients libjpeg must hold are counted before it makes
// them, scans cost work in proportion to the blocks they walk, and a
// header without data costs no more than the image it declares.

#include "hostile_load.h"
#include "hostile_raster_files.h"
#include "png_test_frames.h"

namespace pixavue::platform::test {
namespace {

constexpr std::uint64_t kRgbBytes4096 = std::uint64_t{4096} * 4096 * 3;

class JpegHostileTest : public HostileLoadTest {};

TEST_F(JpegHostileTest, ProgressiveHeaderOfAHugeImageIsRefusedBeforeItsCoefficientsExist) {
  // 16384 x 16384: 768 MiB of pixels and as many of coefficients.
  const std::vector<std::uint8_t> file = LargeJpegHeader(16384, 16384, JpegScans::Progressive);
  ASSERT_LT(file.size(), 1000u);
  const ChildRun run = LoadInChild(file);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, OutOfMemory);
  ExpectPeakBelow(run, kSmallPeak);
}

TEST_F(JpegHostileTest, BufferedCoefficientsCountAgainstTheBudget) {
  // 2048 x 2048 with 2 x 2 chroma: 12 MiB of pixels, 12 MiB of coefficients.
  constexpr std::uint64_t kBudget = 16 * kMiB;
  for (const JpegScans kind : {JpegScans::Progressive, JpegScans::OneComponentEach}) {
    const ChildRun run = LoadInChild(LargeJpegHeader(2048, 2048, kind), kBudget);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, OutOfMemory) << "scans " << static_cast<int>(kind);
  }
  const ChildRun interleaved = LoadInChild(LargeJpegHeader(2048, 2048, JpegScans::Baseline), kBudget);
  ASSERT_TRUE(interleaved.finished);
  EXPECT_EQ(interleaved.status, Ok) << "one interleaved scan needs only its rows";
}

TEST_F(JpegHostileTest, TheScansAFileMayHaveGrowWithItsImage) {
  // A small image may have far more scans than any encoder writes.
  EXPECT_EQ(LoadStatus(LargeJpegHeader(64, 64, JpegScans::Progressive, 1000)), Ok);
  // Each empty scan of a 4096 x 4096 file walks 48 MiB of coefficients.
  const ChildRun many = LoadInChild(LargeJpegHeader(4096, 4096, JpegScans::Progressive, 400));
  ASSERT_TRUE(many.finished);
  EXPECT_EQ(many.status, InvalidParameter);
  ExpectPeakBelow(many, PeakAllowance(kRgbBytes4096, 2.1));
  // A decoder called outside a load has a budget of its own.
  gdiplus::DecodedImage direct;
  EXPECT_EQ(gdiplus::DecodeJpeg(Shared(LargeJpegHeader(4096, 4096, JpegScans::Progressive, 400)), {}, direct),
            InvalidParameter);
  // As many scans as a real progression over the same image are fine.
  const ChildRun few = LoadInChild(LargeJpegHeader(4096, 4096, JpegScans::Progressive, 12));
  ASSERT_TRUE(few.finished);
  EXPECT_EQ(few.status, Ok);
  ExpectPeakBelow(few, PeakAllowance(kRgbBytes4096, 2.1));
}

TEST_F(JpegHostileTest, BaselineHeaderWithoutDataCostsOnlyItsImage) {
  const std::vector<std::uint8_t> file = LargeJpegHeader(4096, 4096, JpegScans::Baseline);
  const ChildRun run = LoadInChild(file);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok) << "libjpeg fills in what is missing, as for a truncated file";
  ExpectPeakBelow(run, PeakAllowance(kRgbBytes4096));
  const ChildRun refused = LoadInChild(file, 32 * kMiB);
  ASSERT_TRUE(refused.finished);
  EXPECT_EQ(refused.status, OutOfMemory);
  ExpectPeakBelow(refused, kSmallPeak);
}

}  // namespace
}  // namespace pixavue::platform::test
