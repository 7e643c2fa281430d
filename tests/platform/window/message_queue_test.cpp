#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_test_support.h"

namespace pixavue::platform::testing {
namespace {

using MessageQueueTest = VirtualClockTest;

TEST_F(MessageQueueTest, PostedMessagesWaitForDoEventsAndArriveInOrder) {
  const HWND window = MakeWindow();
  MessageLog().clear();
  ASSERT_TRUE(PostMessage(window, WM_USER + 1, 0, 0));
  ASSERT_TRUE(PostMessage(window, WM_USER + 2, 0, 0));
  EXPECT_TRUE(MessageLog().empty());
  EXPECT_EQ(PendingMessageCount(), 2u);

  DoEvents();
  ASSERT_EQ(MessageLog().size(), 2u);
  EXPECT_EQ(MessageLog()[0].message, WM_USER + 1);
  EXPECT_EQ(MessageLog()[1].message, WM_USER + 2);
  EXPECT_EQ(PendingMessageCount(), 0u);
  DestroyWindow(window);
}

LRESULT ReposterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog().push_back({"reposter", window, message, wParam, lParam});
  if (message == WM_USER) PostMessage(window, WM_USER, wParam + 1, 0);
  return 0;
}

TEST_F(MessageQueueTest, AMessageThatPostsItselfDoesNotHangDoEvents) {
  const HWND window = MakeWindow(kNoWindow, &ReposterProc);
  PostMessage(window, WM_USER, 0, 0);
  DoEvents();
  DoEvents();
  EXPECT_EQ(WhoGot(WM_USER).size(), 2u);
  EXPECT_EQ(PendingMessageCount(), 1u);
  DestroyWindow(window);  // drops the message still queued
  EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(MessageQueueTest, MessagesForADestroyedWindowAreDropped) {
  const HWND window = MakeWindow();
  PostMessage(window, WM_USER, 0, 0);
  DestroyWindow(window);
  MessageLog().clear();
  DoEvents();
  EXPECT_TRUE(MessageLog().empty());
}

TEST_F(MessageQueueTest, InvalidationsCoalesceIntoOnePaint) {
  const HWND window = MakeWindow();
  MessageLog().clear();
  InvalidateRect(window, nullptr, true);
  InvalidateRect(window, nullptr, true);
  DoEvents();
  EXPECT_EQ(WhoGot(WM_PAINT).size(), 1u);

  InvalidateRect(window, nullptr, true);
  UpdateWindow(window);  // paints now, and the queued paint is gone
  DoEvents();
  EXPECT_EQ(WhoGot(WM_PAINT).size(), 2u);
  DestroyWindow(window);
}

std::vector<std::string>& Fired() {
  static std::vector<std::string> fired;
  return fired;
}

void RecordTimer(HWND, UINT message, UINT_PTR id, DWORD time) {
  EXPECT_EQ(message, WM_TIMER);
  Fired().push_back(std::to_string(id) + "@" + std::to_string(time));
}

TEST_F(MessageQueueTest, VirtualTimeMovesOnlyWhenAdvanced) {
  Fired().clear();
  const HWND window = MakeWindow();
  const std::int64_t start = CurrentTimeMs();
  SetTimer(window, 1, 100, &RecordTimer);
  DoEvents();
  EXPECT_TRUE(Fired().empty());
  EXPECT_EQ(MillisecondsUntilNextTimer(), 100);

  ASSERT_TRUE(AdvanceVirtualClock(99));
  EXPECT_TRUE(Fired().empty());
  ASSERT_TRUE(AdvanceVirtualClock(1));
  ASSERT_EQ(Fired().size(), 1u);
  EXPECT_EQ(Fired()[0], "1@" + std::to_string(start + 100));
  EXPECT_EQ(CurrentTimeMs(), start + 100);
  DestroyWindow(window);
}

TEST_F(MessageQueueTest, DueTimersFireInTimeOrderAndRepeatUntilKilled) {
  Fired().clear();
  const HWND window = MakeWindow();
  const std::int64_t start = CurrentTimeMs();
  SetTimer(window, 30, 30, &RecordTimer);
  SetTimer(window, 20, 20, &RecordTimer);
  SetTimer(window, 60, 60, &RecordTimer);

  AdvanceVirtualClock(60);
  const auto at = [start](int id, int offset) { return std::to_string(id) + "@" + std::to_string(start + offset); };
  // At 60 three timers are due; they fire in the order they were (re)scheduled.
  const std::vector<std::string> expected = {at(20, 20), at(30, 30), at(20, 40), at(60, 60), at(30, 60), at(20, 60)};
  EXPECT_EQ(Fired(), expected);

  EXPECT_TRUE(KillTimer(window, 20));
  EXPECT_FALSE(KillTimer(window, 20));
  Fired().clear();
  AdvanceVirtualClock(30);
  EXPECT_EQ(Fired(), std::vector<std::string>{at(30, 90)});
  DestroyWindow(window);  // kills the others
  EXPECT_EQ(TimerCount(), 0u);
}

TEST_F(MessageQueueTest, SettingAnExistingTimerRestartsItAndZeroIntervalIsClamped) {
  Fired().clear();
  const HWND window = MakeWindow();
  EXPECT_EQ(SetTimer(window, 5, 100, &RecordTimer), 5u);
  AdvanceVirtualClock(60);
  EXPECT_EQ(SetTimer(window, 5, 100, &RecordTimer), 5u);  // restart: due 100 ms from now
  EXPECT_EQ(TimerCount(), 1u);
  AdvanceVirtualClock(60);
  EXPECT_TRUE(Fired().empty());
  AdvanceVirtualClock(40);
  EXPECT_EQ(Fired().size(), 1u);

  Fired().clear();
  SetTimer(window, 5, 0, &RecordTimer);
  AdvanceVirtualClock(100);
  EXPECT_EQ(Fired().size(), 100u / USER_TIMER_MINIMUM);
  DestroyWindow(window);
}

TEST_F(MessageQueueTest, TimerWithoutProcedureSendsWmTimerToItsWindow) {
  const HWND window = MakeWindow();
  MessageLog().clear();
  SetTimer(window, 77, 50, nullptr);
  AdvanceVirtualClock(100);
  ASSERT_EQ(WhoGot(WM_TIMER).size(), 2u);
  EXPECT_EQ(MessageLog()[0].wParam, 77u);
  DestroyWindow(window);
}

TEST_F(MessageQueueTest, TimersNeedALiveWindowOrGetTheirOwnIdentifiers) {
  const HWND window = MakeWindow();
  DestroyWindow(window);
  EXPECT_EQ(SetTimer(window, 1, 10, &RecordTimer), 0u);

  const UINT_PTR first = SetTimer(kNoWindow, 0, 10, &RecordTimer);
  const UINT_PTR second = SetTimer(kNoWindow, 0, 10, &RecordTimer);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(SetTimer(kNoWindow, first, 20, &RecordTimer), first);  // restarts, no new timer
  EXPECT_EQ(TimerCount(), 2u);
  EXPECT_TRUE(KillTimer(kNoWindow, first));
  EXPECT_TRUE(KillTimer(kNoWindow, second));
}

int g_oneShotCount = 0;
void OneShot(HWND window, UINT, UINT_PTR id, DWORD) {
  ++g_oneShotCount;
  KillTimer(window, id);
}

TEST_F(MessageQueueTest, ATimerMayKillItselfFromItsCallback) {
  g_oneShotCount = 0;
  const HWND window = MakeWindow();
  SetTimer(window, 9, 25, &OneShot);
  AdvanceVirtualClock(1000);
  EXPECT_EQ(g_oneShotCount, 1);
  EXPECT_EQ(TimerCount(), 0u);
  DestroyWindow(window);
}

TEST_F(MessageQueueTest, MessagesPostedByATimerAreDispatchedBeforeTheNextTimer) {
  const HWND window = MakeWindow();
  static HWND target;
  target = window;
  MessageLog().clear();
  SetTimerCallback(window, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) { PostMessage(target, WM_USER, 0, 0); });
  SetTimerCallback(window, 2, 15, [](HWND, UINT, UINT_PTR, DWORD) { SendMessage(target, WM_USER + 1, 0, 0); });
  AdvanceVirtualClock(15);
  ASSERT_EQ(MessageLog().size(), 2u);
  EXPECT_EQ(MessageLog()[0].message, WM_USER);      // posted at 10, dispatched at 10
  EXPECT_EQ(MessageLog()[1].message, WM_USER + 1);  // the second timer at 15
  DestroyWindow(window);
}

TEST_F(MessageQueueTest, SwitchingClocksKeepsTheRemainingTime) {
  const HWND window = MakeWindow();
  SetTimer(window, 1, 500, &RecordTimer);
  AdvanceVirtualClock(200);
  UseRealClock();
  const auto remaining = MillisecondsUntilNextTimer();
  ASSERT_TRUE(remaining.has_value());
  EXPECT_LE(*remaining, 300);
  EXPECT_GE(*remaining, 250);  // generous: only this thread's own work may pass meanwhile
  EXPECT_FALSE(AdvanceVirtualClock(10));
  UseVirtualClock();
  DestroyWindow(window);
}

}  // namespace
}  // namespace pixavue::platform::testing

namespace pixavue::platform::testing {
namespace {

// On the real clock, DoEvents fires a timer once its interval has passed.
// The wait is bounded so that a broken clock fails instead of hanging.
TEST(RealClockTest, DoEventsFiresATimerOnceItIsDue) {
  ASSERT_FALSE(IsVirtualClock());
  static int ticks;
  ticks = 0;
  const UINT_PTR id = SetTimer(kNoWindow, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  const std::int64_t start = CurrentTimeMs();
  while (ticks == 0 && CurrentTimeMs() - start < 5000) DoEvents();
  EXPECT_EQ(ticks, 1);
  EXPECT_GE(CurrentTimeMs() - start, static_cast<std::int64_t>(USER_TIMER_MINIMUM));
  KillTimer(kNoWindow, id);
}

}  // namespace
}  // namespace pixavue::platform::testing
