#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>

#include <algorithm>

#include "thread_state.h"
#include "timer_queue.h"

namespace pixavue::platform {
namespace detail {
namespace {

bool Matches(const TimerRecord& timer, HWND window, UINT_PTR id) {
  return !timer.killed && timer.window == window && timer.id == id;
}

std::shared_ptr<TimerRecord> FindTimer(HWND window, UINT_PTR id) {
  for (const auto& timer : CurrentThread().timers) {
    if (Matches(*timer, window, id)) return timer;
  }
  return nullptr;
}

void Remove(const std::shared_ptr<TimerRecord>& timer) {
  timer->killed = true;
  std::erase(CurrentThread().timers, timer);
}

UINT_PTR NewWindowlessId() {
  auto& state = CurrentThread();
  do {
    ++state.nextWindowlessTimerId;
    if (state.nextWindowlessTimerId == 0) state.nextWindowlessTimerId = 1;
  } while (FindTimer(kNoWindow, state.nextWindowlessTimerId));
  return state.nextWindowlessTimerId;
}

}  // namespace

std::shared_ptr<TimerRecord> EarliestDueTimer(std::optional<std::int64_t> limitMs) {
  std::shared_ptr<TimerRecord> best;
  for (const auto& timer : CurrentThread().timers) {
    if (timer->firing || timer->killed) continue;
    if (limitMs && timer->dueMs > *limitMs) continue;
    if (!best || timer->dueMs < best->dueMs || (timer->dueMs == best->dueMs && timer->order < best->order)) {
      best = timer;
    }
  }
  return best;
}

void FireTimer(const std::shared_ptr<TimerRecord>& timer) {
  const std::int64_t firedAt = NowMs();
  const std::uint64_t order = timer->order;
  timer->firing = true;
  if (timer->callback) {
    timer->callback(timer->window, WM_TIMER, timer->id, GetTickCount());
  } else {
    SendMessage(timer->window, WM_TIMER, timer->id, 0);
  }
  timer->firing = false;
  // Restarted from its own callback: the restart set the next due time.
  if (timer->killed || timer->order != order) return;
  timer->dueMs = firedAt + timer->intervalMs;
  timer->order = CurrentThread().nextTimerOrder++;
}

void FireDueTimers(std::int64_t nowMs) {
  std::vector<std::shared_ptr<TimerRecord>> due;
  for (const auto& timer : CurrentThread().timers) {
    if (timer->dueMs <= nowMs) due.push_back(timer);
  }
  std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
    return a->dueMs != b->dueMs ? a->dueMs < b->dueMs : a->order < b->order;
  });
  for (const auto& timer : due) {
    if (!timer->killed && !timer->firing && timer->dueMs <= nowMs) FireTimer(timer);
  }
}

void RebaseTimers(std::int64_t oldNowMs, std::int64_t newNowMs) {
  for (const auto& timer : CurrentThread().timers) timer->dueMs = newNowMs + (timer->dueMs - oldNowMs);
}

void KillTimersOf(HWND window) {
  auto timers = CurrentThread().timers;
  for (const auto& timer : timers) {
    if (timer->window == window) Remove(timer);
  }
}

}  // namespace detail

UINT_PTR SetTimerCallback(HWND window, UINT_PTR id, UINT intervalMs, TimerCallback callback) {
  using namespace detail;
  if (window != kNoWindow && !IsWindow(window)) return 0;
  auto& state = CurrentThread();
  auto timer = FindTimer(window, id);
  if (!timer) {
    timer = std::make_shared<TimerRecord>();
    timer->window = window;
    timer->id = (window == kNoWindow) ? NewWindowlessId() : id;
    state.timers.push_back(timer);
  }
  timer->intervalMs = std::clamp(intervalMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  timer->dueMs = NowMs() + timer->intervalMs;
  timer->order = state.nextTimerOrder++;
  timer->callback = std::move(callback);
  if (window == kNoWindow) return timer->id;
  return id != 0 ? id : 1;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT intervalMs, TIMERPROC procedure) {
  TimerCallback callback;
  if (procedure) callback = procedure;
  return SetTimerCallback(window, id, intervalMs, std::move(callback));
}

bool KillTimer(HWND window, UINT_PTR id) {
  const auto timer = detail::FindTimer(window, id);
  if (!timer) return false;
  detail::Remove(timer);
  return true;
}

std::size_t TimerCount() { return detail::CurrentThread().timers.size(); }

}  // namespace pixavue::platform
