// Region records and region objects of both formats' players (a WMF region
// selected as the clip too), the old WMF blits with a device-dependent
// bitmap inside the record; a placeable WMF with no window records.
// Drawings are checked at chosen pixels.

#include <string>

#include "gdiplus_test_support.h"
#include "image.h"
#include "metafile_bitmap16.h"
#include "metafile_render.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kClear = 0;
constexpr ARGB kCyan = 0xFF00FFFF;  // white red-inverted
const U_COLORREF kRedRef = colorref3_set(255, 0, 0), kBlueRef = colorref3_set(0, 0, 255);

class MetafileRegionsTest : public GdiplusTest {
 protected:
  // The file rendered at width x height; empty when it did not render.
  std::vector<ARGB> Render(const std::vector<std::uint8_t>& file, int width, int height) {
    const auto path = temp_dir() / ("picture" + std::to_string(files_++));
    WriteFile(path, file);
    ImageGuard image(LoadImage(path));
    if (image.get() == nullptr) return {};
    gdiplus::PixelBuffer pixels;
    EXPECT_EQ(gdiplus::RenderMetafile(*image.get(), width, height, pixels), Ok);
    std::vector<ARGB> out;
    for (std::uint32_t y = 0; y < pixels.height(); ++y) {
      const auto* row = reinterpret_cast<const ARGB*>(pixels.Row(y));
      out.insert(out.end(), row, row + width);
    }
    width_ = width;
    return out;
  }
  ARGB At(const std::vector<ARGB>& pixels, int x, int y) const {
    return pixels.empty() ? 0xDEADBEEF : pixels.at(static_cast<std::size_t>(y * width_ + x));
  }

 private:
  int files_ = 0;
  int width_ = 0;
};

// A region of `rects` (device or logical units, as the record says).
struct Region final {
  explicit Region(std::vector<U_RECTL> rects) : rects_(std::move(rects)) {
    U_RECTL bounds = rects_.front();
    for (const U_RECTL& r : rects_) {
      bounds = U_RECTL{std::min(bounds.left, r.left), std::min(bounds.top, r.top), std::max(bounds.right, r.right),
                       std::max(bounds.bottom, r.bottom)};
    }
    data = rgndata_set(rgndataheader_set(static_cast<U_NUM_RECTL>(rects_.size()), bounds), rects_.data());
  }
  ~Region() { std::free(data); }
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  std::vector<U_RECTL> rects_;
  PU_RGNDATA data = nullptr;
};

// A 100 x 100 EMF whose background is white, with a red brush as object 1.
EmfFile WhiteEmf() {
  EmfFile emf(100, 100);
  emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN)).Add(U_EMRSELECTOBJECT_set(U_WHITE_BRUSH));
  emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, kRedRef, 0)));
  return emf;
}

TEST_F(MetafileRegionsTest, EmfRegionRecordsPaintTheirRegions) {
  // Two rectangles making an L; FillRgn with the red brush.
  Region ell({{10, 10, 30, 60}, {30, 40, 60, 60}});
  EmfFile fill = WhiteEmf();
  fill.Add(U_EMRFILLRGN_set(U_RECTL{10, 10, 60, 60}, 1, ell.data));
  auto pixels = Render(fill.Finish(), 100, 100);
  EXPECT_EQ(At(pixels, 20, 20), kRed);
  EXPECT_EQ(At(pixels, 45, 50), kRed);
  EXPECT_EQ(At(pixels, 45, 20), kWhite);  // the L's notch
  EXPECT_EQ(At(pixels, 70, 50), kWhite);

  // PaintRgn uses the selected brush, InvertRgn turns white into black.
  Region square({{20, 20, 40, 40}}), band({{0, 70, 100, 80}});
  EmfFile paint = WhiteEmf();
  paint.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRPAINTRGN_set(square.data)).Add(U_EMRINVERTRGN_set(band.data));
  paint.Add(U_EMRINVERTRGN_set(square.data));
  pixels = Render(paint.Finish(), 100, 100);
  EXPECT_EQ(At(pixels, 30, 30), kCyan);  // red, then inverted
  EXPECT_EQ(At(pixels, 50, 75), kBlack);
  EXPECT_EQ(At(pixels, 50, 50), kWhite);

  // FrameRgn paints 4 x 2 units inside the outline, around the notch too.
  EmfFile frame = WhiteEmf();
  frame.Add(U_EMRFRAMERGN_set(U_RECTL{10, 10, 60, 60}, 1, U_SIZEL{4, 2}, ell.data));
  pixels = Render(frame.Finish(), 100, 100);
  for (const auto& [x, y] : {std::pair{11, 30}, {28, 11}, {20, 58}, {58, 50}, {45, 41}, {28, 30}}) {
    EXPECT_EQ(At(pixels, x, y), kRed) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{15, 30}, {20, 13}, {45, 50}, {45, 38}, {25, 30}}) {
    EXPECT_EQ(At(pixels, x, y), kWhite) << x << "," << y;
  }
}

TEST_F(MetafileRegionsTest, EmfRegionsFollowTheMappingAndSkipWhatIsMissing) {
  // Logical units twice the device's: the region doubles in size.
  Region square({{10, 10, 20, 20}});
  EmfFile mapped = WhiteEmf();
  mapped.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC)).Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{50, 50}));
  mapped.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{100, 100}));
  mapped.Add(U_EMRFILLRGN_set(U_RECTL{10, 10, 20, 20}, 1, square.data));
  auto pixels = Render(mapped.Finish(), 100, 100);
  EXPECT_EQ(At(pixels, 22, 22), kRed);
  EXPECT_EQ(At(pixels, 38, 38), kRed);
  EXPECT_EQ(At(pixels, 42, 42), kWhite);

  // An unknown brush, a null brush and a region whose count passes its data
  // draw nothing; the records after them still play.
  EmfFile missing = WhiteEmf();
  missing.Add(U_EMRFILLRGN_set(U_RECTL{}, 9, square.data));
  missing.Add(U_EMRFILLRGN_set(U_RECTL{}, U_NULL_BRUSH | 0x80000000u, square.data));
  ByteWriter lying;
  lying.U32(U_EMR_INVERTRGN).U32(76).U32(0).U32(0).U32(0).U32(0).U32(48).U32(32).U32(1).U32(1000).U32(16);
  for (int i = 0; i < 8; ++i) lying.U32(i < 4 ? 0 : 100);
  missing.Raw(lying.data);
  missing.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRRECTANGLE_set(U_RECTL{60, 60, 100, 100}));
  pixels = Render(missing.Finish(), 100, 100);
  EXPECT_EQ(At(pixels, 15, 15), kWhite);
  EXPECT_EQ(At(pixels, 50, 50), kWhite);
  EXPECT_EQ(At(pixels, 80, 80), kRed);
}

TEST_F(MetafileRegionsTest, EmfClipRegionModesCombineWithTheClip) {
  // Clip to the left half, combine with the top half by each mode, then
  // fill everything red: the four quarters tell the resulting clip.
  Region left({{0, 0, 50, 100}}), top({{0, 0, 100, 50}});
  struct Case {
    std::uint32_t mode;
    ARGB topLeft, topRight, bottomLeft, bottomRight;
  };
  for (const Case& c : {Case{U_RGN_AND, kRed, kWhite, kWhite, kWhite}, Case{U_RGN_OR, kRed, kRed, kRed, kWhite},
                        Case{U_RGN_XOR, kWhite, kRed, kRed, kWhite}, Case{U_RGN_DIFF, kWhite, kWhite, kRed, kWhite},
                        Case{U_RGN_COPY, kRed, kRed, kWhite, kWhite}}) {
    EmfFile emf = WhiteEmf();
    emf.Add(U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, left.data)).Add(U_EMREXTSELECTCLIPRGN_set(c.mode, top.data));
    emf.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
    const auto pixels = Render(emf.Finish(), 100, 100);
    EXPECT_EQ(At(pixels, 25, 25), c.topLeft) << c.mode;
    EXPECT_EQ(At(pixels, 75, 25), c.topRight) << c.mode;
    EXPECT_EQ(At(pixels, 25, 75), c.bottomLeft) << c.mode;
    EXPECT_EQ(At(pixels, 75, 75), c.bottomRight) << c.mode;
  }

  // With no clip, a difference leaves the output without the region; a copy
  // of no region removes the clip again.
  EmfFile reset = WhiteEmf();
  reset.Add(U_EMREXTSELECTCLIPRGN_set(U_RGN_DIFF, top.data)).Add(U_EMRSELECTOBJECT_set(1));
  reset.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 100}));
  reset.Raw(ByteWriter().U32(U_EMR_EXTSELECTCLIPRGN).U32(16).U32(0).U32(U_RGN_COPY).data);
  reset.Add(U_EMRCREATEBRUSHINDIRECT_set(2, logbrush_set(U_BS_SOLID, kBlueRef, 0))).Add(U_EMRSELECTOBJECT_set(2));
  reset.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 100, 20}));
  const auto pixels = Render(reset.Finish(), 100, 100);
  EXPECT_EQ(At(pixels, 50, 10), kBlue);
  EXPECT_EQ(At(pixels, 50, 30), kWhite);
  EXPECT_EQ(At(pixels, 50, 75), kRed);
}

// A placeable 100 x 100 WMF (96 units an inch) of `records`, white first.
std::vector<std::uint8_t> WhiteWmf(WmfRecords& records, bool windowRecords = true) {
  WmfRecords all;
  if (windowRecords) {
    all.Add(U_WMRSETWINDOWORG_set(point16_set(0, 0))).Add(U_WMRSETWINDOWEXT_set(point16_set(100, 100)));
  }
  all.Add(U_WMRCREATEPENINDIRECT_set(U_PEN{U_PS_NULL, {0, 0}, colorref3_set(0, 0, 0)})).Add(U_WMRSELECTOBJECT_set(0));
  all.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(255, 255, 255), 0}));
  all.Add(U_WMRSELECTOBJECT_set(1)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 100, 100}));
  auto bytes = all.Finish();
  bytes.resize(bytes.size() - kEndRecord.size());
  const auto more = records.Finish();
  bytes.insert(bytes.end(), more.begin(), more.end());
  return Placeable(0, 0, 100, 100, 96, Wmf(bytes));
}

// A 4 x 2 monochrome BITMAP16: the left half's bits are 0, the right's 1.
std::vector<char> MonoBits() { return {char(0x30), 0, char(0x30), 0}; }

TEST_F(MetafileRegionsTest, OldBlitsDrawTheBitmapInsideTheRecord) {
  // Monochrome: 0 bits in the text colour, 1 bits in the background colour.
  const auto mono = MonoBits();
  U_BITMAP16* bitmap = U_BITMAP16_set(0, 4, 2, 2, 1, mono.data());
  WmfRecords blit;
  blit.Add(U_WMRSETTEXTCOLOR_set(kRedRef)).Add(U_WMRSETBKCOLOR_set(kBlueRef));
  blit.Add(U_WMRBITBLT_set(point16_set(10, 10), point16_set(4, 2), point16_set(0, 0), U_SRCCOPY, bitmap));
  blit.Add(U_WMRSTRETCHBLT_set(point16_set(40, 40), point16_set(40, 40), point16_set(0, 0), point16_set(4, 2),
                               U_SRCCOPY, bitmap));
  std::free(bitmap);
  auto pixels = Render(WhiteWmf(blit), 100, 100);
  EXPECT_EQ(At(pixels, 10, 10), kRed);
  EXPECT_EQ(At(pixels, 12, 11), kBlue);
  EXPECT_EQ(At(pixels, 14, 10), kWhite);
  EXPECT_EQ(At(pixels, 45, 70), kRed);   // columns 0..1 stretched ten times
  EXPECT_EQ(At(pixels, 75, 45), kBlue);  // columns 2..3 (1 bits)
  EXPECT_EQ(At(pixels, 85, 85), kWhite);

  // 24 bits: blue, green, red bytes, rows padded to a word.
  const std::vector<char> colour = {0, 0, char(255), char(255), 0, 0, 0, char(255), 0, char(255), char(255), char(255)};
  U_BITMAP16* rgb = U_BITMAP16_set(0, 2, 2, 2, 24, colour.data());
  WmfRecords colourBlit;
  colourBlit.Add(U_WMRSTRETCHBLT_set(point16_set(0, 0), point16_set(100, 100), point16_set(0, 0), point16_set(2, 2),
                                     U_SRCCOPY, rgb));
  std::free(rgb);
  pixels = Render(WhiteWmf(colourBlit), 100, 100);
  EXPECT_EQ(At(pixels, 25, 25), kRed);
  EXPECT_EQ(At(pixels, 75, 25), kBlue);
  EXPECT_EQ(At(pixels, 25, 75), 0xFF00FF00);
  EXPECT_EQ(At(pixels, 75, 75), kWhite);
}

TEST_F(MetafileRegionsTest, Bitmap16RefusesWhatItCannotRead) {
  gdiplus::metafile::ColorRef black = 0, white = 0xFFFFFF;
  const std::vector<std::uint8_t> good = {0, 0, 4, 0, 2, 0, 2, 0, 1, 1, 0x30, 0, 0x30, 0};
  const auto decoded = gdiplus::metafile::DecodeBitmap16(good, black, white, 100);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->width(), 4u);
  EXPECT_EQ(reinterpret_cast<const ARGB*>(decoded->Row(1))[2], kWhite);
  EXPECT_EQ(reinterpret_cast<const ARGB*>(decoded->Row(1))[0], kBlack);

  const auto with = [&good](std::size_t at, std::uint8_t value) {
    auto bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
  for (const auto& bad : {truncated, with(8, 2), with(9, 8), with(6, 0), with(2, 0), with(3, 0x80), with(2, 17)}) {
    EXPECT_FALSE(gdiplus::metafile::DecodeBitmap16(bad, black, white, 100).has_value());
  }
  EXPECT_FALSE(gdiplus::metafile::DecodeBitmap16(good, black, white, 7).has_value());  // over the pixel limit
}

// A WMF record of `function` with 16-bit parameters as stored.
std::vector<std::uint8_t> WmfRecord(std::uint16_t function, const std::vector<std::uint16_t>& words) {
  ByteWriter out;
  out.U32(static_cast<std::uint32_t>(3 + words.size())).U16(function);
  for (const std::uint16_t w : words) out.U16(w);
  return out.data;
}

// CreateRegion of an L: rows 10..40 spanning x 10..30, rows 40..60 spanning
// 10..60 (two scans; the second holds two pairs that touch).
std::vector<std::uint8_t> CreateEllRegion() {
  const std::vector<std::uint16_t> scans = {2, 10, 40, 10, 30, 2, 4, 40, 60, 10, 30, 30, 60, 4};
  std::vector<std::uint16_t> words = {0, 6, 0, 0, static_cast<std::uint16_t>(22 + scans.size() * 2), 2, 4,
                                      10, 10, 60, 60};
  words.insert(words.end(), scans.begin(), scans.end());
  return WmfRecord(0x06FF, words);
}

TEST_F(MetafileRegionsTest, WmfRegionObjectsAreFilledPaintedFramedAndInverted) {
  // Objects 0 and 1 are the white background's pen and brush; 2 the red
  // brush, 3 the region.
  const auto base = [](WmfRecords& records) {
    records.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Raw(CreateEllRegion());
  };
  WmfRecords fill;
  base(fill);
  fill.Raw(WmfRecord(0x0228, {2, 3}));  // brush, region
  auto pixels = Render(WhiteWmf(fill), 100, 100);
  EXPECT_EQ(At(pixels, 20, 20), kRed);
  EXPECT_EQ(At(pixels, 50, 50), kRed);
  EXPECT_EQ(At(pixels, 50, 20), kWhite);

  WmfRecords paint;
  base(paint);
  paint.Add(U_WMRSELECTOBJECT_set(2)).Raw(WmfRecord(0x012B, {3})).Raw(WmfRecord(0x012A, {3}));
  pixels = Render(WhiteWmf(paint), 100, 100);
  EXPECT_EQ(At(pixels, 20, 20), kCyan);  // painted red, then inverted
  EXPECT_EQ(At(pixels, 80, 80), kWhite);

  WmfRecords frame;
  base(frame);
  frame.Raw(WmfRecord(0x0429, {2, 4, 2, 3}));  // height 2, width 4, brush, region
  pixels = Render(WhiteWmf(frame), 100, 100);
  EXPECT_EQ(At(pixels, 11, 30), kRed);
  EXPECT_EQ(At(pixels, 50, 41), kRed);
  EXPECT_EQ(At(pixels, 58, 50), kRed);
  EXPECT_EQ(At(pixels, 20, 30), kWhite);
  EXPECT_EQ(At(pixels, 45, 50), kWhite);

  // A region index naming a brush, a brush index naming the region and a
  // scan running past the object draw nothing.
  WmfRecords wrong;
  base(wrong);
  wrong.Raw(WmfRecord(0x0228, {2, 2})).Raw(WmfRecord(0x0228, {3, 3}));
  wrong.Raw(WmfRecord(0x06FF, {0, 6, 0, 0, 30, 1, 2, 0, 0, 90, 90, 200, 0, 90, 0, 90}));
  wrong.Raw(WmfRecord(0x0228, {2, 4}));
  pixels = Render(WhiteWmf(wrong), 100, 100);
  EXPECT_EQ(At(pixels, 20, 20), kWhite);
  EXPECT_EQ(At(pixels, 80, 80), kWhite);
}

// CreateRegion of one rectangle, from (left, top) to (right, bottom).
std::vector<std::uint8_t> CreateBoxRegion(std::uint16_t left, std::uint16_t top, std::uint16_t right,
                                          std::uint16_t bottom) {
  return WmfRecord(0x06FF, {0, 6, 0, 0, 22 + 12, 1, 2, left, top, right, bottom, 2, top, bottom, left, right, 2});
}

TEST_F(MetafileRegionsTest, WmfSelectClipRegionMakesTheRegionTheClip) {
  // Objects 2 the red brush, 3 the L region; then the page painted red.
  const auto clipped = [](WmfRecords& records, const std::vector<std::vector<std::uint8_t>>& clipping) {
    records.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Raw(CreateEllRegion());
    for (const auto& record : clipping) records.Raw(record);
    records.Add(U_WMRSELECTOBJECT_set(2)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 100, 100}));
  };
  const auto select = [](std::uint16_t index) { return WmfRecord(0x012C, {index}); };
  WmfRecords ell;
  clipped(ell, {select(3)});
  auto pixels = Render(WhiteWmf(ell), 100, 100);
  EXPECT_EQ(At(pixels, 20, 20), kRed);
  EXPECT_EQ(At(pixels, 50, 50), kRed);
  EXPECT_EQ(At(pixels, 50, 20), kWhite);
  EXPECT_EQ(At(pixels, 80, 80), kWhite);

  // A second region replaces the first; a rectangle clip then intersects.
  WmfRecords replaced;
  clipped(replaced, {select(3), CreateBoxRegion(70, 70, 95, 95), select(4), WmfRecord(0x0416, {100, 100, 75, 75})});
  pixels = Render(WhiteWmf(replaced), 100, 100);
  EXPECT_EQ(At(pixels, 80, 80), kRed);
  EXPECT_EQ(At(pixels, 72, 72), kWhite);
  EXPECT_EQ(At(pixels, 20, 20), kWhite);

  // Region coordinates are logical: a window twice the output halves them.
  WmfRecords mapped;
  mapped.Add(U_WMRSETWINDOWEXT_set(point16_set(200, 200)));
  clipped(mapped, {select(3)});
  pixels = Render(WhiteWmf(mapped), 100, 100);
  EXPECT_EQ(At(pixels, 10, 10), kRed);
  EXPECT_EQ(At(pixels, 25, 25), kRed);
  EXPECT_EQ(At(pixels, 40, 40), kWhite);

  // An index naming a brush leaves the clip; a region of no scans clips
  // everything away, until a restore brings the clip before it back.
  WmfRecords brush;
  clipped(brush, {select(2)});
  EXPECT_EQ(At(Render(WhiteWmf(brush), 100, 100), 80, 80), kRed);
  WmfRecords empty;
  clipped(empty, {WmfRecord(0x001E, {}), WmfRecord(0x06FF, {0, 6, 0, 0, 22, 0, 0, 0, 0, 0, 0}), select(4)});
  empty.Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 100, 50})).Raw(WmfRecord(0x0127, {0xFFFF}));
  empty.Add(U_WMRSELECTOBJECT_set(2)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 50, 100, 100}));
  pixels = Render(WhiteWmf(empty), 100, 100);
  EXPECT_EQ(At(pixels, 50, 20), kWhite);
  EXPECT_EQ(At(pixels, 50, 80), kRed);
}

TEST_F(MetafileRegionsTest, PlaceableWmfWithoutWindowRecordsUsesItsBox) {
  // The box starts at (50, 50): the window is the box.
  WmfRecords records;
  records.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Add(U_WMRSELECTOBJECT_set(0));
  records.Add(U_WMRRECTANGLE_set(U_RECT16{50, 50, 100, 100}));
  const auto pixels = Render(Placeable(50, 50, 150, 150, 96, Wmf(records.Finish())), 100, 100);
  EXPECT_EQ(At(pixels, 25, 25), kRed);
  EXPECT_EQ(At(pixels, 75, 75), kClear);
}

}  // namespace
}  // namespace pixavue::platform::test
