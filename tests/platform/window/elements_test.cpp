#include <pixavue/platform/window/focus_box.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/metrics.h>
#include <pixavue/platform/window/rectangle_shape.h>
#include <pixavue/platform/window/scroll_bar.h>
#include <pixavue/platform/window/timer_element.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "window_test_support.h"

namespace pixavue::platform::testing {
namespace {

class ElementsTest : public VirtualClockTest {
 protected:
  void SetUp() override {
    VirtualClockTest::SetUp();
    control_ = MakeWindow();
  }
  void TearDown() override {
    DestroyWindow(control_);
    VirtualClockTest::TearDown();
  }
  HWND control_ = kNoWindow;
};

struct ChangeRecorder {
  std::vector<ScrollNotification> seen;
  std::vector<std::int16_t> values;
  void Attach(ScrollBar& bar) {
    bar.onChange = [this, &bar](ScrollNotification notification) {
      seen.push_back(notification);
      values.push_back(bar.Value());
    };
  }
};

TEST_F(ElementsTest, ScrollBarValueChangesNotifyOnceAndOnlyWhenTheValueMoves) {
  ScrollBar bar(control_, ScrollBarOrientation::Horizontal);
  ChangeRecorder recorder;
  recorder.Attach(bar);
  bar.SetMax(100);
  EXPECT_TRUE(recorder.seen.empty());  // the value 0 still lies in 0..100

  EXPECT_TRUE(bar.SetValue(40));
  EXPECT_TRUE(bar.SetValue(40));  // the same value: accepted, but nothing to tell
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0], ScrollNotification::Change);

  EXPECT_FALSE(bar.SetValue(101));  // outside the range: refused
  EXPECT_FALSE(bar.SetValue(-1));
  EXPECT_EQ(bar.Value(), 40);

  bar.SetMax(10);  // the value follows the shrinking range
  EXPECT_EQ(bar.Value(), 10);
  EXPECT_EQ(recorder.values.back(), 10);
  EXPECT_EQ(recorder.seen.size(), 2u);
}

TEST_F(ElementsTest, ScrollBarHoldsSixteenBitSignedRangesInEitherOrder) {
  ScrollBar bar(control_, ScrollBarOrientation::Vertical);
  bar.SetMin(std::numeric_limits<std::int16_t>::min());
  bar.SetMax(std::numeric_limits<std::int16_t>::max());
  EXPECT_TRUE(bar.SetValue(-32768));
  EXPECT_TRUE(bar.SetValue(32767));

  bar.SetMin(50);
  bar.SetMax(-50);  // reversed range
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_TRUE(bar.SetValue(-20));
  ASSERT_TRUE(bar.SetSmallChange(5));
  ASSERT_TRUE(bar.ClickArrow(+1));  // towards Max, which is the lower number here
  EXPECT_EQ(bar.Value(), -25);
  EXPECT_FALSE(bar.SetSmallChange(0));
  EXPECT_FALSE(bar.SetLargeChange(-3));
  EXPECT_EQ(bar.SmallChange(), 5);
}

TEST_F(ElementsTest, ScrollBarClicksStepAndStopAtTheEnds) {
  ScrollBar bar(control_, ScrollBarOrientation::Vertical);
  bar.SetMax(100);
  bar.SetSmallChange(7);
  bar.SetLargeChange(50);
  bar.ClickTrack(+1);
  bar.ClickTrack(+1);
  bar.ClickTrack(+1);
  EXPECT_EQ(bar.Value(), 100);
  bar.ClickArrow(-1);
  EXPECT_EQ(bar.Value(), 93);

  bar.SetEnabled(false);  // a disabled bar ignores the user, not the program
  EXPECT_FALSE(bar.ClickArrow(-1));
  EXPECT_EQ(bar.Value(), 93);
  EXPECT_TRUE(bar.SetValue(0));
  bar.SetEnabled(true);
  bar.SetVisible(false);
  EXPECT_FALSE(bar.ClickTrack(+1));
}

TEST_F(ElementsTest, DraggingTheThumbNotifiesEachMoveThenTheChangeOnRelease) {
  ScrollBar bar(control_, ScrollBarOrientation::Horizontal);
  bar.SetMax(200);
  ChangeRecorder recorder;
  recorder.Attach(bar);
  ASSERT_TRUE(bar.BeginThumbDrag());
  bar.DragThumbTo(10);
  bar.DragThumbTo(10);  // no movement, no notification
  bar.DragThumbTo(500);  // past the end: held at Max
  bar.EndThumbDrag();
  const std::vector<ScrollNotification> expected = {ScrollNotification::Scroll, ScrollNotification::Scroll,
                                                    ScrollNotification::Change};
  EXPECT_EQ(recorder.seen, expected);
  EXPECT_EQ(recorder.values, (std::vector<std::int16_t>{10, 200, 200}));
  EXPECT_FALSE(bar.DragThumbTo(5));  // not dragging any more
}

TEST_F(ElementsTest, AKeyOnTheBarIsReportedBeforeTheBarScrolls) {
  ScrollBar bar(control_, ScrollBarOrientation::Vertical);
  bar.SetMax(100);
  bar.SetValue(50);
  std::vector<std::string> order;
  bar.onKeyDown = [&](std::int16_t& key, std::int16_t& shift) {
    order.push_back("key " + std::to_string(key) + " shift " + std::to_string(shift));
  };
  bar.onChange = [&](ScrollNotification) { order.push_back("change " + std::to_string(bar.Value())); };

  SetShiftState(kCtrlMask);
  SendMessage(bar.Window(), WM_KEYDOWN, VK_DOWN, 0);
  SetShiftState(0);
  EXPECT_EQ(order, (std::vector<std::string>{"key 40 shift 2", "change 51"}));

  // A handler that clears the key stops the bar from acting on it.
  bar.onKeyDown = [](std::int16_t& key, std::int16_t&) { key = 0; };
  SendMessage(bar.Window(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(bar.Value(), 51);
}

TEST_F(ElementsTest, BarsAndBoxReportFocusAndStartWithTheStandardThickness) {
  ScrollBar horizontal(control_, ScrollBarOrientation::Horizontal);
  ScrollBar vertical(control_, ScrollBarOrientation::Vertical);
  FocusBox corner(control_);
  EXPECT_EQ(horizontal.Height(), kDefaultScrollBarThickness);
  EXPECT_EQ(vertical.Width(), kDefaultScrollBarThickness);

  std::vector<std::string> events;
  horizontal.onGotFocus = [&] { events.push_back("h got"); };
  horizontal.onLostFocus = [&] { events.push_back("h lost"); };
  corner.onGotFocus = [&] { events.push_back("corner got"); };
  ASSERT_TRUE(horizontal.TakeFocus());
  ASSERT_TRUE(corner.TakeFocus());
  EXPECT_EQ(events, (std::vector<std::string>{"h got", "h lost", "corner got"}));
  EXPECT_TRUE(corner.HasFocus());

  corner.SetVisible(false);
  EXPECT_FALSE(corner.HasFocus());
  EXPECT_FALSE(corner.TakeFocus());

  SetScrollBarThickness(21);
  ScrollBar thicker(control_, ScrollBarOrientation::Vertical);
  EXPECT_EQ(thicker.Width(), 21);
  SetScrollBarThickness(0);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), kDefaultScrollBarThickness);
}

TEST_F(ElementsTest, ElementsSurviveTheirParentBeingDestroyedFirst) {
  const HWND parent = MakeWindow();
  ScrollBar bar(parent, ScrollBarOrientation::Horizontal);
  FocusBox box(parent);
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(bar.Window()));
  bar.SetMax(10);  // still a plain value holder
  EXPECT_TRUE(bar.SetValue(5));
  EXPECT_FALSE(bar.ClickArrow(+1));
  EXPECT_FALSE(box.TakeFocus());
}

TEST_F(ElementsTest, TimerElementTicksWhileEnabledWithAPositiveInterval) {
  TimerElement timer(control_);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  ASSERT_TRUE(timer.SetInterval(1000));
  AdvanceVirtualClock(5000);
  EXPECT_EQ(ticks, 0);  // created disabled

  timer.SetEnabled(true);
  AdvanceVirtualClock(2500);
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(true);  // re-enabling restarts the count
  AdvanceVirtualClock(600);
  EXPECT_EQ(ticks, 2);
  AdvanceVirtualClock(400);
  EXPECT_EQ(ticks, 3);

  timer.SetInterval(0);  // an interval of 0 stops it
  EXPECT_FALSE(timer.IsRunning());
  AdvanceVirtualClock(5000);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.SetInterval(-1));
  EXPECT_FALSE(timer.SetInterval(TimerElement::kMaxInterval + 1));
  EXPECT_EQ(timer.Interval(), 0);
}

TEST_F(ElementsTest, TimerElementStopsWithItsOwnerWindow) {
  const HWND owner = MakeWindow();
  TimerElement timer(owner);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  timer.SetInterval(100);
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.IsRunning());
  DestroyWindow(owner);
  EXPECT_FALSE(timer.IsRunning());
  AdvanceVirtualClock(1000);
  EXPECT_EQ(ticks, 0);
}

TEST_F(ElementsTest, TimerElementWithoutOwnerRunsOnAThreadTimer) {
  TimerElement timer(kNoWindow);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  timer.SetInterval(250);
  timer.SetEnabled(true);
  AdvanceVirtualClock(1000);
  EXPECT_EQ(ticks, 4);
  timer.SetEnabled(false);
  EXPECT_EQ(TimerCount(), 0u);
}

TEST_F(ElementsTest, RectangleShapeValidatesAndReportsChanges) {
  RectangleShape shape;
  int changes = 0;
  shape.onChanged = [&] { ++changes; };
  EXPECT_EQ(shape.DrawMode(), ShapeDrawMode::CopyPen);

  shape.Move(1.5f, 2.5f, 30.25f, 40.75f);
  EXPECT_FLOAT_EQ(shape.Width(), 30.25f);
  EXPECT_EQ(changes, 4);
  shape.Move(1.5f, 2.5f, 30.25f, 40.75f);
  EXPECT_EQ(changes, 4);  // nothing changed, nothing to redraw

  EXPECT_FALSE(shape.SetWidth(-1));
  EXPECT_FALSE(shape.SetHeight(std::nanf("")));
  EXPECT_FALSE(shape.SetBorderStyle(7));
  EXPECT_FALSE(shape.SetDrawMode(0));
  EXPECT_FALSE(shape.SetDrawMode(17));
  EXPECT_FALSE(shape.SetBorderWidth(0));
  EXPECT_EQ(changes, 4);

  EXPECT_TRUE(shape.SetDrawMode(7));
  EXPECT_EQ(shape.DrawMode(), ShapeDrawMode::XorPen);
  EXPECT_TRUE(shape.SetBorderStyle(3));
  EXPECT_EQ(shape.BorderStyle(), ShapeBorderStyle::Dot);
  shape.SetBorderColor(0x0000FF);
  EXPECT_EQ(changes, 7);
}

}  // namespace
}  // namespace pixavue::platform::testing
