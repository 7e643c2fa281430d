#pragma once
// Timers of the calling thread's message queue. A timer fires repeatedly,
// every interval, until it is killed; it fires only while the thread runs its
// message queue (DoEvents) or, on the virtual clock, while time is advanced.

#include <pixavue/platform/window/types.h>

#include <cstddef>
#include <functional>

namespace pixavue::platform {

using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD time);
using TimerCallback = std::function<void(HWND window, UINT message, UINT_PTR id, DWORD time)>;

// Intervals are clamped to this range, as on the original platform: an
// interval of 0 cannot make a timer fire without end.
inline constexpr UINT USER_TIMER_MINIMUM = 10;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Starts (or, for the same window and identifier, restarts) a timer. With a
// window, the timer is keyed by (window, id) and the return value is id (1
// when id is 0); without one, a fresh identifier is returned unless id names
// an existing window-less timer, which is restarted. KillTimer takes the
// window and the identifier that was given. With no procedure the
// window receives WM_TIMER (wParam id). Returns 0 for a window that is not
// live. Due timers fire in order of their due time, ties in order of setting.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT intervalMs, TIMERPROC procedure);
UINT_PTR SetTimerCallback(HWND window, UINT_PTR id, UINT intervalMs, TimerCallback callback);
bool KillTimer(HWND window, UINT_PTR id);

std::size_t TimerCount();  // live timers of the calling thread

}  // namespace pixavue::platform
