#pragma once
// The calling thread's message queue and its clock. Interactive hosts run on
// the real clock; the headless host switches its thread to a virtual clock on
// which time moves only when AdvanceVirtualClock is called, so that timers
// fire deterministically, in time order.

#include <pixavue/platform/window/types.h>

#include <cstdint>
#include <optional>

namespace pixavue::platform {

// Queues a message for the window; it is dispatched by DoEvents (or by
// AdvanceVirtualClock). Fails for a handle that is not a live window of this
// thread. Messages queued for a window that is destroyed are dropped.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dispatches the messages queued before the call (messages posted while it
// runs wait for the next call, so a message that posts itself cannot hang
// it), then fires every timer that is due, each once.
void DoEvents();
std::size_t PendingMessageCount();

// Milliseconds on the thread's clock; GetTickCount wraps like a 32-bit count.
std::int64_t CurrentTimeMs();
DWORD GetTickCount();

// Switches the thread's clock. Running timers keep their remaining time.
// The virtual clock starts at 0 the first time it is chosen.
void UseVirtualClock();
void UseRealClock();
bool IsVirtualClock();

// Virtual clock only (false on the real clock): dispatches queued messages,
// then moves time forward by ms, stopping at each due time to fire the timers
// due then in order, and dispatching the messages they post. A timer with
// interval i fires ms / i times over an advance of ms.
bool AdvanceVirtualClock(std::int64_t ms);

// Time until the earliest timer is due (0 when one is overdue), or nothing
// without timers. Real-clock hosts use it to sleep or arm their own timer.
std::optional<std::int64_t> MillisecondsUntilNextTimer();

// The keyboard's shift state (kShiftMask, kCtrlMask, kAltMask) as the host
// last reported it; key notifications read it.
void SetShiftState(std::int16_t shift);
std::int16_t GetShiftState();

}  // namespace pixavue::platform
