#pragma once
// The window system's state of one thread: its windows, queued messages,
// timers, clock and focus. Only the platform/window sources see it.

#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/types.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pixavue::platform::detail {

struct WindowRecord {
  HWND handle = kNoWindow;
  HWND parent = kNoWindow;
  std::vector<HWND> children;
  WNDPROC procedure = nullptr;
  std::string className;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool visible = true;
  bool enabled = true;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  bool destroying = false;
  bool paintPending = false;
};

struct TimerRecord {
  HWND window = kNoWindow;
  UINT_PTR id = 0;
  UINT intervalMs = 0;
  std::int64_t dueMs = 0;
  std::uint64_t order = 0;  // breaks ties between timers due at the same time
  TimerCallback callback;   // empty: WM_TIMER goes to the window
  bool firing = false;
  bool killed = false;
};

struct PostedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct ThreadState {
  std::unordered_map<std::int32_t, std::shared_ptr<WindowRecord>> windows;
  std::deque<PostedMessage> posted;
  std::vector<std::shared_ptr<TimerRecord>> timers;
  std::uint64_t nextTimerOrder = 1;
  UINT_PTR nextWindowlessTimerId = 0x7E00;
  bool virtualClock = false;
  std::int64_t virtualNowMs = 0;
  HWND focus = kNoWindow;
  std::int16_t shift = 0;
};

ThreadState& CurrentThread();
std::shared_ptr<WindowRecord> FindWindow(HWND window);
std::int64_t NowMs();

// Clean-up when a window goes away.
void KillTimersOf(HWND window);
void DropPostedMessagesFor(HWND window);

}  // namespace pixavue::platform::detail
