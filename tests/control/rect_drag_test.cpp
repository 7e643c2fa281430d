// Editing the selection rectangle with the pointer: the part under the
// pointer and the pointer shown over it, moves and resizes of each part,
// and the refusals that keep the rectangle the right way out and on the
// displayed image.

#include <array>
#include <memory>

#include "view_test_support.h"

namespace pixavue::testing {
namespace {

using Shape = std::array<float, 4>;

// A 200 x 100 image at (50, 50) of a 300 x 200 control in area-selection
// mode, with a selection at (100, 70) of 80 x 40: right edge 180, bottom 110.
class RectDragTest : public ControlTest {
 protected:
  void SetUp() override {
    control_ = NewControl();
    control_->Resize(300, 200);
    ASSERT_EQ(box().SetNativeImage(SolidBitmap(200, 100, 0xFF336699u)), QuorvexStatus::OK);
    ASSERT_EQ(box().GetImageLeft(), 50);
    ASSERT_EQ(box().GetImageTop(), 50);
    box().put_MouseMode(MouseModeAreaSelection);
    box().SetRectValuesObject(100, 70, 80, 40);
  }
  void TearDown() override { control_.reset(); }

  ImageBox& box() { return control_->Control(); }
  Shape ShapeOf() {
    const platform::RectangleShape& s = box().shRect();
    return {s.Left(), s.Top(), s.Width(), s.Height()};
  }
  // Hovers (x, y) to pick the part, presses there, then drags to each point.
  void Drag(float x, float y, std::initializer_list<std::pair<float, float>> path) {
    box().HoverRect(x, y);
    box().PressRect(x, y);
    ASSERT_TRUE(box().Runtime().RectEditing);
    for (const auto& [px, py] : path) box().HoverRect(px, py);
    box().EndRectDrag();
  }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(RectDragTest, EachPartShowsItsSizePointer) {
  const struct {
    float x, y;
    std::int32_t zone;
    MousePointers pointer;
  } cases[] = {
      {100, 70, 1, MousePointerSize_NW_SE}, {180, 70, 2, MousePointerSize_NE_SW},
      {100, 110, 3, MousePointerSize_NE_SW}, {180, 110, 4, MousePointerSize_NW_SE},
      {96, 90, 5, MousePointerSize_W_E},     {184, 90, 6, MousePointerSize_W_E},
      {140, 113, 7, MousePointerSize_N_S},   {140, 66, 8, MousePointerSize_N_S},
      {140, 90, 9, MousePointerSizeAll},     {103.5f, 106.5f, 3, MousePointerSize_NE_SW},
  };
  for (const auto& c : cases) {
    box().HoverRect(c.x, c.y);
    EXPECT_EQ(box().Runtime().RectHitZone, c.zone) << c.x << ',' << c.y;
    EXPECT_EQ(box().Surface().MousePointer(), c.pointer) << c.x << ',' << c.y;
  }
  box().HoverRect(95, 90);  // 5 pixels away: the mode's cross again, the last part kept
  EXPECT_EQ(box().Surface().MousePointer(), MousePointerCross);
  EXPECT_EQ(box().Runtime().RectHitZone, 3);
}

TEST_F(RectDragTest, SizePointersShowOverACustomPointerWhichComesBackAway) {
  box().put_MousePointer(MousePointerHourglass);
  box().HoverRect(180, 110);
  EXPECT_EQ(box().Surface().MousePointer(), MousePointerSize_NW_SE);
  box().HoverRect(260, 160);
  EXPECT_EQ(box().Surface().MousePointer(), MousePointerHourglass);
}

TEST_F(RectDragTest, HoverDoesNothingUnlessEditableInAreaSelection) {
  box().put_RectIsEditable(false);
  box().HoverRect(100, 70);
  EXPECT_EQ(box().Runtime().RectHitZone, 0);
  box().put_RectIsEditable(true);
  box().put_MouseMode(MouseModeAutoZoom);
  box().HoverRect(100, 70);
  EXPECT_EQ(box().Runtime().RectHitZone, 0);
  EXPECT_EQ(box().Surface().MousePointer(), MousePointerCross);
}

// On a rectangle 6 pixels wide a point can be near every edge: the
// top-left corner comes first.
TEST_F(RectDragTest, FirstMatchingPartWins) {
  box().SetRectValuesObject(100, 70, 6, 6);
  box().HoverRect(103, 73);
  EXPECT_EQ(box().Runtime().RectHitZone, 1);
  box().HoverRect(106, 73);  // off the left edge's reach: right and top
  EXPECT_EQ(box().Runtime().RectHitZone, 2);
}

TEST_F(RectDragTest, CornersAndEdgesFollowThePointer) {
  Drag(100, 70, {{90, 60}});  // top-left corner
  EXPECT_EQ(ShapeOf(), (Shape{90, 60, 90, 50}));
  Drag(180, 60, {{200, 55}});  // top-right corner
  EXPECT_EQ(ShapeOf(), (Shape{90, 55, 110, 55}));
  Drag(90, 110, {{95, 120}});  // bottom-left corner
  EXPECT_EQ(ShapeOf(), (Shape{95, 55, 105, 65}));
  Drag(200, 120, {{250, 150}});  // bottom-right corner, to the image's own corner
  EXPECT_EQ(ShapeOf(), (Shape{95, 55, 155, 95}));
  Drag(95, 100, {{60, 100}});  // left edge
  Drag(250, 100, {{240, 100}});  // right edge
  Drag(150, 150, {{150, 140}});  // bottom edge
  Drag(150, 55, {{150, 52}});  // top edge
  EXPECT_EQ(ShapeOf(), (Shape{60, 52, 180, 88}));
  std::int32_t l = 0, t = 0, w = 0, h = 0;
  box().GetRectValues(l, t, w, h);
  EXPECT_EQ((std::array{l, t, w, h}), (std::array{10, 2, 180, 88}));
  EXPECT_EQ(box().Runtime().RectCacheWidth, 180);
}

TEST_F(RectDragTest, EdgeCannotCrossTheOppositeOneNorLeaveTheImage) {
  Drag(100, 90, {{130, 90}, {190, 90}});  // the left edge pulled past the right one
  EXPECT_EQ(ShapeOf(), (Shape{130, 70, 50, 40}));
  Drag(180, 110, {{251, 120}, {250, 151}});  // the bottom-right corner past the image
  EXPECT_EQ(ShapeOf(), (Shape{130, 70, 50, 40}));
  Drag(130, 70, {{49, 60}, {60, 49}, {130, 110}});  // past the image's left, its top, and flat
  EXPECT_EQ(ShapeOf(), (Shape{130, 70, 50, 40}));
}

// The body moves by each step of the pointer; a step that would take it off
// the image is not applied, but the next step counts from where the
// pointer went.
TEST_F(RectDragTest, BodyMovesByThePointersStepsWithinTheImage) {
  Drag(140, 90, {{150, 95}});
  EXPECT_EQ(ShapeOf(), (Shape{110, 75, 80, 40}));
  Drag(150, 95, {{400, 95}, {390, 95}});
  EXPECT_EQ(ShapeOf(), (Shape{100, 75, 80, 40}));
  Drag(140, 90, {{140, 40}});
  EXPECT_EQ(ShapeOf(), (Shape{100, 75, 80, 40}));
}

TEST_F(RectDragTest, PressNearAnUneditableRectangleStartsANewOne) {
  box().put_RectIsEditable(false);
  box().PressRect(140, 90);
  EXPECT_FALSE(box().Runtime().RectEditing);
  EXPECT_TRUE(box().Runtime().RectDrawing);
  EXPECT_EQ(ShapeOf(), (Shape{140, 90, 1, 1}));
}

// In auto-zoom mode a press on the rectangle picks it, and the drag leaves
// it as it is.
TEST_F(RectDragTest, AutoZoomPressOnTheRectangleKeepsIt) {
  box().put_MouseMode(MouseModeAutoZoom);
  box().PressRect(140, 90);
  EXPECT_TRUE(box().Runtime().RectEditing);
  EXPECT_FALSE(box().Runtime().RectDrawing);
  box().HoverRect(200, 130);
  box().StretchRect(200, 130);
  EXPECT_EQ(ShapeOf(), (Shape{100, 70, 80, 40}));
}

TEST_F(RectDragTest, PressWithoutAnImageClearsTheRectangle) {
  box().CloseImageEx();
  box().SetRectValuesObject(100, 70, 80, 40);
  box().PressRect(140, 90);
  EXPECT_EQ(ShapeOf(), (Shape{-1, -1, 1, 1}));
  EXPECT_FALSE(box().Runtime().RectDrawing || box().Runtime().RectEditing);
}

}  // namespace
}  // namespace pixavue::testing
