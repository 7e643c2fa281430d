// What a person sees of a control: the surface (retained drawing, or the
// picture over the background colour with the mask's transparency), the
// scroll bars and corner box where the layout put them, the selection
// rectangle's raster operations and dash styles, and the view saved as PNG.

#include <pixavue/control/view_image.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/window/metrics.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "control_test_support.h"
#include "rectangle_painter.h"
#include "scroll_bar_painter.h"

namespace pixavue::testing {
namespace {

using platform::ARGB;
using platform::ScrollBar;

constexpr ARGB kImageColor = 0xFF336699u;

class ViewCompositionTest : public ControlTest {
 protected:
  void TearDown() override { control_.reset(); }

  ImageBox& MakeControl(int width, int height) {
    platform::SetScrollBarThickness(platform::kDefaultScrollBarThickness);
    control_ = NewControl();
    control_->Resize(width, height);
    return box();
  }
  ImageBox& box() { return control_->Control(); }

  // Shows a new 32-bit ARGB bitmap whose pixel (x, y) is color(x, y).
  void ShowImage(int width, int height, const std::function<ARGB(int, int)>& color) {
    platform::GpImage* bitmap = nullptr;
    ASSERT_EQ(platform::GdipCreateBitmapFromScan0(width, height, 0, platform::PixelFormat32bppARGB, nullptr, &bitmap),
              platform::Ok);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) ASSERT_EQ(platform::GdipBitmapSetPixel(bitmap, x, y, color(x, y)), platform::Ok);
    }
    engine::ImageId id = engine::kNoImage;
    engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
    ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  }

  // Pixels of a bar's colour `color` within [from, to) along its length.
  static int CountAlong(const ViewImage& view, const ScrollBar& bar, int from, int to, ARGB color) {
    const bool horizontal = bar.Orientation() == platform::ScrollBarOrientation::Horizontal;
    const int thickness = horizontal ? bar.Height() : bar.Width();
    int count = 0;
    for (int along = from; along < to; ++along) {
      for (int across = 0; across < thickness; ++across) {
        const int x = bar.Left() + (horizontal ? along : across);
        const int y = bar.Top() + (horizontal ? across : along);
        count += view.At(x, y) == color;
      }
    }
    return count;
  }

  // The colour in the middle of a bar at `along` pixels from its start.
  static ARGB AlongMiddle(const ViewImage& view, const ScrollBar& bar, int along) {
    if (bar.Orientation() == platform::ScrollBarOrientation::Horizontal) {
      return view.At(bar.Left() + along, bar.Top() + bar.Height() / 2);
    }
    return view.At(bar.Left() + bar.Width() / 2, bar.Top() + along);
  }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(ViewCompositionTest, BarsAndCornerSitWhereTheLayoutPutThemOverTheDrawnImage) {
  MakeControl(400, 300);
  ShowImage(1000, 1000, [](int, int) { return kImageColor; });  // Zoom100: both bars and the corner
  ASSERT_TRUE(box().HScroll().Visible() && box().VScroll().Visible() && box().shCorner().Visible());
  box().SetHVScrollBarPosition(0, 0);
  ViewImage view = ComposeView(box());
  ASSERT_EQ(view.width, 400);
  ASSERT_EQ(view.height, 300);
  const ScrollBar& h = box().HScroll();
  const ScrollBar& v = box().VScroll();
  EXPECT_EQ(view.At(0, 0), kImageColor);
  EXPECT_EQ(view.At(v.Left() - 1, h.Top() - 1), kImageColor);  // the image right up to the bars
  EXPECT_EQ(view.At(box().shCorner().Left() + 8, box().shCorner().Top() + 8), kCornerBoxColor);
  for (const ScrollBar* bar : {&h, &v}) {
    const int length = bar == &h ? h.Width() : v.Height();
    EXPECT_EQ(CountAlong(view, *bar, 0, 17, kScrollArrowColor), 16);  // a triangle of 1 + 3 + 5 + 7
    EXPECT_EQ(CountAlong(view, *bar, length - 17, length, kScrollArrowColor), 16);
    EXPECT_EQ(AlongMiddle(view, *bar, 16), kScrollButtonColor);
    EXPECT_EQ(AlongMiddle(view, *bar, 17), kScrollThumbColor);  // at Min the thumb starts the track
    EXPECT_EQ(AlongMiddle(view, *bar, length - 18), kScrollTrackColor);
  }

  box().SetHVScrollBarPosition(h.Max(), v.Max());
  view = ComposeView(box());
  EXPECT_EQ(AlongMiddle(view, h, 17), kScrollTrackColor);
  EXPECT_EQ(AlongMiddle(view, h, h.Width() - 18), kScrollThumbColor);  // at Max it ends the track
  EXPECT_EQ(AlongMiddle(view, h, h.Width() - 17), kScrollButtonColor);
  EXPECT_EQ(AlongMiddle(view, v, v.Height() - 18), kScrollThumbColor);

  box().SetZoomFitControl();  // 300 x 300 in the middle, no bars
  ASSERT_FALSE(h.Visible() || v.Visible() || box().shCorner().Visible());
  view = ComposeView(box());
  EXPECT_EQ(view.At(200, 291), kImageColor);  // where the horizontal bar was
  EXPECT_EQ(view.At(391, 291), 0xFF000000u);  // the black background where the corner was
}

TEST_F(ViewCompositionTest, DisabledBarsShowGreyArrowsAndNoThumb) {
  MakeControl(200, 150);
  box().put_ForceScrollBars(true);
  ShowImage(50, 50, [](int, int) { return kImageColor; });  // nothing to scroll
  const ScrollBar& h = box().HScroll();
  ASSERT_TRUE(h.Visible());
  ASSERT_FALSE(h.Enabled());
  const ViewImage view = ComposeView(box());
  EXPECT_EQ(CountAlong(view, h, 0, h.Width(), kScrollThumbColor), 0);
  EXPECT_EQ(CountAlong(view, h, 0, h.Width(), kScrollArrowColor), 0);
  EXPECT_EQ(CountAlong(view, h, 0, 17, kScrollDisabledArrowColor), 16);
}

// A 3 x 1 image at the top-left corner of a 40 x 30 control: opaque red,
// half-transparent green, fully transparent.
TEST_F(ViewCompositionTest, SurfaceAsPresentedForEachDrawingMode) {
  const ARGB blue = 0xFF0000FFu;
  const struct {
    const char* name;
    ViewerBackStyleMode style;
    bool forcePicture;
    ARGB half, clear, outside;
  } cases[] = {
      {"direct", bkOpaque, false, 0xFF00807Fu, blue, blue},
      {"picture over the background", bkOpaque, true, 0xFF00807Fu, blue, blue},
      {"transparent keeps the alpha", bkTransparent, false, 0x8000FF00u, 0, 0},
  };
  for (const auto& c : cases) {
    MakeControl(40, 30);
    box().put_BackColor(0xFF0000u);  // OLE: blue in the third byte
    box().put_BackStyle(c.style);
    box().put_ForcePictureMode(c.forcePicture);
    box().put_ImagePosition(ImagePositionTopLeft);
    ShowImage(3, 1, [](int x, int) { return std::array<ARGB, 3>{0xFFFF0000u, 0x8000FF00u, 0x00000000u}[x]; });
    EXPECT_EQ(box().Surface().AutoRedraw(), c.style == bkOpaque && !c.forcePicture) << c.name;
    const ViewImage view = ComposeView(box());
    EXPECT_EQ(view.At(0, 0), 0xFFFF0000u) << c.name;
    const ARGB half = view.At(1, 0);
    EXPECT_EQ(half >> 24, c.half >> 24) << c.name;
    for (int shift = 0; shift < 24; shift += 8) {  // one unit of rounding either way
      EXPECT_LE(std::abs(static_cast<int>((half >> shift) & 0xFF) - static_cast<int>((c.half >> shift) & 0xFF)), 1)
          << c.name << std::hex << ' ' << half;
    }
    EXPECT_EQ(view.At(2, 0), c.clear) << c.name;
    EXPECT_EQ(view.At(20, 20), c.outside) << c.name;
  }
}

TEST_F(ViewCompositionTest, SavedViewReadsBackWithItsPixelsAndAFailureLeavesNoFile) {
  MakeControl(40, 30);
  box().put_BackStyle(bkTransparent);
  box().put_ImagePosition(ImagePositionTopLeft);
  ShowImage(2, 2, [](int x, int y) { return x == y ? 0xFF102030u : 0x00000000u; });
  const ViewImage view = ComposeView(box());
  const auto folder = std::filesystem::temp_directory_path() / ("pixavue_view_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "view.png").string();
  ASSERT_EQ(control_->SaveView(path), platform::Ok);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no partial file left

  platform::GpImage* saved = nullptr;
  const std::u16string wide(path.begin(), path.end());
  ASSERT_EQ(platform::GdipLoadImageFromFile(wide.c_str(), &saved), platform::Ok);
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {39, 29}}) {
    ARGB pixel = 1;
    platform::GdipBitmapGetPixel(saved, x, y, &pixel);
    EXPECT_EQ(pixel, view.At(x, y)) << x << ',' << y;
  }
  EXPECT_EQ(view.At(1, 1), 0xFF102030u);
  EXPECT_EQ(view.At(1, 0), 0u);
  platform::GdipDisposeImage(saved);

  const std::string unwritable = (folder / "missing" / "view.png").string();
  EXPECT_NE(control_->SaveView(unwritable), platform::Ok);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
  std::filesystem::remove_all(folder);
}

// The selection rectangle, painted over a grey view.
class RectanglePainterTest : public ::testing::Test {
 protected:
  static constexpr ARGB kGrey = 0xFF808080u;

  static ViewImage GreyView() { return {30, 20, std::vector<std::uint32_t>(600, kGrey)}; }

  static platform::RectangleShape Shape(float left, float top, float width, float height, int style, int borderWidth,
                                        int mode = 13) {
    platform::RectangleShape shape;
    shape.Move(left, top, width, height);
    shape.SetVisible(true);
    shape.SetBorderColor(0x0000FF);  // OLE red
    shape.SetBorderStyle(style);
    shape.SetBorderWidth(static_cast<std::int16_t>(borderWidth));
    shape.SetDrawMode(mode);
    return shape;
  }

  // "#" where the row of the view differs from grey, "." where it does not.
  static std::string Row(const ViewImage& view, int y, int from, int to) {
    std::string row;
    for (int x = from; x < to; ++x) row += view.At(x, y) == kGrey ? '.' : '#';
    return row;
  }
};

TEST_F(RectanglePainterTest, RasterOperationsCombinePenAndPixel) {
  using platform::ShapeDrawMode;
  const std::uint32_t pen = 0xF0CC0F, below = 0x3C5AA5;
  const struct {
    ShapeDrawMode mode;
    std::uint32_t result;
  } cases[] = {
      {ShapeDrawMode::Blackness, 0},
      {ShapeDrawMode::Whiteness, 0xFFFFFF},
      {ShapeDrawMode::CopyPen, pen},
      {ShapeDrawMode::NotCopyPen, ~pen & 0xFFFFFF},
      {ShapeDrawMode::Nop, below},
      {ShapeDrawMode::Invert, ~below & 0xFFFFFF},
      {ShapeDrawMode::XorPen, pen ^ below},
      {ShapeDrawMode::NotXorPen, ~(pen ^ below) & 0xFFFFFF},
      {ShapeDrawMode::MaskPen, pen & below},
      {ShapeDrawMode::MergePen, pen | below},
      {ShapeDrawMode::NotMergePen, ~(pen | below) & 0xFFFFFF},
      {ShapeDrawMode::MaskNotPen, ~pen & below},
      {ShapeDrawMode::MergePenNot, (pen | ~below) & 0xFFFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(CombineRaster(c.mode, pen, below), c.result) << static_cast<int>(c.mode);

  ViewImage view = GreyView();
  const auto xorShape = Shape(2, 3, 10, 6, 1, 1, 7);
  PaintRectangleShape(xorShape, view);
  EXPECT_EQ(view.At(2, 3), 0xFF7F8080u);  // each corner pixel combined once: grey ^ red
  EXPECT_EQ(view.At(11, 8), 0xFF7F8080u);
  PaintRectangleShape(xorShape, view);
  EXPECT_EQ(view.pixels, GreyView().pixels);  // xor twice restores

  PaintRectangleShape(Shape(2, 3, 10, 6, 1, 1, 6), view);
  EXPECT_EQ(view.At(5, 3), 0xFF7F7F7Fu);  // inverted
  PaintRectangleShape(Shape(2, 3, 10, 6, 1, 1, 13), view);
  EXPECT_EQ(view.At(5, 3), 0xFFFF0000u);  // the pen's colour
  EXPECT_EQ(view.At(5, 5), kGrey);        // the inside stays
}

TEST_F(RectanglePainterTest, DashStylesWidthsAndClipping) {
  const struct {
    const char* name;
    float left, top, width, height;
    int style, borderWidth;
    int row, from, to;
    const char* expected;
  } cases[] = {
      {"solid outline", 2, 3, 10, 6, 1, 1, 3, 0, 14, "..##########.."},
      {"solid sides", 2, 3, 10, 6, 1, 1, 5, 0, 14, "..#........#.."},
      {"dots of 3", 0, 0, 28, 5, 3, 1, 0, 0, 14, "###...###...##"},
      {"dashes of 18 and 6", 0, 0, 28, 5, 2, 1, 0, 12, 28, "######......####"},
      {"dash dot", 0, 0, 28, 5, 4, 1, 0, 0, 28, "#########......###......####"},
      {"dash dot dot", 0, 0, 28, 5, 5, 1, 0, 0, 21, "#########...###...###"},
      {"dots go on round the corner", 0, 0, 5, 12, 3, 1, 4, 4, 5, "#"},       // 5 along the top, then 3 down: 8
      {"dots go on round the corner, off", 0, 0, 5, 12, 3, 1, 6, 4, 5, "."},  // 10
      {"transparent draws nothing", 2, 3, 10, 6, 0, 1, 3, 0, 14, ".............."},
      {"wide dashes are solid, centred", 2, 3, 10, 6, 2, 3, 2, 0, 14, ".############."},
      {"wide pen centred inside too", 2, 3, 10, 6, 1, 3, 6, 0, 14, ".###......###."},
      {"inside solid stays inside", 2, 3, 10, 6, 6, 3, 2, 0, 14, ".............."},
      {"inside solid band", 2, 3, 10, 8, 6, 3, 6, 0, 14, "..###....###.."},
      {"halves round to even", 2.5f, 3, 9, 6, 1, 1, 3, 0, 14, "..##########.."},
      {"cut at the view's edge", 25, 15, 10, 10, 1, 1, 15, 24, 30, ".#####"},
      {"one pixel wide is nothing", 2, 3, 1, 6, 1, 1, 3, 0, 14, ".............."},
  };
  for (const auto& c : cases) {
    ViewImage view = GreyView();
    PaintRectangleShape(Shape(c.left, c.top, c.width, c.height, c.style, c.borderWidth), view);
    EXPECT_EQ(Row(view, c.row, c.from, c.to), c.expected) << c.name;
  }
  ViewImage hidden = GreyView();
  auto shape = Shape(2, 3, 10, 6, 1, 1);
  shape.SetVisible(false);
  PaintRectangleShape(shape, hidden);
  EXPECT_EQ(hidden.pixels, GreyView().pixels);
}

}  // namespace
}  // namespace pixavue::testing
