// Metafiles that make playback work hard for their size: they end with Ok
// and what was drawn before the work ran out, and the same kinds of record
// in ordinary numbers still draw what they should.

#include <string>

#include "gdiplus_test_support.h"
#include "image.h"
#include "metafile_hostile_files.h"
#include "metafile_render.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kClear = 0;

class MetafileHostileTest : public GdiplusTest {
 protected:
  struct Rendered {
    GpStatus status = GenericError;
    gdiplus::PixelBuffer pixels;
    ARGB At(std::uint32_t x, std::uint32_t y) const {
      return reinterpret_cast<const ARGB*>(pixels.Row(y))[x];
    }
  };

  Rendered Render(const std::vector<std::uint8_t>& file, int side) {
    const auto path = temp_dir() / ("hostile" + std::to_string(files_++));
    WriteFile(path, file);
    ImageGuard image(LoadImage(path));
    Rendered out;
    if (image.get() != nullptr) out.status = gdiplus::RenderMetafile(*image.get(), side, side, out.pixels);
    return out;
  }

 private:
  int files_ = 0;
};

TEST_F(MetafileHostileTest, ClipFloodsStopWhenTheirWorkRunsOut) {
  // Each full fill through the clip is drawn until the budget is spent.
  for (const ClipFlood kind : {ClipFlood::Intersect, ClipFlood::Exclude, ClipFlood::Region, ClipFlood::Mixed}) {
    const Rendered flood = Render(EmfClipFlood(kind, 512, 30000, 50), 512);
    ASSERT_EQ(flood.status, Ok) << static_cast<int>(kind);
    // The centre stays inside every intersected rectangle and region.
    if (kind != ClipFlood::Exclude) {
      EXPECT_EQ(flood.At(256, 256), kRed) << static_cast<int>(kind);
    }
  }
  const Rendered wmf = Render(WmfClipFlood(1000, 30000), 100);
  EXPECT_EQ(wmf.status, Ok);
}

TEST_F(MetafileHostileTest, ExcludedRectanglesStayClearUnderAFlood) {
  // A few hundred small exclusions, then a fill: the fill covers all but
  // the excluded pixels, whole pixels as a device clips.
  EmfFile emf(200, 200);
  SelectRedBrush(emf);
  for (std::int32_t y = 0; y < 200; y += 10) {
    for (std::int32_t x = 0; x < 200; x += 10) emf.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{x, y, x + 3, y + 3}));
  }
  emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 200, 200}));
  const Rendered out = Render(emf.Finish(), 200);
  ASSERT_EQ(out.status, Ok);
  for (const auto& [x, y] : {std::pair{0u, 0u}, {2u, 2u}, {52u, 101u}, {192u, 190u}}) {
    EXPECT_EQ(out.At(x, y), kClear) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{3u, 3u}, {5u, 5u}, {57u, 103u}, {199u, 199u}}) {
    EXPECT_EQ(out.At(x, y), kRed) << x << "," << y;
  }
}

TEST_F(MetafileHostileTest, RegionsReplaceAndIntersectTheClip) {
  EmfFile emf(100, 100);
  SelectRedBrush(emf);
  emf.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 50, 100}));
  // A copy replaces the clip above with two rectangles; an intersection
  // then keeps the part of them above row 60.
  emf.Add(ClipRegionRecord(U_RGN_COPY, {U_RECTL{0, 0, 20, 100}, U_RECTL{70, 0, 100, 100}}));
  emf.Add(ClipRegionRecord(U_RGN_AND, {U_RECTL{0, 0, 100, 60}}));
  emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
  const Rendered out = Render(emf.Finish(), 100);
  ASSERT_EQ(out.status, Ok);
  EXPECT_EQ(out.At(10, 30), kRed);
  EXPECT_EQ(out.At(80, 30), kRed);
  EXPECT_EQ(out.At(40, 30), kClear);
  EXPECT_EQ(out.At(10, 80), kClear);
  EXPECT_EQ(out.At(80, 80), kClear);
}

TEST_F(MetafileHostileTest, NestedSavedStatesGiveBackTheirClip) {
  EmfFile emf(100, 100);
  SelectRedBrush(emf);
  emf.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{0, 0, 10, 10}));
  emf.Add(U_EMRSAVEDC_set());
  for (int i = 0; i < 2000; ++i) {
    emf.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{10 + i % 80, 50, 11 + i % 80, 51}));
    emf.Add(U_EMRSAVEDC_set());
  }
  emf.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 1, 1}));
  // Back to the first saved state: only the first exclusion clips.
  emf.Add(U_EMRRESTOREDC_set(1));
  emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
  const Rendered out = Render(emf.Finish(), 100);
  ASSERT_EQ(out.status, Ok);
  EXPECT_EQ(out.At(5, 5), kClear);
  EXPECT_EQ(out.At(50, 50), kRed);
  EXPECT_EQ(out.At(90, 90), kRed);

  // A clip of ninety thousand pieces saved a thousand times over.
  const Rendered nested = Render(EmfNestedSaves(600, 300, 1000, 3), 600);
  EXPECT_EQ(nested.status, Ok);
}

TEST_F(MetafileHostileTest, ObjectChurnKeepsTheLowestFreeSlot) {
  // After the churn slot 0 holds a pen made in the last round: the line
  // is drawn in its colour.
  const Rendered out = Render(WmfObjectChurn(2000), 100);
  ASSERT_EQ(out.status, Ok);
  EXPECT_EQ(out.At(50, 50), kBlue);
  EXPECT_EQ(out.At(50, 20), kClear);
}

TEST_F(MetafileHostileTest, PolygonsAreChargedByTheScanLinesTheirEdgesCross) {
  // An ordinary polygon of many points is drawn ...
  const Rendered ordinary = Render(EmfRandomPolygon(512, 2000), 512);
  ASSERT_EQ(ordinary.status, Ok);
  EXPECT_EQ(ordinary.At(256, 256), kRed);
  // ... one whose edges cross the output hundreds of millions of times is
  // refused, and nothing after it plays.
  const Rendered hostile = Render(EmfRandomPolygon(2048, 400000), 2048);
  ASSERT_EQ(hostile.status, Ok);
  EXPECT_EQ(hostile.At(1024, 1024), kClear);
}

TEST_F(MetafileHostileTest, RegionCountsBeyondTheirBytesAreSkipped) {
  // Regions declaring far more rectangles than their records hold are
  // skipped; the fill after them covers the output.
  EmfFile emf(100, 100);
  SelectRedBrush(emf);
  ByteWriter region;
  region.U32(U_EMR_EXTSELECTCLIPRGN).U32(64).U32(48).U32(U_RGN_COPY);
  region.U32(32).U32(1).U32(0x10000000).U32(0x7FFFFFF0);
  region.U32(0).U32(0).U32(10).U32(10).U32(0).U32(0).U32(10).U32(10);
  emf.Raw(region.data);
  // A WMF region with a huge scan count in a short record only takes a slot.
  emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
  const Rendered out = Render(emf.Finish(), 100);
  ASSERT_EQ(out.status, Ok);
  EXPECT_EQ(out.At(50, 50), kRed);

  WmfRecords wmf;
  ByteWriter created;
  created.U32(14).U16(0x06FF).U16(0).U16(6).U16(0).U16(0x7FFF).U16(0x7FFF).U16(0x7FFF).U16(0).U16(0).U16(100);
  created.U16(100).U16(0);
  wmf.Raw(created.data);
  wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(255, 0, 0), 0}));
  wmf.Add(U_WMRSELECTOBJECT_set(1)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 100, 100}));
  const Rendered wmfOut = Render(Placeable(0, 0, 100, 100, 96, Wmf(wmf.Finish())), 100);
  ASSERT_EQ(wmfOut.status, Ok);
  EXPECT_EQ(wmfOut.At(50, 50), kRed);
}

}  // namespace
}  // namespace pixavue::platform::test
