#pragma once
// Shared pieces of the window tests: a message log that window procedures
// write to, and a fixture that runs each test on the virtual clock and
// checks that it leaves no window or timer behind.

#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixavue::platform::testing {

struct LoggedMessage {
  std::string who;
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<LoggedMessage>& MessageLog();
// Messages of one kind in the log, as "who" names.
std::vector<std::string> WhoGot(UINT message);

// Window procedures that log under the name "base", "hookA" and "hookB"; the
// hooks chain to the procedure saved in SavedFor(window, hook).
LRESULT LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HWND MakeWindow(HWND parent = kNoWindow, WNDPROC procedure = &LoggingProc);

class VirtualClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock();
    MessageLog().clear();
  }
  void TearDown() override {
    EXPECT_EQ(WindowCount(), 0u) << "the test left windows behind";
    EXPECT_EQ(TimerCount(), 0u) << "the test left timers behind";
    UseRealClock();
  }
};

}  // namespace pixavue::platform::testing
