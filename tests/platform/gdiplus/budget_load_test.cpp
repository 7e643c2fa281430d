// The per-load memory budget: reservations against it, scopes that nest, the
// pixel buffers it refuses, and loads refused or allowed by its setting.

#include <memory>

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"
#include "load_budget.h"
#include "peak_memory.h"
#include "pixel_buffer.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::BudgetReservation;
using gdiplus::LoadBudgetScope;
using gdiplus::PixelBuffer;

TEST(LoadBudget, ReservationsCountAgainstTheLimitAndComeBack) {
  LoadBudgetScope scope(1000);
  auto first = BudgetReservation::Take(600);
  ASSERT_TRUE(first);
  EXPECT_FALSE(BudgetReservation::Take(401)) << "600 + 401 passes the limit";
  auto second = BudgetReservation::Take(400);
  ASSERT_TRUE(second);
  EXPECT_EQ(scope.budget().committed(), 1000u);
  EXPECT_EQ(scope.budget().Available(), 0u);
  EXPECT_FALSE(first->Resize(601));
  EXPECT_TRUE(first->Resize(100));
  EXPECT_EQ(scope.budget().committed(), 500u);
  first.reset();
  second.reset();
  EXPECT_EQ(scope.budget().committed(), 0u);
  EXPECT_EQ(scope.budget().peak(), 1000u);
  EXPECT_FALSE(BudgetReservation::Take(~std::uint64_t{0})) << "a size near 2^64 must not wrap";
}

TEST(LoadBudget, NestedScopesShareOneBudgetAndOutsideNothingCounts) {
  EXPECT_EQ(gdiplus::CurrentLoadBudget(), nullptr);
  EXPECT_TRUE(BudgetReservation::Take(std::uint64_t{1} << 62)) << "outside a load nothing is refused";
  {
    LoadBudgetScope outer(1000);
    auto held = BudgetReservation::Take(700);
    {
      LoadBudgetScope inner(1u << 30);
      EXPECT_EQ(&inner.budget(), &outer.budget());
      EXPECT_FALSE(BudgetReservation::Take(301)) << "the inner decode spends the outer load's budget";
    }
    EXPECT_EQ(gdiplus::CurrentLoadBudget(), &outer.budget());
  }
  EXPECT_EQ(gdiplus::CurrentLoadBudget(), nullptr);
}

TEST(LoadBudget, WorkIsAllowedInProportionToTheMemoryALoadCommitted) {
  LoadBudgetScope scope(std::uint64_t{1} << 40);
  EXPECT_TRUE(scope.budget().ChargeWork(gdiplus::kBaseWorkUnits));
  EXPECT_FALSE(scope.budget().ChargeWork(1)) << "nothing produced yet beyond the base allowance";
  auto produced = BudgetReservation::Take(1000);
  EXPECT_TRUE(scope.budget().ChargeWork(gdiplus::kWorkUnitsPerByte * 1000 - 1));
  EXPECT_FALSE(scope.budget().ChargeWork(~std::uint64_t{0})) << "a wrapped counter must not pass";
}

TEST(LoadBudget, PixelBuffersTakeTheirBytesAndGiveThemBackEvenAfterTheLoad) {
  auto kept = std::make_unique<PixelBuffer>();
  {
    LoadBudgetScope scope(4 * 100 * 100);
    EXPECT_FALSE(PixelBuffer::Allocate(PixelFormat32bppARGB, 101, 100));
    auto made = PixelBuffer::Allocate(PixelFormat32bppARGB, 100, 100);
    ASSERT_TRUE(made);
    *kept = std::move(*made);
    EXPECT_FALSE(kept->Clone()) << "a copy needs the bytes again";
    EXPECT_EQ(scope.budget().committed(), 40000u);
  }
  EXPECT_TRUE(kept->Clone()) << "after the load its buffers are the caller's";
  kept.reset();  // gives its bytes back to a budget that no scope holds any more
}

class LoadBudgetSetting : public GdiplusTest {
 protected:
  void TearDown() override {
    SetDecodeMemoryBudget(0);
    GdiplusTest::TearDown();
  }

  // A 1500 x 1000 32-bit PNG of many colours: 6 MB of pixels once decoded.
  std::filesystem::path WritePng() {
    std::vector<ARGB> pixels(1500 * 1000);
    for (std::uint32_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x80000000u | ((i * 2654435761u) >> 8);
    ImageGuard bitmap(MakeBitmap(1500, 1000, PixelFormat32bppARGB, pixels));
    const auto path = temp_dir() / "large.png";
    EXPECT_EQ(SaveImage(bitmap.get(), path, CLSID_PngCodec), Ok);
    return path;
  }
};

TEST_F(LoadBudgetSetting, ALoadThatNeedsMoreThanTheBudgetIsRefusedAndTheDefaultComesBack) {
  const auto path = WritePng();
  EXPECT_EQ(GetDecodeMemoryBudget(), kDefaultDecodeMemoryBudget);
  SetDecodeMemoryBudget(4u << 20);
  EXPECT_EQ(GetDecodeMemoryBudget(), 4u << 20);
  ImageGuard refused;
  EXPECT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), refused.out()), OutOfMemory);
  EXPECT_EQ(refused.get(), nullptr);
  SetDecodeMemoryBudget(0);
  EXPECT_EQ(GetDecodeMemoryBudget(), kDefaultDecodeMemoryBudget);
  ImageGuard loaded;
  ASSERT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), loaded.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(loaded.get()).at(1234), 0x80000000u | ((1234 * 2654435761u) >> 8));
}

TEST_F(LoadBudgetSetting, TheChildMeasurementSeesWhatALoadCommits) {
  const auto path = WritePng();
  const ChildRun run = RunInChild([&] {
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    return status;
  });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, Ok);
  if (kResidentSizesMeaningful) {
    EXPECT_GT(run.peakBytes, 5u << 20) << "the decoded pixels are resident";
    EXPECT_LT(run.peakBytes, PeakAllowance(6'000'000));
  }
}

}  // namespace
}  // namespace pixavue::platform::test
