// Metafile playback: known drawings rendered and checked at chosen pixels,
// mapping modes, paths, clipping, bitmaps and text, the placeable header's
// scaling, and corrupt or hostile records.

#include <functional>
#include <string>

#include "gdiplus_test_support.h"
#include "image.h"
#include "metafile_render.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kClear = 0;
const U_COLORREF kRedRef = colorref3_set(255, 0, 0), kBlueRef = colorref3_set(0, 0, 255);

struct Probe {
  int x, y;
  ARGB color;
};

class MetafilePlayTest : public GdiplusTest {
 protected:
  struct Rendered {
    GpStatus status = GenericError;
    int width = 0;
    std::vector<ARGB> pixels;  // premultiplied, row by row
    ARGB At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
  };

  Rendered Render(const std::vector<std::uint8_t>& file, int width, int height) {
    const auto path = temp_dir() / ("picture" + std::to_string(files_++));
    WriteFile(path, file);
    ImageGuard image(LoadImage(path));
    Rendered out;
    if (image.get() == nullptr) return out;
    gdiplus::PixelBuffer pixels;
    out.status = gdiplus::RenderMetafile(*image.get(), width, height, pixels);
    if (out.status != Ok) return out;
    EXPECT_EQ(pixels.format(), PixelFormat32bppPARGB);
    out.width = width;
    for (std::uint32_t y = 0; y < pixels.height(); ++y) {
      const auto* row = reinterpret_cast<const ARGB*>(pixels.Row(y));
      out.pixels.insert(out.pixels.end(), row, row + width);
    }
    return out;
  }

  void ExpectProbes(const Rendered& rendered, const std::vector<Probe>& probes, const std::string& what) {
    ASSERT_EQ(rendered.status, Ok) << what;
    for (const Probe& p : probes) {
      EXPECT_EQ(rendered.At(p.x, p.y), p.color) << what << " at " << p.x << "," << p.y;
    }
  }

 private:
  int files_ = 0;
};

// Red brush (object 1) and no pen selected.
EmfFile& RedFill(EmfFile& emf) {
  emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, kRedRef, 0)));
  return emf.Add(U_EMRSELECTOBJECT_set(1));
}

U_RECTL Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return U_RECTL{left, top, right, bottom};
}

TEST_F(MetafilePlayTest, EmfShapesLandWhereTheyAreDrawnAtTwiceTheSize) {
  EmfFile emf(100, 100);
  RedFill(emf).Add(U_EMRRECTANGLE_set(Rect(10, 10, 50, 40)));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(2, logbrush_set(U_BS_SOLID, kBlueRef, 0))).Add(U_EMRSELECTOBJECT_set(2));
  emf.Add(U_EMRELLIPSE_set(Rect(60, 60, 90, 90)));
  emf.Add(U_EMRCREATEPEN_set(3, logpen_set(U_PS_SOLID, point32_set(4, 4), colorref3_set(0, 255, 0))));
  emf.Add(U_EMRSELECTOBJECT_set(3));
  const U_POINT16 line[] = {{10, 80}, {50, 80}};
  emf.Add(U_EMRPOLYLINE16_set(Rect(0, 0, 0, 0), 2, line));
  ExpectProbes(Render(emf.Finish(), 200, 200),
               {{60, 50, kRed},
                {110, 60, kClear},
                {150, 150, kBlue},
                {124, 124, kClear},
                {60, 160, kGreen},
                {60, 170, kClear},
                {2, 2, kClear}},
               "shapes");
}

TEST_F(MetafilePlayTest, EmfMappingModesAndWorldTransform) {
  struct Case {
    const char* name;
    std::function<void(EmfFile&)> setup;
    U_RECTL box;
    Probe inside, outside;
  };
  const Case cases[] = {
      {"anisotropic",
       [](EmfFile& e) {
         e.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC)).Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{1000, 1000}));
         e.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{100, 100}));
       },
       Rect(0, 0, 500, 500),
       {25, 25, kRed},
       {75, 75, kClear}},
      {"isotropic keeps the aspect",
       [](EmfFile& e) {
         e.Add(U_EMRSETMAPMODE_set(7)).Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{200, 100}));
         e.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{100, 100}));
       },
       Rect(0, 0, 200, 100),
       {50, 25, kRed},
       {50, 75, kClear}},
      {"tenths of a millimetre, y up",
       [](EmfFile& e) { e.Add(U_EMRSETMAPMODE_set(U_MM_LOMETRIC)); },
       Rect(0, 0, 500, -500),
       {25, 25, kRed},
       {75, 75, kClear}},
      {"window origin",
       [](EmfFile& e) { e.Add(U_EMRSETWINDOWORGEX_set(point32_set(-50, 0))); },
       Rect(0, 0, 50, 50),
       {75, 25, kRed},
       {25, 25, kClear}},
      {"world transform",
       [](EmfFile& e) {
         e.Add(U_EMRSETWORLDTRANSFORM_set(xform_set(2, 0, 0, 1, 0, 0)));
         e.Add(U_EMRMODIFYWORLDTRANSFORM_set(xform_set(1, 0, 0, 1, 0, 50), U_MWT_RIGHTMULTIPLY));
       },
       Rect(0, 0, 25, 50),
       {40, 75, kRed},
       {60, 75, kClear}},
  };
  for (const Case& c : cases) {
    EmfFile emf(100, 100);
    RedFill(emf);
    c.setup(emf);
    emf.Add(U_EMRRECTANGLE_set(c.box));
    ExpectProbes(Render(emf.Finish(), 100, 100), {c.inside, c.outside}, c.name);
  }
}

TEST_F(MetafilePlayTest, EmfPathsClipsSavedStatesAndArcDirection) {
  EmfFile path(100, 100);
  const U_POINT16 triangle[] = {{0, 0}, {100, 0}, {0, 100}};
  RedFill(path).Add(U_EMRBEGINPATH_set()).Add(U_EMRPOLYGON16_set(Rect(0, 0, 0, 0), 3, triangle));
  path.Add(U_EMRENDPATH_set()).Add(U_EMRFILLPATH_set(Rect(0, 0, 100, 100)));
  ExpectProbes(Render(path.Finish(), 100, 100), {{20, 20, kRed}, {80, 80, kClear}}, "filled path");

  EmfFile clip(100, 100);
  RedFill(clip).Add(U_EMRSAVEDC_set()).Add(U_EMRINTERSECTCLIPRECT_set(Rect(0, 0, 50, 100)));
  clip.Add(U_EMRRECTANGLE_set(Rect(0, 0, 100, 100))).Add(U_EMRRESTOREDC_set(-1));
  clip.Add(U_EMRCREATEBRUSHINDIRECT_set(2, logbrush_set(U_BS_SOLID, kBlueRef, 0))).Add(U_EMRSELECTOBJECT_set(2));
  clip.Add(U_EMRRECTANGLE_set(Rect(0, 80, 100, 100)));
  ExpectProbes(Render(clip.Finish(), 100, 100), {{25, 40, kRed}, {75, 40, kClear}, {75, 90, kBlue}},
               "clip undone by RestoreDC");

  // From the radial at 3 o'clock to the one at 12 o'clock: counter-clockwise
  // by default (the top right quarter), clockwise after SetArcDirection.
  for (const bool clockwise : {false, true}) {
    EmfFile pie(100, 100);
    RedFill(pie);
    if (clockwise) pie.Add(U_EMRSETARCDIRECTION_set(2));
    pie.Add(U_EMRPIE_set(Rect(0, 0, 100, 100), point32_set(100, 50), point32_set(50, 0)));
    const ARGB quarter = clockwise ? kClear : kRed, rest = clockwise ? kRed : kClear;
    ExpectProbes(Render(pie.Finish(), 100, 100), {{70, 30, quarter}, {30, 30, rest}, {30, 70, rest}},
                 clockwise ? "clockwise pie" : "counter-clockwise pie");
  }
}

TEST_F(MetafilePlayTest, EmfRasterOperationsHatchesAndExcludedClip) {
  // Blits without a bitmap: black, white, the brush, then the top half
  // inverted.
  const auto blit = [](std::int32_t x, std::int32_t y, std::int32_t w, std::uint32_t rop) {
    return U_EMRBITBLT_set(Rect(0, 0, 0, 0), point32_set(x, y), point32_set(w, 50), point32_set(0, 0),
                           xform_set(1, 0, 0, 1, 0, 0), colorref3_set(0, 0, 0), U_DIB_RGB_COLORS, rop, nullptr, 0,
                           nullptr);
  };
  EmfFile ops(100, 100);
  RedFill(ops).Add(blit(0, 0, 50, U_BLACKNESS)).Add(blit(50, 0, 50, U_WHITENESS)).Add(blit(0, 50, 50, U_PATCOPY));
  ops.Add(blit(0, 0, 100, U_DSTINVERT));
  ExpectProbes(Render(ops.Finish(), 100, 100),
               {{25, 25, kWhite}, {75, 25, 0xFF000000}, {25, 75, kRed}, {75, 75, kClear}}, "raster operations");

  // A blue hatch on the opaque white background, outside an excluded square.
  EmfFile hatch(100, 100);
  hatch.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN)).Add(U_EMREXCLUDECLIPRECT_set(Rect(25, 25, 75, 75)));
  hatch.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_HATCHED, kBlueRef, U_HS_FDIAGONAL)));
  hatch.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRRECTANGLE_set(Rect(0, 0, 100, 100)));
  const Rendered rendered = Render(hatch.Finish(), 100, 100);
  ASSERT_EQ(rendered.status, Ok);
  int blue = 0, white = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      const ARGB pixel = rendered.At(x, y);
      const bool excluded = x >= 26 && x < 74 && y >= 26 && y < 74;
      if (excluded) {
        EXPECT_EQ(pixel, kClear) << x << "," << y;
      } else if (x < 24 || y < 24) {
        EXPECT_TRUE(pixel == kBlue || pixel == kWhite) << std::hex << pixel << " at " << std::dec << x << "," << y;
        (pixel == kBlue ? blue : white) += 1;
      }
    }
  }
  EXPECT_GT(blue, 300);
  EXPECT_GT(white, 2 * blue);
}

TEST_F(MetafilePlayTest, DibBlitsKeepTheirOrientationInBothFormats) {
  const TestDib dib({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  const auto size = static_cast<std::uint32_t>(dib.bits.size());
  char* bits = const_cast<char*>(dib.bits.data());
  // The whole bitmap, then a source of one row at y 0: the bottom row, as
  // StretchDIBits counts from the bottom of a bottom-up bitmap.
  for (const std::int16_t rows : {2, 1}) {
    const std::vector<Probe> expected =
        rows == 2 ? std::vector<Probe>{{25, 25, kRed}, {75, 25, kGreen}, {25, 75, kBlue}, {75, 75, kWhite}}
                  : std::vector<Probe>{{25, 25, kBlue}, {75, 25, kWhite}, {25, 75, kBlue}, {75, 75, kWhite}};
    EmfFile emf(100, 100);
    emf.Add(U_EMRSTRETCHDIBITS_set(Rect(0, 0, 99, 99), point32_set(0, 0), point32_set(100, 100), point32_set(0, 0),
                                   point32_set(2, rows), U_DIB_RGB_COLORS, U_SRCCOPY, dib.info, size, bits));
    ExpectProbes(Render(emf.Finish(), 100, 100), expected, "EMF StretchDIBits");

    WmfRecords wmf;
    wmf.Add(U_WMRSETWINDOWEXT_set(point16_set(100, 100)));
    wmf.Add(U_WMRSTRETCHDIB_set(point16_set(0, 0), point16_set(100, 100), point16_set(0, 0), point16_set(2, rows),
                                U_DIB_RGB_COLORS, U_SRCCOPY, dib.info, size, bits));
    ExpectProbes(Render(Wmf(wmf.Finish()), 100, 100), expected, "WMF StretchDIB");
  }
}

TEST_F(MetafilePlayTest, TextIsDrawnInTheTextColourBelowItsTopReference) {
  EmfFile emf(200, 100);
  std::u16string face = u"Sans";
  face.resize(32);
  const U_LOGFONT font = logfont_set(-40, 0, 0, 0, U_FW_NORMAL, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0,
                                     reinterpret_cast<uint16_t*>(face.data()));
  emf.Add(U_EMREXTCREATEFONTINDIRECTW_set(1, reinterpret_cast<const char*>(&font), nullptr));
  emf.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRSETTEXTCOLOR_set(kBlueRef)).Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
  std::u16string text = u"HHH";
  std::uint32_t dx[] = {30, 30, 30};
  char* record = emrtext_set(point32_set(10, 10), 3, 2, text.data(), U_ETO_NONE, Rect(0, 0, -1, -1), dx);
  emf.Add(U_EMREXTTEXTOUTW_set(Rect(0, 0, 0, 0), U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(record)));
  std::free(record);
  const Rendered rendered = Render(emf.Finish(), 200, 100);
  ASSERT_EQ(rendered.status, Ok);
  int inside = 0, outside = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      const ARGB pixel = rendered.At(x, y);
      if (pixel == kClear) continue;
      EXPECT_EQ(pixel & 0x00FFFF00u, 0u) << "not blue at " << x << "," << y;
      (y >= 10 && y < 55 && x >= 10) ? ++inside : ++outside;
    }
  }
  EXPECT_GT(inside, 200);
  EXPECT_EQ(outside, 0);
}

std::vector<std::uint8_t> WmfRedSquare(std::int16_t window, std::int16_t side) {
  WmfRecords wmf;
  wmf.Add(U_WMRSETWINDOWORG_set(point16_set(0, 0))).Add(U_WMRSETWINDOWEXT_set(point16_set(window, window)));
  wmf.Add(U_WMRCREATEPENINDIRECT_set(U_PEN{U_PS_NULL, {0, 0}, colorref3_set(0, 0, 0)})).Add(U_WMRSELECTOBJECT_set(0));
  wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Add(U_WMRSELECTOBJECT_set(1));
  return wmf.Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, side, side})).Finish();
}

TEST_F(MetafilePlayTest, WmfFrameFillsTheOutputAtAnySize) {
  // One inch in twips; the square covers the top left quarter.
  const auto placeable = Placeable(0, 0, 1440, 1440, 1440, Wmf(WmfRedSquare(1440, 720)));
  ExpectProbes(Render(placeable, 100, 100), {{25, 25, kRed}, {75, 75, kClear}, {75, 25, kClear}}, "100 x 100");
  ExpectProbes(Render(placeable, 37, 21), {{5, 5, kRed}, {17, 9, kRed}, {30, 18, kClear}}, "37 x 21");

  // A plain file whose window points y upwards from its bottom edge.
  WmfRecords flipped;
  flipped.Add(U_WMRSETWINDOWORG_set(point16_set(0, 1000))).Add(U_WMRSETWINDOWEXT_set(point16_set(1000, -1000)));
  flipped.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Add(U_WMRSELECTOBJECT_set(0));
  flipped.Add(U_WMRRECTANGLE_set(U_RECT16{0, 1000, 500, 500}));
  ExpectProbes(Render(Wmf(flipped.Finish()), 100, 100), {{25, 25, kRed}, {25, 75, kClear}}, "y up");
}

TEST_F(MetafilePlayTest, WmfPolyPolygonFollowsTheFillMode) {
  const U_POINT16 squares[] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {25, 25}, {75, 25}, {75, 75}, {25, 75}};
  const std::uint16_t counts[] = {4, 4};
  for (const std::uint16_t mode : {std::uint16_t{U_ALTERNATE}, std::uint16_t{2}}) {
    WmfRecords wmf;
    wmf.Add(U_WMRSETWINDOWEXT_set(point16_set(100, 100))).Add(U_WMRSETPOLYFILLMODE_set(mode));
    wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, kRedRef, 0})).Add(U_WMRSELECTOBJECT_set(0));
    wmf.Add(U_WMRSELECTOBJECT_set(7));  // no such object: ignored
    wmf.Add(U_WMRPOLYPOLYGON_set(2, counts, squares));
    ExpectProbes(Render(Wmf(wmf.Finish()), 100, 100), {{10, 10, kRed}, {50, 50, mode == U_ALTERNATE ? kClear : kRed}},
                 mode == U_ALTERNATE ? "alternate" : "winding");
  }
}

TEST_F(MetafilePlayTest, BadRecordsAreSkippedOrReported) {
  // Records whose contents do not fit them are skipped; the rest plays.
  ByteWriter polygon, region, blit;
  polygon.U32(U_EMR_POLYGON).U32(36).U32(0).U32(0).U32(10).U32(10).U32(1000000000).U32(0).U32(0);
  region.U32(U_EMR_EXTSELECTCLIPRGN).U32(56).U32(40).U32(U_RGN_COPY).U32(32).U32(1).U32(100000).U32(0);
  region.U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
  blit.U32(U_EMR_STRETCHDIBITS).U32(80);
  for (int i = 0; i < 10; ++i) blit.U32(0);
  blit.U32(0xFFFFFF00).U32(40).U32(0xFFFFFFF0).U32(16).U32(0).U32(U_SRCCOPY).U32(10).U32(10);
  EmfFile emf(100, 100);
  RedFill(emf).Raw(polygon.data).Raw(region.data).Raw(blit.data).Raw(ByteWriter().U32(200).U32(8).data);
  emf.Add(U_EMRSELECTOBJECT_set(70000)).Add(U_EMRDELETEOBJECT_set(5)).Add(U_EMRRESTOREDC_set(-5));
  emf.Add(U_EMRRECTANGLE_set(Rect(0, 0, 100, 100)));
  ExpectProbes(Render(emf.Finish(), 50, 50), {{25, 25, kRed}}, "skipped records");

  // A record running past the end of the data, or too short for its own
  // header, makes the rendering fail and leaves the output alone.
  const auto square = WmfRedSquare(100, 50);
  const std::vector<std::uint8_t> records(square.begin(), square.end() - 6);  // without the end record
  for (const std::uint32_t words : {0u, 2u, 1000u}) {
    ByteWriter bad;
    bad.Append(records).U32(words).U16(0x041B).U16(0).U16(0).U16(0).U16(0);
    const auto file = Placeable(0, 0, 100, 100, 96, Wmf(bad.data));
    EXPECT_EQ(Render(file, 20, 20).status, InvalidParameter) << words;
  }
  EmfFile truncated(100, 100);
  truncated.Raw(ByteWriter().U32(U_EMR_RECTANGLE).U32(4).data);
  EXPECT_EQ(Render(truncated.Finish(), 20, 20).status, InvalidParameter);

  // Every cut of a file either renders or is refused.
  const auto placeable = Placeable(0, 0, 100, 100, 96, Wmf(square));
  for (std::size_t length = 40; length < placeable.size(); length += 2) {
    const std::vector<std::uint8_t> cut(placeable.begin(), placeable.begin() + static_cast<std::ptrdiff_t>(length));
    const GpStatus status = Render(cut, 20, 20).status;
    EXPECT_TRUE(status == Ok || status == InvalidParameter) << length << ": " << status;
  }
}

TEST_F(MetafilePlayTest, ArgumentsAndWorkAreBounded) {
  const auto file = Placeable(0, 0, 100, 100, 96, Wmf(WmfRedSquare(100, 50)));
  EXPECT_EQ(Render(file, 0, 10).status, InvalidParameter);
  EXPECT_EQ(Render(file, 70000, 10).status, OutOfMemory);
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  ImageGuard guard(bitmap);
  gdiplus::PixelBuffer out;
  EXPECT_EQ(gdiplus::RenderMetafile(*bitmap, 4, 4, out), InvalidParameter);

  // A thousand fills of the whole output: the budget stops playback after
  // about 255 of them, keeping what was drawn (only red ones).
  EmfFile heavy(100, 100);
  RedFill(heavy).Add(U_EMRCREATEBRUSHINDIRECT_set(2, logbrush_set(U_BS_SOLID, kBlueRef, 0)));
  for (int i = 0; i < 1000; ++i) {
    if (i == 300) heavy.Add(U_EMRSELECTOBJECT_set(2));
    heavy.Add(U_EMRRECTANGLE_set(Rect(0, 0, 100, 100)));
  }
  ExpectProbes(Render(heavy.Finish(), 2048, 2048), {{1000, 1000, kRed}}, "budget");
}

}  // namespace
}  // namespace pixavue::platform::test
