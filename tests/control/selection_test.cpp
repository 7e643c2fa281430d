// The selection rectangle read and set in image pixels, surface pixels and
// millimetres; drawn with the rubber band; following zoom and scrolling;
// zoomed to and centred; drawn on the saved view where its members say;
// and its properties stored and reported.

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "image.h"  // to give an image a resolution no decoder produces
#include "view_test_support.h"

namespace pixavue::testing {
namespace {

using platform::ARGB;

constexpr ARGB kImageColour = 0xFF336699u;
constexpr ARGB kBlack = 0xFF000000u;
constexpr OLE_COLOR kRedOle = 0x0000FFu;
constexpr ARGB kRed = 0xFFFF0000u;

using Quad = std::array<std::int32_t, 4>;
using Shape = std::array<float, 4>;

class SelectionTest : public ControlTest {
 protected:
  // The control comes first: it starts the imaging session.
  void SetUp() override { control_ = NewControl(); }
  void TearDown() override { control_.reset(); }

  // The control sized width x height, showing `image`.
  ImageBox& Show(int width, int height, engine::ImageId image) {
    control_->Resize(width, height);
    EXPECT_EQ(box().SetNativeImage(image), QuorvexStatus::OK);
    return box();
  }
  ImageBox& box() { return control_->Control(); }

  Shape ShapeOf() const {
    const platform::RectangleShape& s = control_->Control().shRect();
    return {s.Left(), s.Top(), s.Width(), s.Height()};
  }
  Quad Values() {
    Quad q{-7, -7, -7, -7};
    box().GetRectValues(q[0], q[1], q[2], q[3]);
    return q;
  }
  Quad ObjectValues() {
    Quad q{-7, -7, -7, -7};
    box().GetRectValuesObject(q[0], q[1], q[2], q[3]);
    return q;
  }
  Quad Cache() const {
    const ImageBoxRuntime& s = control_->Control().Runtime();
    return {s.RectCacheLeft, s.RectCacheTop, s.RectCacheWidth, s.RectCacheHeight};
  }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(SelectionTest, NothingIsSelectedUntilBothSidesPassOnePixel) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  EXPECT_FALSE(b.isRectDrawed());
  EXPECT_EQ(Values(), (Quad{0, 0, 0, 0}));
  EXPECT_EQ(ObjectValues(), (Quad{0, 0, 0, 0}));
  EXPECT_EQ(b.GetRectX() + b.GetRectY() + b.GetRectWidth() + b.GetRectHeight(), 0);

  b.put_MouseMode(MouseModeAreaSelection);
  b.PressRect(100, 50);  // a click: 1 x 1
  EXPECT_TRUE(b.Runtime().RectDrawing);
  EXPECT_FALSE(b.isRectDrawed());
  EXPECT_EQ(Values(), (Quad{0, 0, 0, 0}));
  EXPECT_FALSE(b.Runtime().RectDrawn);

  b.StretchRect(101, 60);  // 1 wide, 10 high: not drawn, yet the getters answer
  EXPECT_FALSE(b.isRectDrawed());
  EXPECT_EQ(Values(), (Quad{50, 30, 1, 10}));
  EXPECT_EQ(b.GetRectHeight(), 10);
  EXPECT_EQ(ObjectValues(), (Quad{100, 50, 1, 10}));
}

// The image spans x 50..249 and y 20..119 of the control.
TEST_F(SelectionTest, RubberBandIsCutAtTheDisplayedImageAndDrawnWhereItsMembersSay) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  ASSERT_EQ(b.GetImageLeft(), 50);
  ASSERT_EQ(b.GetImageTop(), 20);
  b.put_RectBorderColor(kRedOle);
  b.put_MouseMode(MouseModeAreaSelection);
  b.PressRect(60, 30);
  b.StretchRect(400, 300);
  EXPECT_EQ(ShapeOf(), (Shape{60, 30, 190, 90}));
  EXPECT_EQ(Values(), (Quad{10, 10, 190, 90}));
  EXPECT_TRUE(b.isRectDrawed());
  EXPECT_TRUE(b.Runtime().RectDrawn);
  EXPECT_EQ(Cache(), (Quad{10, 10, 190, 90}));

  TestFolder folder;
  const ViewImage view = SavedView(*control_, folder);
  for (const auto& [x, y] : {std::pair{60, 30}, {249, 30}, {60, 119}, {249, 119}, {150, 30}, {60, 70}}) {
    EXPECT_EQ(view.At(x, y), kRed) << x << ',' << y;
  }
  EXPECT_EQ(view.At(61, 31), kImageColour);
  EXPECT_EQ(view.At(248, 118), kImageColour);
  EXPECT_EQ(view.At(59, 30), kImageColour);
  EXPECT_EQ(view.At(250, 30), kBlack);  // beyond the image: the background

  // Dragged up and to the left past the image: cut at its top-left corner.
  b.PressRect(200, 100);
  b.StretchRect(20, 5);
  EXPECT_EQ(ShapeOf(), (Shape{50, 20, 150, 80}));
  EXPECT_EQ(Values(), (Quad{0, 0, 150, 80}));
}

TEST_F(SelectionTest, PressOutsideTheImageOrInAnotherModeDrawsNothing) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  b.put_MouseMode(MouseModeAreaSelection);
  b.PressRect(10, 30);  // left of the image
  EXPECT_TRUE(b.Runtime().AnchorOutsideX);
  EXPECT_FALSE(b.Runtime().AnchorOutsideY);
  b.StretchRect(400, 300);
  EXPECT_FALSE(b.isRectDrawed());
  EXPECT_EQ(Values(), (Quad{0, 0, 0, 0}));

  b.EndRectDrag();
  b.put_MouseMode(MouseModePan);
  b.PressRect(60, 30);
  b.StretchRect(100, 80);
  EXPECT_FALSE(b.Runtime().RectDrawing);
  EXPECT_FALSE(b.isRectDrawed());

  b.put_MouseMode(MouseModeAutoZoom);  // draws like area selection
  b.PressRect(60, 30);
  b.StretchRect(100, 80);
  EXPECT_EQ(Values(), (Quad{10, 10, 40, 50}));
}

// A 100 x 100 image at zoom 2, scrolled from its top-left corner.
TEST_F(SelectionTest, RectangleStaysOnTheSameImagePixelsThroughScrollingAndZoom) {
  control_->Resize(150, 150);
  box().put_ImageAlignment(ImageAlignmentTopLeft);
  ASSERT_EQ(box().SetNativeImage(SolidBitmap(100, 100, kImageColour)), QuorvexStatus::OK);
  ImageBox& b = box();
  ASSERT_EQ(b.SetZoom(200), QuorvexStatus::OK);
  ASSERT_EQ(b.GetImageLeft(), 0);
  ASSERT_EQ(b.GetImageTop(), 0);
  b.put_RectBorderColor(kRedOle);
  b.SetRectValues(10, 10, 20, 20);
  EXPECT_EQ(ObjectValues(), (Quad{20, 20, 40, 40}));
  EXPECT_EQ(Values(), (Quad{10, 10, 20, 20}));

  b.SetHVScrollBarPosition(30, 16);
  EXPECT_EQ(ObjectValues(), (Quad{-10, 4, 40, 40}));
  EXPECT_EQ(Values(), (Quad{10, 10, 20, 20}));
  TestFolder folder;
  const ViewImage view = SavedView(*control_, folder);
  EXPECT_EQ(view.At(0, 4), kRed);   // the top edge, its left part scrolled away
  EXPECT_EQ(view.At(29, 4), kRed);  // the top-right corner
  EXPECT_EQ(view.At(30, 4), kImageColour);
  EXPECT_EQ(view.At(29, 43), kRed);
  EXPECT_EQ(view.At(15, 20), kImageColour);

  b.ZoomIN();  // 2.1: the view moves, the selection follows
  EXPECT_EQ(Values(), (Quad{10, 10, 20, 20}));
  EXPECT_EQ(ObjectValues()[2], 42);
}

TEST_F(SelectionTest, MillimetresRoundTripAtTheImageResolution) {
  ImageBox& b = Show(400, 300, SolidBitmap(1000, 1000, kImageColour, 300, 300));
  b.SetRectValuesMM(25.4f, 25.4f, 25.4f, 25.4f);
  EXPECT_EQ(Values(), (Quad{300, 300, 300, 300}));
  std::array<float, 4> mm{};
  b.GetRectValuesMM(mm[0], mm[1], mm[2], mm[3]);
  for (const float value : mm) EXPECT_FLOAT_EQ(value, 25.4f);

  b.SetRectValuesMM(-5, 0, 10, 10);  // left of the image: not clamped, read back as 0
  EXPECT_EQ(b.GetRectX(), -59);
  EXPECT_EQ(b.GetRectY(), 0);
  b.GetRectValuesMM(mm[0], mm[1], mm[2], mm[3]);
  EXPECT_EQ(mm[0], 0.0f);
  EXPECT_EQ(mm[1], 0.0f);
  EXPECT_NEAR(mm[2], 10.0f, 0.05f);
}

TEST_F(SelectionTest, MillimetresOfAnUnknownResolutionLeaveWidthAndHeightAsPassed) {
  const engine::ImageId id = SolidBitmap(400, 400, kImageColour, 200, 100);
  engine::NativeHandle(id)->frame.dpiX = 0;
  ImageBox& b = Show(300, 300, id);
  ASSERT_EQ(b.get_HorizontalResolution(), 0.0f);
  b.SetRectValues(20, 30, 40, 50);
  std::array<float, 4> mm{7, 7, 7, 7};
  b.GetRectValuesMM(mm[0], mm[1], mm[2], mm[3]);
  EXPECT_EQ(mm[0], 0.0f);
  EXPECT_EQ(mm[2], 7.0f);
  EXPECT_FLOAT_EQ(mm[1], 30 / 100.0f * 25.4f);
  EXPECT_FLOAT_EQ(mm[3], 50 / 100.0f * 25.4f);
}

TEST_F(SelectionTest, SurfacePixelSetterMovesOnlyWithAPositiveSize) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  b.SetRectValuesObject(60, 30, 40, 20);
  EXPECT_EQ(ShapeOf(), (Shape{60, 30, 40, 20}));
  EXPECT_EQ(Cache(), (Quad{10, 10, 40, 20}));
  b.SetRectValuesObject(5, 5, 0, 20);
  b.SetRectValuesObject(5, 5, 20, -1);
  EXPECT_EQ(ShapeOf(), (Shape{60, 30, 40, 20}));

  // Without an image nothing is kept for the next render.
  b.CloseImage();
  b.SetRectValuesObject(60, 30, 40, 20);
  EXPECT_TRUE(b.isRectDrawed());
  EXPECT_FALSE(b.Runtime().RectDrawn);
}

// A 400 x 300 view without bars, a 100 x 50 selection at image (500, 400).
TEST_F(SelectionTest, CenterOnRectScrollsTheSelectionToTheMiddleOfTheView) {
  control_->Resize(400, 300);
  box().put_ScrollBars(false);
  ASSERT_EQ(box().SetNativeImage(SolidBitmap(2000, 2000, kImageColour)), QuorvexStatus::OK);
  ImageBox& b = box();
  ASSERT_FALSE(b.HScroll().Visible() || b.VScroll().Visible());
  b.SetRectValues(500, 400, 100, 50);
  ASSERT_EQ(ShapeOf()[2], 100);
  control_->Events().Clear();
  b.CenterOnRect();
  EXPECT_EQ(b.GetHScrollBarPosition(), 350);
  EXPECT_EQ(b.GetVScrollBarPosition(), 275);
  EXPECT_EQ(ShapeOf(), (Shape{150, 125, 100, 50}));
  // Each bar that moved reports its change, then the one render does.
  EXPECT_EQ(control_->Events().Count(ImageBoxDispid::ScrollControl), 3u);

  b.ClearRect();
  b.CenterOnRect();  // nothing drawn: nothing moves
  EXPECT_EQ(b.GetHScrollBarPosition(), 350);
}

TEST_F(SelectionTest, ZoomRectFitsTheSelectionToTheViewAndCentresIt) {
  control_->Resize(400, 300);
  box().put_ScrollBars(false);
  ASSERT_EQ(box().SetNativeImage(SolidBitmap(1000, 1000, kImageColour)), QuorvexStatus::OK);
  ImageBox& b = box();
  EXPECT_EQ(b.ZoomRect(), QuorvexStatus::OK);  // nothing selected
  EXPECT_EQ(b.get_ZOOM(), 1.0);
  EXPECT_EQ(b.get_ZoomMode(), Zoom100);

  b.SetRectValues(100, 100, 200, 100);  // 2:1, held by the width
  EXPECT_EQ(b.ZoomRect(), QuorvexStatus::OK);
  EXPECT_EQ(b.get_ZoomMode(), ZoomCustom);
  EXPECT_EQ(b.get_ZOOM(), 2.0);
  EXPECT_EQ(Values(), (Quad{100, 100, 200, 100}));
  EXPECT_EQ(ShapeOf(), (Shape{0, 50, 400, 200}));
  EXPECT_EQ(b.GetHScrollBarPosition(), 200);
  EXPECT_EQ(b.GetVScrollBarPosition(), 150);
  EXPECT_FALSE(b.get_LockControl());
}

TEST_F(SelectionTest, HostileValuesNeitherCrashNorDrawOffTheView) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour, 300, 300));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  TestFolder folder;
  for (const auto& mm : {std::array<float, 4>{nan, nan, nan, nan}, {1e30f, 1e30f, 1e30f, 1e30f},
                         {-1e30f, -1e30f, 1e30f, 1e30f}, {inf, -inf, inf, -inf}, {0, 0, 0, 0}}) {
    b.SetRectValuesMM(mm[0], mm[1], mm[2], mm[3]);
    b.ZoomIN();
    Values();
    ObjectValues();
    EXPECT_EQ(SavedView(*control_, folder).width, 300);
  }
  b.SetRectValuesMM(nan, nan, nan, nan);
  EXPECT_FALSE(b.isRectDrawed());

  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  for (const Quad& q : {Quad{kMin, kMin, kMax, kMax}, Quad{kMax, kMax, kMax, kMax}, Quad{0, 0, kMin, kMin}}) {
    b.SetRectValues(q[0], q[1], q[2], q[3]);
    b.SetRectValuesObject(q[0], q[1], q[2], q[3]);
    b.ZoomOUT();
    b.ZoomRect();
    b.CenterOnRect();
    Values();
    EXPECT_EQ(SavedView(*control_, folder).width, 300);
  }

  // Outside the image: the left and top as given, the right and bottom cut.
  b.SetZoom100();
  b.SetRectValues(5000, 5000, 10, 10);
  EXPECT_EQ(Values(), (Quad{5000, 5000, 200 - 5000, 100 - 5000}));
}

TEST_F(SelectionTest, PropertiesAreStoredAndReported) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  control_->Container().ClearChanges();
  b.put_RectBorderColor(0x123456);
  b.put_RectBorderSize(3);
  b.put_RectBorderStyle(RectBorderStyleDashDot);
  b.put_RectDrawMode(RectDrawModeXorPen);
  b.put_RectIsEditable(false);
  EXPECT_EQ(control_->Container().Changes(), (std::vector<std::string>{"RectBorderColor", "RectBorderSize",
                                                                       "RectBorderStyle", "RectDrawMode",
                                                                       "RectIsEditable"}));
  EXPECT_EQ(b.shRect().BorderColor(), 0x123456u);
  EXPECT_EQ(b.get_RectBorderSize(), 3);
  EXPECT_EQ(b.get_RectBorderStyle(), RectBorderStyleDashDot);
  EXPECT_EQ(b.shRect().BorderStyle(), platform::ShapeBorderStyle::DashDot);
  EXPECT_EQ(b.get_RectDrawMode(), RectDrawModeXorPen);
  EXPECT_EQ(b.shRect().DrawMode(), platform::ShapeDrawMode::XorPen);
  EXPECT_FALSE(b.get_RectIsEditable());

  // XOR of white over the image colour, 3 pixels wide around (60, 30).
  b.put_RectBorderColor(0xFFFFFF);
  b.SetRectValuesObject(60, 30, 100, 50);
  const ViewImage view = ComposeView(b);
  EXPECT_EQ(view.At(59, 60), 0xFF000000u | (~kImageColour & 0xFFFFFFu));
  EXPECT_EQ(view.At(61, 60), 0xFF000000u | (~kImageColour & 0xFFFFFFu));
  EXPECT_EQ(view.At(62, 60), kImageColour);
}

TEST_F(SelectionTest, EveryNewLayoutOfTheImageClearsTheSelection) {
  ImageBox& b = Show(300, 140, SolidBitmap(200, 100, kImageColour));
  b.SetRectValues(10, 10, 50, 50);
  ASSERT_TRUE(b.isRectDrawed());
  b.Redraw();
  EXPECT_FALSE(b.isRectDrawed());
  EXPECT_EQ(Cache(), (Quad{0, 0, 0, 0}));

  b.SetRectValues(10, 10, 50, 50);
  b.put_MouseMode(MouseModePan);
  EXPECT_FALSE(b.isRectDrawed());

  b.SetRectValues(10, 10, 50, 50);
  b.SetNativeImage(SolidBitmap(20, 20, kImageColour));
  EXPECT_FALSE(b.isRectDrawed());
}

}  // namespace
}  // namespace pixavue::testing
