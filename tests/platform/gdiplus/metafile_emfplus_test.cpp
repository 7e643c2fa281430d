// EMF+ playback: records carried by GDI comments draw the picture of an
// EMF+-only file, take over from the EMF records of a dual file (except
// after GetDC), and a dual file whose EMF+ records cannot all be played
// renders from its EMF records. Hostile records end in bounded time.

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "emfplus_test_files.h"
#include "gdiplus_test_support.h"
#include "image.h"
#include "metafile_render.h"

namespace pixavue::platform::test {
namespace {

constexpr ARGB kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kClear = 0;
constexpr int kSide = 40;

class MetafileEmfPlusTest : public GdiplusTest {
 protected:
  struct Rendered {
    GpStatus status = GenericError;
    std::vector<ARGB> pixels;  // premultiplied, kSide x kSide
    ARGB At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * kSide + x)); }
  };

  Rendered Render(const std::vector<std::uint8_t>& file) {
    const auto path = temp_dir() / ("picture" + std::to_string(files_++) + ".emf");
    WriteFile(path, file);
    ImageGuard image(LoadImage(path));
    Rendered out;
    if (image.get() == nullptr) return out;
    gdiplus::PixelBuffer pixels;
    out.status = gdiplus::RenderMetafile(*image.get(), kSide, kSide, pixels);
    for (std::uint32_t y = 0; out.status == Ok && y < pixels.height(); ++y) {
      const auto* row = reinterpret_cast<const ARGB*>(pixels.Row(y));
      out.pixels.insert(out.pixels.end(), row, row + kSide);
    }
    return out;
  }

  // Expects `inside` at the pixel centres of [x0, x1) x [y0, y1) and
  // nothing drawn just outside it.
  static void ExpectBox(const Rendered& r, int x0, int y0, int x1, int y1, ARGB inside, const std::string& what) {
    ASSERT_EQ(r.status, Ok) << what;
    EXPECT_EQ(r.At(x0, y0), inside) << what;
    EXPECT_EQ(r.At(x1 - 1, y1 - 1), inside) << what;
    if (x0 > 0) {
      EXPECT_EQ(r.At(x0 - 1, y0), kClear) << what;
    }
    if (y1 < kSide) {
      EXPECT_EQ(r.At(x0, y1), kClear) << what;
    }
  }

  std::vector<std::uint8_t> PngBytes(const std::vector<ARGB>& pixels, std::uint32_t width, std::uint32_t height) {
    ImageGuard bitmap(MakeBitmap(width, height, PixelFormat32bppARGB, pixels));
    const auto path = temp_dir() / "embedded.png";
    EXPECT_EQ(SaveImage(bitmap.get(), path, CLSID_PngCodec), Ok);
    return ReadFile(path);
  }

 private:
  int files_ = 0;
};

// An EMF part that fills (0,0)-(40,40) blue.
EmfPlusFile& BlueEmfFill(EmfPlusFile& file) {
  file.Emf(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  file.Emf(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(0, 0, 255), 0)));
  file.Emf(U_EMRSELECTOBJECT_set(1));
  return file.Emf(U_EMRRECTANGLE_set(U_RECTL{0, 0, 41, 41}));
}

TEST_F(MetafileEmfPlusTest, EmfPlusOnlyFilesDrawTheirFills) {
  {
    EmfPlusFile file(kSide, kSide, false);
    ExpectBox(Render(file.FillRect(kRed, 10, 5, 20, 10).Finish()), 10, 5, 30, 15, kRed, "colour fill");
  }
  {
    // A brush object, 16-bit rectangles, two of them.
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kBrush, 3, plus::SolidBrush(kGreen));
    file.Record(plus::kFillRects, plus::kInt16,
                PlusData().U32(3).U32(2).U16(0).U16(0).U16(5).U16(5).U16(20).U16(20).U16(4).U16(4));
    const Rendered r = Render(file.Finish());
    ExpectBox(r, 0, 0, 5, 5, kGreen, "first 16-bit rectangle");
    ExpectBox(r, 20, 20, 24, 24, kGreen, "second 16-bit rectangle");
  }
  {
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kClear, 0, PlusData().U32(kBlue));
    const Rendered r = Render(file.Finish());
    EXPECT_EQ(r.At(0, 0), kBlue);
    EXPECT_EQ(r.At(kSide - 1, kSide - 1), kBlue);
  }
}

TEST_F(MetafileEmfPlusTest, AlphaOfBrushesBlendsAndSourceCopyReplaces) {
  EmfPlusFile file(kSide, kSide, false);
  file.FillRect(kRed, 0, 0, 40, 20);
  file.Object(plus::kBrush, 0, plus::SolidBrush(0x800000FF));
  file.Record(plus::kFillRects, 0, PlusData().U32(0).U32(1).Floats({0, 0, 20, 40}));
  file.Record(plus::kSetCompositingMode, 1, PlusData());
  file.FillRect(0x800000FF, 30, 0, 10, 40);
  const Rendered r = Render(file.Finish());
  ASSERT_EQ(r.status, Ok);
  // Half blue over red, premultiplied; half blue over nothing.
  const ARGB over = r.At(5, 5), alone = r.At(5, 30), copied = r.At(35, 5);
  EXPECT_EQ(over >> 24, 0xFFu);
  EXPECT_NEAR(double((over >> 16) & 0xFF), 127, 1.5);
  EXPECT_NEAR(double(over & 0xFF), 128, 1.5);
  EXPECT_NEAR(double(alone >> 24), 128, 1.5);
  EXPECT_EQ((alone >> 16) & 0xFF, 0u);
  // SourceCopy replaces the red under it with the half-transparent blue.
  EXPECT_NEAR(double(copied >> 24), 128, 1.5);
  EXPECT_EQ((copied >> 16) & 0xFF, 0u);
  EXPECT_EQ(r.At(25, 5), kRed);
}

TEST_F(MetafileEmfPlusTest, WorldAndPageTransformsPlaceShapes) {
  {
    // Prepended: the translation acts first, then the scale: x 5 -> 10.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kScaleWorldTransform, 0, PlusData().Floats({2, 2}));
    file.Record(plus::kTranslateWorldTransform, 0, PlusData().Floats({5, 0}));
    ExpectBox(Render(file.FillRect(kRed, 0, 0, 5, 5).Finish()), 10, 0, 20, 10, kRed, "prepended translation");
  }
  {
    // Appended: the scale first, then the translation.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kScaleWorldTransform, 0, PlusData().Floats({2, 2}));
    file.Record(plus::kTranslateWorldTransform, plus::kAppend, PlusData().Floats({5, 0}));
    ExpectBox(Render(file.FillRect(kRed, 0, 0, 5, 5).Finish()), 5, 0, 15, 10, kRed, "appended translation");
  }
  {
    // Millimetres at 127 dpi: five pixels a millimetre.
    EmfPlusFile file(kSide, kSide, false, 127);
    file.Record(plus::kSetPageTransform, 6, PlusData().F32(1));
    ExpectBox(Render(file.FillRect(kRed, 2, 2, 5, 5).Finish()), 10, 10, 35, 35, kRed, "millimetre page unit");
  }
  {
    // Inches at 10 dpi; Save keeps the transform that Restore brings back.
    EmfPlusFile file(kSide, kSide, false, 10);
    file.Record(plus::kSetPageTransform, 4, PlusData().F32(1));
    file.Record(plus::kSave, 0, PlusData().U32(7));
    file.Record(plus::kSetWorldTransform, 0, PlusData().Floats({0, 1, -1, 0, 4, 0}));
    file.Record(plus::kRestore, 0, PlusData().U32(7));
    ExpectBox(Render(file.FillRect(kRed, 1, 1, 2, 1).Finish()), 10, 10, 30, 20, kRed, "inch page unit, restored");
  }
  {
    // A quarter turn about the origin then a shift right.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kRotateWorldTransform, 0, PlusData().F32(90));
    file.Record(plus::kTranslateWorldTransform, plus::kAppend, PlusData().Floats({30, 0}));
    ExpectBox(Render(file.FillRect(kRed, 0, 0, 20, 10).Finish()), 20, 0, 30, 20, kRed, "rotation");
  }
}

TEST_F(MetafileEmfPlusTest, EllipsesPiesCurvesAndGradients) {
  {
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kFillEllipse, plus::kColor, PlusData().U32(kRed).Floats({10, 10, 20, 20}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(20, 20), kRed);
    EXPECT_EQ(r.At(20, 11), kRed);
    EXPECT_EQ(r.At(11, 11), kClear);  // the corner lies outside the circle
  }
  {
    // Pie angles are those of rays from the centre, also on an ellipse:
    // 0 to 45 degrees (clockwise, y down) of a 40 x 20 ellipse.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kFillPie, plus::kColor, PlusData().U32(kRed).Floats({0, 45, 0, 0, 40, 20}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(28, 16), kRed);    // at 37 degrees
    EXPECT_EQ(r.At(24, 15), kClear);  // at 51 degrees
    EXPECT_EQ(r.At(28, 8), kClear);   // above the start ray
  }
  for (float tension : {0.0f, 0.5f}) {
    // Through the corners of (5,5)-(15,15): straight without tension,
    // bulging out between the corners with it.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kFillClosedCurve, plus::kColor,
                PlusData().U32(kRed).F32(tension).U32(4).Floats({5, 5, 15, 5, 15, 15, 5, 15}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(10, 10), kRed);
    EXPECT_EQ(r.At(10, 4), tension > 0 ? kRed : kClear) << tension;
  }
  {
    // Red at the left edge to blue at the right, clamped.
    EmfPlusFile file(kSide, kSide, false);
    file.Object(
        plus::kBrush, 0,
        PlusData().U32(plus::kVersion).U32(4).U32(0).U32(4).Floats({0, 0, 40, 1}).U32(kRed).U32(kBlue).U32(0).U32(0));
    file.Record(plus::kFillRects, 0, PlusData().U32(0).U32(1).Floats({0, 0, 40, 40}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_GT((r.At(1, 30) >> 16) & 0xFF, 230u);
    EXPECT_GT(r.At(38, 30) & 0xFF, 230u);
    EXPECT_NEAR(double((r.At(20, 30) >> 16) & 0xFF), 125, 8);
    EXPECT_NEAR(double(r.At(20, 30) & 0xFF), 130, 8);
  }
  {
    // A container maps its source rectangle onto its destination until it
    // ends.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kBeginContainer, 2, PlusData().Floats({10, 10, 20, 20, 0, 0, 10, 10}).U32(1));
    file.FillRect(kRed, 0, 0, 5, 5);
    file.Record(plus::kEndContainer, 0, PlusData().U32(1));
    file.FillRect(kBlue, 0, 0, 5, 5);
    const Rendered r = Render(file.Finish());
    ExpectBox(r, 10, 10, 20, 20, kRed, "inside the container");
    EXPECT_EQ(r.At(2, 2), kBlue);
  }
}

// The square (5,5)-(15,15) as a path object in each point encoding.
PlusData SquarePath(std::uint32_t encoding) {
  PlusData path;
  path.U32(plus::kVersion).U32(4).U32(encoding);
  if (encoding == plus::kRelative) {
    // 7-bit signed offsets from the point before, the first from (0,0).
    path.Bytes({5, 5, 10, 0, 0, 10, 0x76, 0});
  } else if (encoding == plus::kInt16) {
    for (int v : {5, 5, 15, 5, 15, 15, 5, 15}) path.U16(static_cast<std::uint16_t>(v));
  } else {
    path.Floats({5, 5, 15, 5, 15, 15, 5, 15});
  }
  return std::move(path.Bytes({0, 1, 1, 0x81}));
}

TEST_F(MetafileEmfPlusTest, PathsFillInEveryPointEncodingAndClip) {
  for (std::uint32_t encoding : {0u, std::uint32_t{plus::kInt16}, std::uint32_t{plus::kRelative}}) {
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kPath, 9, SquarePath(encoding));
    file.Record(plus::kFillPath, plus::kColor | 9, PlusData().U32(kRed));
    ExpectBox(Render(file.Finish()), 5, 5, 15, 15, kRed, "encoding " + std::to_string(encoding));
  }
  {
    // A clip rectangle cuts a fill; relative polygon points.
    EmfPlusFile file(kSide, kSide, false);
    file.Record(plus::kSetClipRect, 0, PlusData().Floats({0, 0, 20, 40}));
    file.Record(plus::kFillPolygon, plus::kColor | plus::kRelative,
                PlusData().U32(kBlue).U32(4).Bytes({10, 10, 20, 0, 0, 20, 0x6C, 0}));
    ExpectBox(Render(file.Finish()), 10, 10, 20, 30, kBlue, "clipped polygon");
  }
}

TEST_F(MetafileEmfPlusTest, PensDrawLinesWithWidthAndDashes) {
  {
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kPen, 2, plus::SolidPen(4, kRed));
    file.Record(plus::kDrawLines, 2, PlusData().U32(2).Floats({5, 20, 35, 20}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    for (int y : {18, 21}) EXPECT_EQ(r.At(20, y), kRed) << y;
    for (int y : {17, 22}) EXPECT_EQ(r.At(20, y), kClear) << y;
    EXPECT_EQ(r.At(4, 20), kClear);  // flat caps end at the points
    EXPECT_EQ(r.At(5, 20), kRed);
  }
  {
    // Dashes three widths long with one-width gaps: 6 on, 2 off from x 5.
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kPen, 2, plus::SolidPen(2, kBlue, 0x20, PlusData().U32(1).bytes()));
    file.Record(plus::kDrawLines, 2, PlusData().U32(2).Floats({5, 20, 35, 20}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(7, 20), kBlue);
    EXPECT_EQ(r.At(12, 20), kClear);
    EXPECT_EQ(r.At(14, 20), kBlue);
  }
  {
    // DrawPath outlines the path object.
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kPen, 1, plus::SolidPen(2, kGreen));
    file.Object(plus::kPath, 0, SquarePath(0));
    file.Record(plus::kDrawPath, 0, PlusData().U32(1));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(10, 5), kGreen);
    EXPECT_EQ(r.At(10, 10), kClear);
  }
}

// An image object holding a compressed (file) bitmap.
PlusData CompressedImage(const std::vector<std::uint8_t>& file) {
  return std::move(PlusData().U32(plus::kVersion).U32(1).U32(0).U32(0).U32(0).U32(0).U32(1).Bytes(file));
}

TEST_F(MetafileEmfPlusTest, ImagesDrawFromEmbeddedFilesAndPixels) {
  {
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kImage, 4, CompressedImage(PngBytes({kRed, kGreen, kBlue, 0xFFFFFFFF}, 2, 2)));
    file.Record(plus::kDrawImage, 4, PlusData().U32(0xFFFFFFFF).U32(2).Floats({0, 0, 2, 2, 10, 10, 20, 20}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(12, 12), kRed);
    EXPECT_EQ(r.At(27, 12), kGreen);
    EXPECT_EQ(r.At(12, 27), kBlue);
    EXPECT_EQ(r.At(9, 12), kClear);
  }
  {
    // Uncompressed 32bppARGB pixels, red then blue, mirrored by the points.
    EmfPlusFile file(kSide, kSide, false);
    file.Object(plus::kImage, 5,
                PlusData()
                    .U32(plus::kVersion)
                    .U32(1)
                    .U32(2)
                    .U32(1)
                    .U32(8)
                    .U32(PixelFormat32bppARGB)
                    .U32(0)
                    .U32(kRed)
                    .U32(kBlue));
    file.Record(plus::kDrawImagePoints, 5,
                PlusData().U32(0xFFFFFFFF).U32(2).Floats({0, 0, 2, 1}).U32(3).Floats({30, 0, 10, 0, 30, 10}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(25, 5), kRed);
    EXPECT_EQ(r.At(15, 5), kBlue);
    EXPECT_EQ(r.At(5, 5), kClear);
  }
  {
    // An image split over two object records, the last padded past the
    // object's end.
    std::vector<std::uint8_t> whole = CompressedImage(PngBytes({kGreen}, 1, 1)).bytes();
    const std::size_t half = whole.size() / 2;
    EmfPlusFile file(kSide, kSide, false);
    const auto total = static_cast<std::uint32_t>(whole.size());
    whole.insert(whole.end(), {0, 0, 0});
    file.Record(plus::kObject, 0x8000 | plus::ObjectFlags(plus::kImage, 1),
                PlusData().U32(total).Bytes({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(half)}));
    file.Flush();
    file.Record(plus::kObject, 0x8000 | plus::ObjectFlags(plus::kImage, 1),
                PlusData().U32(total).Bytes({whole.begin() + static_cast<std::ptrdiff_t>(half), whole.end()}));
    file.Flush();
    file.Record(plus::kDrawImage, 1, PlusData().U32(0xFFFFFFFF).U32(2).Floats({0, 0, 1, 1, 0, 0, 10, 10}));
    ExpectBox(Render(file.Finish()), 0, 0, 10, 10, kGreen, "continued image");
  }
}

TEST_F(MetafileEmfPlusTest, DualFilesPlayEmfPlusAndEmfOnlyAfterGetDc) {
  {
    EmfPlusFile file(kSide, kSide, true);
    BlueEmfFill(file).FillRect(kRed, 10, 10, 20, 20);
    const Rendered r = Render(file.Finish());
    ExpectBox(r, 10, 10, 30, 30, kRed, "EMF+ part of a dual file");
  }
  {
    // The EMF records after GetDC draw; those after the next EMF+ record
    // do not.
    EmfPlusFile file(kSide, kSide, true);
    file.Record(plus::kGetDc, 0, PlusData());
    file.Emf(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    file.Emf(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(0, 255, 0), 0)));
    file.Emf(U_EMRSELECTOBJECT_set(1));
    file.Emf(U_EMRRECTANGLE_set(U_RECTL{0, 0, 11, 11}));
    file.FillRect(kRed, 20, 20, 10, 10);
    file.Emf(U_EMRRECTANGLE_set(U_RECTL{30, 0, 41, 11}));
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok);
    EXPECT_EQ(r.At(5, 5), kGreen);
    EXPECT_EQ(r.At(25, 25), kRed);
    EXPECT_EQ(r.At(35, 5), kClear);
  }
}

// Dual files whose EMF+ records cannot all be played: the EMF part (blue
// over the whole picture) is all that shows.
TEST_F(MetafileEmfPlusTest, DualFilesFallBackToEmfWhenEmfPlusCannotPlay) {
  const std::vector<std::pair<std::string, std::function<void(EmfPlusFile&)>>> cases = {
      {"texture brush",
       [](EmfPlusFile& f) { f.Object(plus::kBrush, 0, PlusData().U32(plus::kVersion).U32(2).U32(0)); }},
      {"text", [](EmfPlusFile& f) { f.Record(plus::kDrawString, 0, PlusData().U32(0).U32(0).U32(0)).Flush(); }},
      {"object id 64",
       [](EmfPlusFile& f) {
         f.Record(plus::kObject, plus::ObjectFlags(plus::kBrush, 64), plus::SolidBrush(kRed)).Flush();
       }},
      {"length past the comment",
       [](EmfPlusFile& f) {
         f.RawPlus(PlusData().U16(plus::kFillRects).U16(0x8000).U32(4000).U32(3988).bytes()).Flush();
       }},
      {"rectangle not a number",
       [](EmfPlusFile& f) {
         f.Record(plus::kFillRects, plus::kColor, PlusData().U32(kRed).U32(1).Floats({0, 0, 5}).U32(0x7FC00000))
             .Flush();
       }},
      {"brush never defined",
       [](EmfPlusFile& f) {
         f.Record(plus::kFillRects, 0, PlusData().U32(12).U32(1).Floats({0, 0, 5, 5})).Flush();
       }},
  };
  for (const auto& [what, damage] : cases) {
    EmfPlusFile file(kSide, kSide, true);
    file.FillRect(kRed, 10, 10, 20, 20);
    damage(file);
    BlueEmfFill(file).FillRect(kRed, 0, 0, 5, 5);
    const Rendered r = Render(file.Finish());
    ASSERT_EQ(r.status, Ok) << what;
    EXPECT_EQ(r.At(2, 2), kBlue) << what;
    EXPECT_EQ(r.At(15, 15), kBlue) << what;
  }
}

TEST_F(MetafileEmfPlusTest, EmfPlusOnlyFilesSkipWhatTheyCannotPlay) {
  EmfPlusFile file(kSide, kSide, false);
  file.Object(plus::kBrush, 0, PlusData().U32(plus::kVersion).U32(2).U32(0));
  file.Record(plus::kFillRects, 0, PlusData().U32(0).U32(1).Floats({0, 0, 40, 40})).Flush();
  file.RawPlus(PlusData().U16(plus::kFillRects).U16(0x8000).U32(4000).U32(3988).bytes()).Flush();
  file.FillRect(kRed, 10, 10, 5, 5);
  const Rendered r = Render(file.Finish());
  ExpectBox(r, 10, 10, 15, 15, kRed, "fill after unplayable records");
  EXPECT_EQ(r.At(2, 2), kClear);
}

TEST_F(MetafileEmfPlusTest, HostileCountsAndSizesEndInBoundedTime) {
  EmfPlusFile file(kSide, kSide, false);
  // Counts far beyond the record's bytes.
  file.Record(plus::kFillPolygon, plus::kColor, PlusData().U32(kRed).U32(0xFFFFFFFF).Floats({0, 0, 40, 0, 40, 40}));
  file.Record(plus::kFillRects, plus::kColor, PlusData().U32(kRed).U32(0x40000000).Floats({0, 0, 40, 40}));
  file.Object(plus::kPath, 0, PlusData().U32(plus::kVersion).U32(0x7FFFFFFF).U32(0).Floats({0, 0}));
  file.Record(plus::kObject, 0x8000 | plus::ObjectFlags(plus::kImage, 1), PlusData().U32(0xFFFFFFF0).U32(0)).Flush();
  file.Object(
      plus::kImage, 2,
      PlusData().U32(plus::kVersion).U32(1).U32(0x10000).U32(0x10000).U32(0x40000).U32(PixelFormat32bppARGB).U32(0));
  file.Record(plus::kDrawImage, 2, PlusData().U32(0).U32(2).Floats({0, 0, 1, 1, 0, 0, 40, 40}));
  // Many fills of a huge area: the work budget ends them.
  PlusData rects;
  rects.U32(kBlue).U32(20000);
  for (int i = 0; i < 20000; ++i) rects.Floats({-1e6f, -1e6f, 2e6f, 2e6f});
  for (int i = 0; i < 50; ++i) file.Record(plus::kFillRects, plus::kColor, rects).Flush();
  const auto start = std::chrono::steady_clock::now();
  const Rendered r = Render(file.Finish());
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(r.status, Ok);
  EXPECT_LT(seconds, 30.0);  // a hang guard; the budget allows about a second
}

}  // namespace
}  // namespace pixavue::platform::test
