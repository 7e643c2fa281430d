// The window-procedure chain as a control uses it to catch the mouse wheel:
// a subclass turns each wheel notch into a keypad "+" or "-" key press sent
// to the same window, passes every message on to the saved procedure, and
// gives the procedure back when the window is destroyed.

#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <vector>

#include "window_test_support.h"

namespace pixavue::platform::testing {
namespace {

struct HookEntry {
  HWND window;
  WNDPROC saved;
  bool unhooked = false;
};

std::vector<HookEntry>& Hooks() {
  static std::vector<HookEntry> hooks;
  return hooks;
}

HookEntry* FindHook(HWND window) {
  for (auto& entry : Hooks()) {
    if (entry.window == window && !entry.unhooked) return &entry;
  }
  return nullptr;
}

void Unhook(HWND window) {
  HookEntry* entry = FindHook(window);
  if (!entry) return;
  if (IsWindow(window)) SetWindowLong(window, GWL_WNDPROC, ProcToLongPtr(entry->saved));
  entry->unhooked = true;
}

LRESULT WheelHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HookEntry* entry = FindHook(window);
  if (!entry) return DefWindowProc(window, message, wParam, lParam);
  const WNDPROC saved = entry->saved;
  if (message == WM_MOUSEWHEEL && IsWindowEnabled(window)) {
    const WPARAM key = static_cast<std::int32_t>(wParam) > 0 ? VK_ADD : VK_SUBTRACT;
    if (SendMessage(window, WM_KEYDOWN, key, 0) == 0) SendMessage(window, WM_KEYUP, key, 0);
  }
  const LRESULT result = CallWindowProc(saved, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) Unhook(window);
  return result;
}

LRESULT KeyLoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog().push_back({"base", window, message, wParam, lParam});
  return 0;
}

void Hook(HWND window) {
  Hooks().push_back({window, LongPtrToProc(SetWindowLong(window, GWL_WNDPROC, ProcToLongPtr(&WheelHook)))});
}

std::vector<WPARAM> KeysDown() {
  std::vector<WPARAM> keys;
  for (const auto& entry : MessageLog()) {
    if (entry.message == WM_KEYDOWN) keys.push_back(entry.wParam);
  }
  return keys;
}

using WheelHookTest = VirtualClockTest;

TEST_F(WheelHookTest, EachWheelNotchBecomesOneKeypadKeyAndIsStillPassedOn) {
  Hooks().clear();
  const HWND surface = MakeWindow(kNoWindow, &KeyLoggingProc);
  Hook(surface);

  SendMessage(surface, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  SendMessage(surface, WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, static_cast<std::uint16_t>(-3 * WHEEL_DELTA)), 0);
  EXPECT_EQ(KeysDown(), (std::vector<WPARAM>{107, 109}));
  EXPECT_EQ(WhoGot(WM_KEYUP).size(), 2u);
  EXPECT_EQ(WhoGot(WM_MOUSEWHEEL).size(), 2u);  // the wheel message itself reached the control

  DestroyWindow(surface);
  EXPECT_TRUE(Hooks().back().unhooked);
}

TEST_F(WheelHookTest, UnhookingRestoresTheSavedProcedure) {
  Hooks().clear();
  const HWND surface = MakeWindow(kNoWindow, &KeyLoggingProc);
  Hook(surface);
  Unhook(surface);
  EXPECT_EQ(GetWindowProc(surface), &KeyLoggingProc);
  SendMessage(surface, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_TRUE(KeysDown().empty());
  DestroyWindow(surface);
}

TEST_F(WheelHookTest, ADisabledWindowKeepsBeingServedWithoutWheelKeys) {
  Hooks().clear();
  const HWND surface = MakeWindow(kNoWindow, &KeyLoggingProc);
  Hook(surface);
  EnableWindow(surface, false);
  MessageLog().clear();
  SendMessage(surface, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  SendMessage(surface, WM_USER, 0, 0);
  EXPECT_TRUE(KeysDown().empty());
  EXPECT_EQ(WhoGot(WM_MOUSEWHEEL).size(), 1u);
  EXPECT_EQ(WhoGot(WM_USER).size(), 1u);
  DestroyWindow(surface);
}

}  // namespace
}  // namespace pixavue::platform::testing
