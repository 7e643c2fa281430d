#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "window_test_support.h"

namespace pixavue::platform::testing {
namespace {

using WindowTest = VirtualClockTest;

// A subclass procedure in the way a control hooks its window: it keeps the
// previous procedure per window and chains to it.
std::map<std::int32_t, WNDPROC>& SavedProcs() {
  static std::map<std::int32_t, WNDPROC> saved;
  return saved;
}

LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog().push_back({"hook", window, message, wParam, lParam});
  const WNDPROC saved = SavedProcs()[HandleValue(window)];
  return CallWindowProc(saved, window, message, wParam, lParam) + 1000;
}

TEST_F(WindowTest, ReplacingTheProcedureReturnsThePreviousOneWhichCanBeChained) {
  const HWND window = MakeWindow();
  const LONG_PTR previous = SetWindowLong(window, GWL_WNDPROC, ProcToLongPtr(&HookProc));
  ASSERT_EQ(LongPtrToProc(previous), &LoggingProc);
  SavedProcs()[HandleValue(window)] = LongPtrToProc(previous);
  MessageLog().clear();

  EXPECT_EQ(SendMessage(window, WM_USER, 1, 2), static_cast<LRESULT>(WM_USER) + 1000);
  ASSERT_EQ(MessageLog().size(), 2u);
  EXPECT_EQ(MessageLog()[0].who, "hook");
  EXPECT_EQ(MessageLog()[1].who, "base");
  EXPECT_EQ(MessageLog()[1].wParam, 1u);
  EXPECT_EQ(MessageLog()[1].lParam, 2);

  // Restoring hands back the hook, and messages reach the original procedure alone.
  EXPECT_EQ(SubclassWindow(window, LongPtrToProc(previous)), &HookProc);
  MessageLog().clear();
  EXPECT_EQ(SendMessage(window, WM_USER, 0, 0), static_cast<LRESULT>(WM_USER));
  EXPECT_EQ(WhoGot(WM_USER), std::vector<std::string>{"base"});
  DestroyWindow(window);
}

TEST_F(WindowTest, DestroyingAHookedWindowDeliversNcDestroyThroughTheChain) {
  const HWND window = MakeWindow();
  SavedProcs()[HandleValue(window)] = SubclassWindow(window, &HookProc);
  MessageLog().clear();

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(WhoGot(WM_DESTROY), (std::vector<std::string>{"hook", "base"}));
  EXPECT_EQ(WhoGot(WM_NCDESTROY), (std::vector<std::string>{"hook", "base"}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(WindowTest, ChildrenAreDestroyedBetweenTheParentsDestroyAndNcDestroy) {
  const HWND parent = MakeWindow();
  const HWND child = MakeWindow(parent);
  const HWND grandchild = MakeWindow(child);
  MessageLog().clear();

  DestroyWindow(parent);
  std::vector<std::pair<HWND, UINT>> order;
  for (const auto& entry : MessageLog()) {
    if (entry.message == WM_DESTROY || entry.message == WM_NCDESTROY) order.emplace_back(entry.window, entry.message);
  }
  const std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_DESTROY},       {child, WM_DESTROY},    {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY},  {parent, WM_NCDESTROY},
  };
  EXPECT_EQ(order, expected);
  EXPECT_EQ(WindowCount(), 0u);
}

std::vector<std::pair<HWND, bool>>& DestroyedWindows() {
  static std::vector<std::pair<HWND, bool>> destroyed;
  return destroyed;
}

void RecordDestroyed(HWND window) { DestroyedWindows().emplace_back(window, IsWindow(window)); }

TEST_F(WindowTest, DestroyObserversHearOfEachWindowOnceItIsGone) {
  AddWindowDestroyObserver(&RecordDestroyed);
  AddWindowDestroyObserver(&RecordDestroyed);  // a second add changes nothing
  const HWND parent = MakeWindow();
  const HWND child = MakeWindow(parent);
  DestroyedWindows().clear();

  DestroyWindow(parent);
  const std::vector<std::pair<HWND, bool>> expected = {{child, false}, {parent, false}};
  EXPECT_EQ(DestroyedWindows(), expected);
}

LRESULT SelfDestroyingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog().push_back({"self", window, message, wParam, lParam});
  if (message == WM_CLOSE) DestroyWindow(window);
  return 7;
}

TEST_F(WindowTest, AProcedureMayDestroyItsOwnWindow) {
  const HWND window = MakeWindow(kNoWindow, &SelfDestroyingProc);
  EXPECT_EQ(SendMessage(window, WM_CLOSE, 0, 0), 7);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MessageLog().back().message, WM_NCDESTROY);
}

TEST_F(WindowTest, UnknownHandlesAreRejected) {
  const HWND made = MakeWindow();
  DestroyWindow(made);
  for (const HWND bogus : {kNoWindow, made, HWND{12345}, HWND{-7}}) {
    EXPECT_FALSE(IsWindow(bogus));
    EXPECT_EQ(SendMessage(bogus, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessage(bogus, WM_USER, 0, 0));
    EXPECT_EQ(SetWindowLongPtr(bogus, GWL_WNDPROC, ProcToLongPtr(&HookProc)), 0);
    EXPECT_EQ(GetWindowLongPtr(bogus, GWLP_USERDATA), 0);
    EXPECT_FALSE(EnableWindow(bogus, false));
    EXPECT_FALSE(MoveWindow(bogus, 0, 0, 1, 1));
    EXPECT_EQ(SetFocus(bogus), kNoWindow);
  }
  WindowCreateInfo orphan;
  orphan.parent = made;  // a parent that is gone
  EXPECT_EQ(CreateWindow(orphan), kNoWindow);
}

TEST_F(WindowTest, WindowsBelongToTheirThread) {
  const HWND mine = MakeWindow();
  HWND theirs = kNoWindow;
  bool mineSeenThere = true;
  std::thread other([&] {
    theirs = MakeWindow();
    mineSeenThere = IsWindow(mine) || SendMessage(mine, WM_USER, 0, 0) != 0 || PostMessage(mine, WM_USER, 0, 0);
    DestroyWindow(theirs);
  });
  other.join();
  EXPECT_FALSE(mineSeenThere);
  EXPECT_NE(theirs, mine);  // handles are unique across threads
  EXPECT_FALSE(IsWindow(theirs));
  DestroyWindow(mine);
}

TEST_F(WindowTest, NullProcedureIsRefusedAndHandlesAreUniquePositiveNumbers) {
  const HWND first = MakeWindow();
  const HWND second = MakeWindow();
  EXPECT_GT(HandleValue(first), 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(SetWindowLongPtr(first, GWL_WNDPROC, 0), 0);
  EXPECT_EQ(GetWindowProc(first), &LoggingProc);
  DestroyWindow(first);
  DestroyWindow(second);
}

LRESULT RefusingCreateProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_CREATE ? -1 : 0; }

TEST_F(WindowTest, CreationRefusedByTheProcedureLeavesNoWindow) {
  EXPECT_EQ(MakeWindow(kNoWindow, &RefusingCreateProc), kNoWindow);
  EXPECT_EQ(WindowCount(), 0u);
}

TEST_F(WindowTest, UserDataIsAvailableDuringCreate) {
  static LONG_PTR seen = 0;
  struct Local {
    static LRESULT Proc(HWND window, UINT message, WPARAM, LPARAM) {
      if (message == WM_CREATE) seen = GetWindowLongPtr(window, GWLP_USERDATA);
      return 0;
    }
  };
  WindowCreateInfo info;
  info.procedure = &Local::Proc;
  info.userData = 4242;
  const HWND window = CreateWindow(info);
  EXPECT_EQ(seen, 4242);
  DestroyWindow(window);
}

TEST_F(WindowTest, FocusMovesWithKillThenSetNotifications) {
  const HWND parent = MakeWindow();
  const HWND first = MakeWindow(parent);
  const HWND second = MakeWindow(parent);
  EXPECT_EQ(SetFocus(first), kNoWindow);
  MessageLog().clear();

  EXPECT_EQ(SetFocus(second), first);
  ASSERT_EQ(MessageLog().size(), 2u);
  EXPECT_EQ(MessageLog()[0].window, first);
  EXPECT_EQ(MessageLog()[0].message, WM_KILLFOCUS);
  EXPECT_EQ(MessageLog()[0].wParam, static_cast<WPARAM>(HandleValue(second)));
  EXPECT_EQ(MessageLog()[1].window, second);
  EXPECT_EQ(MessageLog()[1].message, WM_SETFOCUS);
  EXPECT_EQ(GetFocus(), second);

  MessageLog().clear();
  EXPECT_EQ(SetFocus(second), second);  // already there: no notifications
  EXPECT_TRUE(MessageLog().empty());

  // Disabled and hidden windows cannot take the focus.
  EnableWindow(first, false);
  EXPECT_EQ(SetFocus(first), kNoWindow);
  ShowWindow(first, SW_HIDE);
  EnableWindow(first, true);
  EXPECT_EQ(SetFocus(first), kNoWindow);
  EXPECT_EQ(GetFocus(), second);
  DestroyWindow(parent);
}

TEST_F(WindowTest, DisablingHidingOrDestroyingTheFocusedWindowTakesTheFocusAway) {
  const HWND parent = MakeWindow();
  const HWND child = MakeWindow(parent);

  SetFocus(child);
  MessageLog().clear();
  EXPECT_FALSE(EnableWindow(child, false));  // was enabled
  EXPECT_EQ(GetFocus(), kNoWindow);
  EXPECT_EQ(WhoGot(WM_KILLFOCUS).size(), 1u);
  EXPECT_TRUE(EnableWindow(child, true));  // was disabled

  SetFocus(child);
  ShowWindow(parent, SW_HIDE);  // hiding a parent of the focus
  EXPECT_EQ(GetFocus(), kNoWindow);
  ShowWindow(parent, SW_SHOW);

  SetFocus(child);
  DestroyWindow(parent);
  EXPECT_EQ(GetFocus(), kNoWindow);
}

TEST_F(WindowTest, EnableAndShowReportThePreviousStateAndNotifyOnlyOnChange) {
  const HWND window = MakeWindow();
  MessageLog().clear();
  EXPECT_FALSE(EnableWindow(window, true));
  EXPECT_TRUE(WhoGot(WM_ENABLE).empty());
  EXPECT_FALSE(EnableWindow(window, false));
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_EQ(GetWindowLongPtr(window, GWL_STYLE) & WS_DISABLED, WS_DISABLED);
  EXPECT_EQ(WhoGot(WM_ENABLE).size(), 1u);

  EXPECT_TRUE(ShowWindow(window, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(ShowWindow(window, SW_HIDE));
  EXPECT_EQ(WhoGot(WM_SHOWWINDOW).size(), 1u);
  DestroyWindow(window);
}

TEST_F(WindowTest, MovingSendsPositionMessagesForWhatChanged) {
  const HWND window = MakeWindow();
  MessageLog().clear();
  ASSERT_TRUE(MoveWindow(window, 0, 0, 300, 200, false));
  EXPECT_TRUE(WhoGot(WM_MOVE).empty());
  ASSERT_EQ(WhoGot(WM_SIZE).size(), 1u);
  EXPECT_EQ(MessageLog()[1].lParam, MAKELPARAM(300, 200));
  EXPECT_EQ(MessageLog().front().message, WM_WINDOWPOSCHANGING);
  EXPECT_EQ(MessageLog().back().message, WM_WINDOWPOSCHANGED);

  MoveWindow(window, 5, 6, -3, 10, false);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window, &rect));
  EXPECT_EQ(rect, (RECT{5, 6, 5, 16}));  // a negative width counts as 0
  ASSERT_TRUE(GetClientRect(window, &rect));
  EXPECT_EQ(rect, (RECT{0, 0, 0, 10}));
  DestroyWindow(window);
}

}  // namespace
}  // namespace pixavue::platform::testing
