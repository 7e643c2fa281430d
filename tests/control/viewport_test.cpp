// The viewport: zoom modes, placement and alignment, scroll ranges and bars,
// MaxZoom, the zoom and scroll members and the coordinate maps.

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/ole/memory_property_bag.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/metrics.h>

#include <cmath>

#include "control_test_support.h"

namespace pixavue::testing {
namespace {

using platform::GpImage;

class ViewportTest : public ControlTest {
 protected:
  void TearDown() override {
    control_.reset();
    platform::SetScrollBarThickness(0);
  }

  // A shown control of the given size whose bars are `thickness` thick.
  ImageBox& MakeControl(int width, int height, int thickness = platform::kDefaultScrollBarThickness) {
    platform::SetScrollBarThickness(thickness);
    control_ = NewControl();
    control_->Resize(width, height);
    return box();
  }

  ImageBox& box() { return control_->Control(); }

  // Shows a new width x height bitmap with the given resolutions.
  void ShowImage(int width, int height, float horizontalDpi = 96, float verticalDpi = 96) {
    GpImage* bitmap = nullptr;
    ASSERT_EQ(platform::GdipCreateBitmapFromScan0(width, height, 0, platform::PixelFormat24bppRGB, nullptr, &bitmap),
              platform::Ok);
    ASSERT_EQ(platform::GdipBitmapSetResolution(bitmap, horizontalDpi, verticalDpi), platform::Ok);
    engine::ImageId id = engine::kNoImage;
    engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
    ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  }

  void ExpectPlaced(int left, int top, int width, int height) {
    EXPECT_EQ(box().GetImageLeft(), left);
    EXPECT_EQ(box().GetImageTop(), top);
    EXPECT_EQ(box().Runtime().DisplayedWidth, width);
    EXPECT_EQ(box().Runtime().DisplayedHeight, height);
  }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(ViewportTest, SmallImageFitsAndSitsWhereImagePositionSays) {
  MakeControl(400, 300);
  box().put_ZoomMode(ZoomFitToControl);
  ShowImage(100, 100);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 3.0);  // the height limits a square image in a wide view
  ExpectPlaced(50, 0, 300, 300);
  EXPECT_FALSE(box().get_HScrollVisible());
  EXPECT_FALSE(box().get_VScrollVisible());

  box().SetZoom100();
  const struct {
    ViewerImagePosition position;
    int left, top;
  } places[] = {{ImagePositionMiddleCenter, 150, 100}, {ImagePositionTopLeft, 0, 0},
                {ImagePositionBottomRight, 300, 200}, {ImagePositionMiddleLeft, 0, 100},
                {ImagePositionBottomCenter, 150, 200}, {static_cast<ViewerImagePosition>(3), 150, 200}};
  for (const auto& place : places) {
    box().put_ImagePosition(place.position);
    ExpectPlaced(place.left, place.top, 100, 100);  // 3 names no place: the offsets stay
  }
}

TEST_F(ViewportTest, LargeImageScrollsToItsAlignmentWithHalvesToEven) {
  const struct {
    int thickness;
    std::int16_t hMax, vMax;
  } cases[] = {{16, 616, 716}, {17, 617, 717}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.thickness);
    MakeControl(400, 300, c.thickness);
    ShowImage(1000, 1000);
    EXPECT_EQ(box().GetHScrollBarMaxPosition(), c.hMax);
    EXPECT_EQ(box().GetVScrollBarMaxPosition(), c.vMax);
    // 616 / 2 = 308 and 716 / 2 = 358; 308.5 and 358.5 round to the even 308 and 358.
    EXPECT_EQ(box().GetHScrollBarPosition(), 308);
    EXPECT_EQ(box().GetVScrollBarPosition(), 358);
    ExpectPlaced(-308, -358, 1000, 1000);
    EXPECT_TRUE(box().get_HScrollVisible());
    EXPECT_TRUE(box().get_VScrollVisible());
    EXPECT_TRUE(box().shCorner().Visible());
    EXPECT_EQ(box().HScroll().Width(), 400 - c.thickness);
    EXPECT_EQ(box().VScroll().Height(), 300 - c.thickness);
  }

  box().put_ImageAlignment(ImageAlignmentBottomRight);
  EXPECT_EQ(box().GetHScrollBarPosition(), 617);
  EXPECT_EQ(box().GetVScrollBarPosition(), 717);
  box().put_ImageAlignment(ImageAlignmentTopLeft);
  ExpectPlaced(0, 0, 1000, 1000);
}

TEST_F(ViewportTest, ZoomModesThatFitOneSide) {
  const struct {
    ViewerZoomMode mode;
    int imageWidth, imageHeight;
    double zoom;
    int displayedWidth, displayedHeight;
  } cases[] = {
      {ZoomWidthControl, 200, 100, 2.0, 400, 200},
      // The fitted width would need a vertical bar: fit the width beside it.
      {ZoomWidthControl, 100, 400, 3.83, 383, 1532},
      {ZoomHeightControl, 100, 200, 1.5, 150, 300},
      // The fitted height would need a horizontal bar: fit the height above it.
      {ZoomHeightControl, 400, 100, 2.83, 1132, 283},
      // Stretched to the view; the zoom follows the height.
      {ZoomToControl, 100, 100, 3.0, 400, 300},
      {ZoomFitToControl, 800, 200, 0.5, 400, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    MakeControl(400, 300);
    box().put_ZoomMode(c.mode);
    ShowImage(c.imageWidth, c.imageHeight);
    EXPECT_NEAR(box().get_ZOOM(), c.zoom, 1e-12);
    EXPECT_EQ(box().Runtime().DisplayedWidth, c.displayedWidth);
    EXPECT_EQ(box().Runtime().DisplayedHeight, c.displayedHeight);
    EXPECT_EQ(box().get_ZoomMode(), c.mode);
  }
}

TEST_F(ViewportTest, ZoomStepsStayWithinMaxZoomAndAboveZero) {
  MakeControl(400, 300);
  EXPECT_EQ(box().ZoomIN(), QuorvexStatus::OK);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.0);  // no image: nothing to zoom
  ShowImage(100, 100);
  box().ZoomIN();
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.1);
  EXPECT_EQ(box().get_ZoomMode(), ZoomCustom);
  EXPECT_EQ(box().Runtime().DisplayedWidth, 110);

  box().SetZoom(10);
  box().ZoomOUT();  // 0.1 - 0.1 is not above 0.001
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 0.1);
  box().SetZoom(0);
  box().SetZoom(-50);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 0.1);

  box().put_ZoomStep(0);
  EXPECT_EQ(box().get_ZoomStep(), 10);
}

TEST_F(ViewportTest, MaxZoomHoldsBackAVeryWidePicture) {
  MakeControl(400, 300);
  ShowImage(30000, 10);
  const double maxZoom = (400 + 32765 - 17) / 30000.0;
  EXPECT_DOUBLE_EQ(box().GetMaxZoom(), maxZoom);
  box().ZoomIN();
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.1);
  box().ZoomIN();  // 1.2 is beyond MaxZoom
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.1);
  box().SetZoom(200);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.1);
  box().put_ZOOM(5.0);  // the property clamps instead of refusing
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), maxZoom);
  EXPECT_LE(box().Runtime().DisplayedWidth, 32765 + 400);
  EXPECT_EQ(box().GetHScrollBarMaxPosition(), box().Runtime().DisplayedWidth - 400);  // no vertical bar
  EXPECT_GT(box().GetHScrollBarMaxPosition(), 32000);
}

// The height comes from the exact zoomed size, not from the rounded width:
// a thin image would otherwise be drawn far taller than it is.
TEST_F(ViewportTest, DisplayedHeightComesFromTheExactZoomedSize) {
  MakeControl(400, 300);
  box().put_ZoomMode(ZoomFitToControl);
  ShowImage(20, 10000);  // 0.6 pixels wide at zoom 0.03
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 0.03);
  ExpectPlaced(200, 0, 1, 300);
  EXPECT_EQ(box().GetVScrollBarMaxPosition(), 0);
  std::int32_t x = -1, y = -1;
  box().CoordObjectToImage(200, 299, x, y);
  EXPECT_EQ(y, 9967);  // the view's last row lies inside the image

  box().put_ZoomMode(ZoomCustom);
  const struct {
    int width, height;
    float verticalDpi;  // against 96 across
    float percent;
    int displayedWidth, displayedHeight;
  } cases[] = {
      {3, 100, 96, 50, 2, 50},    // the width's 1.5 rounds up; the height does not follow it
      {3, 101, 96, 50, 2, 50},    // 50.5 rounds to the even 50
      {3, 103, 96, 50, 2, 52},    // 51.5 rounds to the even 52
      {3, 100, 48, 50, 2, 100},   // PixelAspect 0.5 doubles the height
      {100, 100, 96, 110, 110, 110},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    ShowImage(c.width, c.height, 96, c.verticalDpi);
    box().SetZoom(c.percent);
    EXPECT_EQ(box().Runtime().DisplayedWidth, c.displayedWidth);
    EXPECT_EQ(box().Runtime().DisplayedHeight, c.displayedHeight);
  }
}

// MaxZoom holds back whichever axis would first pass a 16-bit range, so at
// MaxZoom the last rows and columns can still be scrolled to.
TEST_F(ViewportTest, MaxZoomKeepsEveryPixelWithinTheBarsReach) {
  const struct {
    int controlWidth, controlHeight, imageWidth, imageHeight;
    double maxZoom;
    int displayedWidth, displayedHeight;
  } cases[] = {
      {400, 300, 10, 20000, (300 + 32765 - 17) / 20000.0, 17, 33048},
      {100, 500, 300, 300, (100 + 32765 - 17) / 300.0, 32848, 32848},  // a square image held by its width
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.imageWidth);
    MakeControl(c.controlWidth, c.controlHeight);
    ShowImage(c.imageWidth, c.imageHeight);
    box().put_ZOOM(1000.0);
    EXPECT_DOUBLE_EQ(box().GetMaxZoom(), c.maxZoom);
    EXPECT_DOUBLE_EQ(box().get_ZOOM(), c.maxZoom);
    ExpectPlaced(box().GetImageLeft(), box().GetImageTop(), c.displayedWidth, c.displayedHeight);
    const int viewWidth = c.controlWidth - (box().get_VScrollVisible() ? 17 : 0);
    const int viewHeight = c.controlHeight - (box().get_HScrollVisible() ? 17 : 0);
    EXPECT_GE(box().GetHScrollBarMaxPosition() + viewWidth, c.displayedWidth);
    EXPECT_GE(box().GetVScrollBarMaxPosition() + viewHeight, c.displayedHeight);
    EXPECT_LT(box().GetVScrollBarMaxPosition(), 32767);
  }

  // A smaller control lowers the limit, and the layout of the resize
  // already zooms within it.
  MakeControl(700, 300);
  ShowImage(30000, 10);
  box().put_ZOOM(1000.0);
  control_->Resize(100, 300);
  const double maxZoom = (100 + 32765 - 17) / 30000.0;
  EXPECT_DOUBLE_EQ(box().GetMaxZoom(), maxZoom);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), maxZoom);
  EXPECT_EQ(box().Runtime().DisplayedWidth, 32848);
  EXPECT_EQ(box().GetHScrollBarMaxPosition(), 32848 - 100);
}

// A bar that shows narrows the view across it; the other axis then scrolls
// too when the image no longer fits, so its last rows or columns can be seen.
TEST_F(ViewportTest, EveryPixelIsReachableWhenOneBarNarrowsTheOtherAxis) {
  const struct {
    const char* name;
    int imageWidth, imageHeight;
    bool force, scrollBars;
    std::int16_t hMax, vMax;
  } cases[] = {
      {"wide, 7 rows under the bar", 1000, 290, false, true, 617, 7},
      {"tall, 7 columns beside the bar", 390, 1000, false, true, 7, 717},
      {"wide, fits above the bar", 1000, 283, false, true, 600, 0},
      {"tall, fits beside the bar", 383, 1000, false, true, 0, 700},
      {"both fit", 400, 300, false, true, 0, 0},
      {"forced bars narrow the view", 390, 100, true, true, 7, 0},
      {"forced bars, both axes", 390, 290, true, true, 7, 7},
      {"no bars take room", 1000, 290, false, false, 600, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MakeControl(400, 300);
    box().put_ScrollBars(c.scrollBars);
    box().put_ForceScrollBars(c.force);
    box().put_ImageAlignment(ImageAlignmentTopLeft);
    ShowImage(c.imageWidth, c.imageHeight);
    EXPECT_EQ(box().GetHScrollBarMaxPosition(), c.hMax);
    EXPECT_EQ(box().GetVScrollBarMaxPosition(), c.vMax);
    EXPECT_EQ(box().get_HScrollVisible(), c.scrollBars && (c.force || c.hMax > 0));
    EXPECT_EQ(box().get_VScrollVisible(), c.scrollBars && (c.force || c.vMax > 0));
    EXPECT_EQ(box().shCorner().Visible(), box().get_HScrollVisible() && box().get_VScrollVisible());

    // Scrolled to the far corner, the image's last pixel is the view's last.
    box().SetHVScrollBarPosition(c.hMax, c.vMax);
    const int viewWidth = 400 - (box().get_VScrollVisible() ? 17 : 0);
    const int viewHeight = 300 - (box().get_HScrollVisible() ? 17 : 0);
    std::int32_t x = -1, y = -1;
    box().CoordObjectToImage(viewWidth - 1, viewHeight - 1, x, y);
    EXPECT_GE(x, c.imageWidth - 1);
    EXPECT_GE(y, c.imageHeight - 1);
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    box().GetDisplayedArea(left, top, width, height);
    EXPECT_GE(left + width, c.imageWidth);
    EXPECT_GE(top + height, c.imageHeight);
  }
}

// A refused argument leaves its status for GetStat but does not stop later
// layouts and renders; an image whose adoption failed still draws nothing.
TEST_F(ViewportTest, ARefusedArgumentDoesNotFreezeTheView) {
  MakeControl(400, 300);
  ShowImage(1000, 1000);
  auto& events = control_->Events();
  ASSERT_EQ(box().ZoomArea(0, 0, 0, 10), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::InvalidParameter);

  std::size_t displays = events.Count(ImageBoxDispid::Display);
  EXPECT_EQ(box().SetZoom(200), QuorvexStatus::OK);
  ExpectPlaced(-808, -858, 2000, 2000);  // the fractions 308 / 617 and 358 / 717 kept
  EXPECT_EQ(events.Count(ImageBoxDispid::Display), ++displays);

  ASSERT_EQ(box().ZoomArea(0, 0, 10, -1), QuorvexStatus::InvalidParameter);
  box().SetHScrollBarPosition(100);
  EXPECT_EQ(box().GetImageLeft(), -100);
  EXPECT_EQ(events.Count(ImageBoxDispid::Display), ++displays);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);

  ASSERT_EQ(box().ZoomArea(0, 0, -5, 0), QuorvexStatus::InvalidParameter);
  control_->Resize(600, 500);
  EXPECT_EQ(box().GetHScrollBarMaxPosition(), 2000 - 600 + 17);
  EXPECT_EQ(events.Count(ImageBoxDispid::Display), ++displays);

  ASSERT_EQ(box().ZoomArea(0, 0, 0, 0), QuorvexStatus::InvalidParameter);
  box().put_ImagePosition(ImagePositionTopLeft);  // adopts the image again
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
  EXPECT_EQ(events.Count(ImageBoxDispid::Display), ++displays);
  ASSERT_EQ(box().ZoomArea(0, 0, 250, 100), QuorvexStatus::OK);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 600 / 250.0);  // the width limits

  // An identifier the engine does not know cannot be measured: nothing to
  // lay out or draw, however the view is asked.
  box().put_SilentMode(true);
  ASSERT_EQ(box().SetNativeImage(12345), QuorvexStatus::InvalidParameter);
  displays = events.Count(ImageBoxDispid::Display);
  box().put_ZOOM(2.0);
  box().SetHScrollBarPosition(10);
  control_->Resize(300, 200);
  EXPECT_EQ(box().Redraw(), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(events.Count(ImageBoxDispid::Display), displays);
  EXPECT_EQ(box().Runtime().DisplayedWidth, 0);
}

TEST_F(ViewportTest, FitModeIsLaidOutOnceAndFollowsResizes) {
  MakeControl(400, 300);
  ShowImage(100, 100);
  const std::size_t displays = control_->Events().Count(ImageBoxDispid::Display);
  box().SetZoomFitControl();
  box().SetZoomFitControl();
  EXPECT_EQ(control_->Events().Count(ImageBoxDispid::Display), displays + 1);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 3.0);
  control_->Resize(200, 300);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 2.0);
  ExpectPlaced(0, 50, 200, 200);
}

TEST_F(ViewportTest, NonSquarePixelsStretchVertically) {
  MakeControl(400, 300);
  box().put_ImagePosition(ImagePositionTopLeft);
  ShowImage(100, 100, 200, 100);  // PixelAspect 0.5
  ExpectPlaced(0, 0, 100, 200);
  std::int32_t x = -1, y = -1;
  box().CoordImageToObject(0, 50, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 100);
  box().CoordObjectToImage(30, 100, x, y);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 50);
  box().CoordObjectToImage(5, 5, x, y);  // 2.5 rounds to the even 2
  EXPECT_EQ(y, 2);
}

// Only a stored property bag can give the control a zoom that is not a
// positive number; a layout then shows the image at 1:1.
TEST_F(ViewportTest, StoredZoomThatIsNotPositive) {
  for (const double stored : {0.0, -2.0, std::nan("")}) {
    SCOPED_TRACE(stored);
    platform::MemoryPropertyBag bag;
    bag.Write("Zoom", platform::Variant::FromDouble(stored));
    bag.Write("ZoomMode", platform::Variant::FromInt32(ZoomCustom));
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->Load(bag);
    std::int32_t x = 7, y = 9;
    box().CoordObjectToImage(100, 100, x, y);
    if (stored == 0.0) {
      EXPECT_EQ(x, 7);  // no zoom: the outputs are left alone
      EXPECT_EQ(y, 9);
    }
    control_->Show();
    control_->Resize(400, 300);
    ShowImage(100, 50);
    EXPECT_DOUBLE_EQ(box().get_ZOOM(), 1.0);
    ExpectPlaced(150, 125, 100, 50);
  }
}

TEST_F(ViewportTest, ScrollPositionsMoveTheImageAndRaiseScrollControl) {
  MakeControl(400, 300);
  ShowImage(1000, 1000);
  auto& events = control_->Events();
  const std::size_t scrolls = events.Count(ImageBoxDispid::ScrollControl);
  box().SetHScrollBarPosition(5000);  // clamped to the range
  EXPECT_EQ(box().GetHScrollBarPosition(), 617);
  EXPECT_EQ(box().GetImageLeft(), -617);
  EXPECT_FALSE(box().Runtime().AlignPendingX);
  box().SetVScrollBarPosition(-3);
  EXPECT_EQ(box().GetImageTop(), 0);
  EXPECT_EQ(events.Count(ImageBoxDispid::ScrollControl), scrolls + 2);

  // Both bars change: one event each, then one for the pair.
  box().SetHVScrollBarPosition(100, 200);
  ExpectPlaced(-100, -200, 1000, 1000);
  EXPECT_EQ(events.Count(ImageBoxDispid::ScrollControl), scrolls + 5);
  EXPECT_FALSE(box().get_LockControl());

  // The scroll fractions survive a zoom change.
  box().SetZoom(200);
  EXPECT_EQ(box().GetHScrollBarPosition(), 262);  // 1617 * 100 / 617 = 262.07
  EXPECT_EQ(box().GetVScrollBarPosition(), 479);  // 1717 * 200 / 717 = 478.94
}

TEST_F(ViewportTest, KeysOnAScrollBarAreUndone) {
  MakeControl(400, 300);
  ShowImage(1000, 1000);
  const platform::HWND bar = box().HScroll().Window();
  const std::size_t scrolls = control_->Events().Count(ImageBoxDispid::ScrollControl);
  host_.Focus(bar);
  host_.KeyDown(platform::VK_RIGHT, 0, bar);
  EXPECT_EQ(box().GetHScrollBarPosition(), 308);
  EXPECT_EQ(box().GetImageLeft(), -308);
  EXPECT_EQ(control_->Events().Count(ImageBoxDispid::ScrollControl), scrolls);
  EXPECT_FALSE(box().Runtime().ScrollKeyPending);
}

TEST_F(ViewportTest, ZoomAreaShowsTheAreaAtTheTopLeft) {
  MakeControl(400, 300);
  ShowImage(1000, 1000);
  EXPECT_EQ(box().ZoomArea(0, 0, 0, 10), QuorvexStatus::InvalidParameter);
  box().ImageClosed();  // forget the status, keep nothing else
  ShowImage(1000, 1000);
  ASSERT_EQ(box().ZoomArea(200, 100, 200, 100), QuorvexStatus::OK);
  EXPECT_DOUBLE_EQ(box().get_ZOOM(), 2.0);  // the width limits: 400 / 200
  EXPECT_EQ(box().get_ZoomMode(), ZoomCustom);
  ExpectPlaced(-400, -200, 2000, 2000);
  EXPECT_EQ(box().GetHScrollBarPosition(), 400);
  EXPECT_EQ(box().GetVScrollBarPosition(), 200);
}

TEST_F(ViewportTest, BarsFollowScrollBarsAndForceScrollBars) {
  MakeControl(400, 300);
  ShowImage(1000, 100);
  EXPECT_TRUE(box().get_HScrollVisible());
  EXPECT_FALSE(box().get_VScrollVisible());
  EXPECT_EQ(box().GetHScrollBarMaxPosition(), 600);  // no vertical bar takes room
  box().put_ScrollBars(false);
  EXPECT_FALSE(box().get_HScrollVisible());
  box().put_ForceScrollBars(true);
  EXPECT_TRUE(box().get_ScrollBars());
  EXPECT_TRUE(box().get_HScrollVisible());
  EXPECT_TRUE(box().get_VScrollVisible());
  EXPECT_EQ(box().GetHScrollBarMaxPosition(), 617);
  EXPECT_EQ(box().GetImageTop(), 92);  // 183 / 2 = 91.5 rounds to the even 92
}

TEST_F(ViewportTest, KeepImagePositionKeepsTheScrollValuesAcrossLoads) {
  MakeControl(400, 300);
  ShowImage(1000, 1000);
  box().SetHVScrollBarPosition(100, 200);
  box().put_KeepImagePosition(true);
  ShowImage(1000, 1000);
  EXPECT_EQ(box().GetHScrollBarPosition(), 100);
  EXPECT_EQ(box().GetVScrollBarPosition(), 200);
  ExpectPlaced(-100, -200, 1000, 1000);

  box().put_KeepImagePosition(false);
  ShowImage(1000, 1000);
  ExpectPlaced(-308, -358, 1000, 1000);
}

TEST_F(ViewportTest, MeasuresInMillimetres) {
  MakeControl(400, 300);
  ShowImage(254, 508, 100, 200);
  EXPECT_FLOAT_EQ(box().GetWidthMM(), 64.516f);
  EXPECT_FLOAT_EQ(box().GetHeightMM(), 64.516f);
  float left = -1, top = -1, width = -1, height = -1;
  box().GetDisplayedAreaMM(left, top, width, height);
  std::int32_t l = 0, t = 0, w = 0, h = 0;
  box().GetDisplayedArea(l, t, w, h);
  EXPECT_FLOAT_EQ(width, static_cast<float>(w * 25.4 / 100));
  EXPECT_FLOAT_EQ(height, static_cast<float>(h * 25.4 / 200));
}

}  // namespace
}  // namespace pixavue::testing
