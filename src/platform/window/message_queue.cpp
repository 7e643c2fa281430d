#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

#include <algorithm>

#include "thread_state.h"
#include "timer_queue.h"

namespace pixavue::platform {
namespace {

using detail::CurrentThread;

void Dispatch(const detail::PostedMessage& posted) {
  if (posted.message == WM_PAINT) {
    // The window may be invalidated again from here on.
    if (const auto record = detail::FindWindow(posted.window)) record->paintPending = false;
  }
  SendMessage(posted.window, posted.message, posted.wParam, posted.lParam);
}

// Dispatches the messages that are queued now; later ones wait.
void DispatchQueued() {
  auto& queue = CurrentThread().posted;
  for (std::size_t count = queue.size(); count > 0 && !queue.empty(); --count) {
    const detail::PostedMessage posted = queue.front();
    queue.pop_front();
    Dispatch(posted);
  }
}

}  // namespace

namespace detail {

void DropPostedMessagesFor(HWND window) {
  std::erase_if(CurrentThread().posted, [window](const PostedMessage& posted) { return posted.window == window; });
}

}  // namespace detail

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return false;
  CurrentThread().posted.push_back({window, message, wParam, lParam});
  return true;
}

void DoEvents() {
  DispatchQueued();
  detail::FireDueTimers(detail::NowMs());
}

std::size_t PendingMessageCount() { return CurrentThread().posted.size(); }

std::int64_t CurrentTimeMs() { return detail::NowMs(); }

DWORD GetTickCount() { return static_cast<DWORD>(static_cast<std::uint64_t>(detail::NowMs()) & 0xFFFFFFFFu); }

void UseVirtualClock() {
  auto& state = CurrentThread();
  if (state.virtualClock) return;
  const std::int64_t realNow = detail::NowMs();
  state.virtualClock = true;
  detail::RebaseTimers(realNow, state.virtualNowMs);
}

void UseRealClock() {
  auto& state = CurrentThread();
  if (!state.virtualClock) return;
  const std::int64_t virtualNow = state.virtualNowMs;
  state.virtualClock = false;
  detail::RebaseTimers(virtualNow, detail::NowMs());
}

bool IsVirtualClock() { return CurrentThread().virtualClock; }

bool AdvanceVirtualClock(std::int64_t ms) {
  auto& state = CurrentThread();
  if (!state.virtualClock || ms < 0) return false;
  const std::int64_t target = state.virtualNowMs + ms;
  DispatchQueued();
  while (auto due = detail::EarliestDueTimer(target)) {
    state.virtualNowMs = std::max(state.virtualNowMs, due->dueMs);
    detail::FireTimer(due);
    DispatchQueued();
  }
  state.virtualNowMs = std::max(state.virtualNowMs, target);
  return true;
}

std::optional<std::int64_t> MillisecondsUntilNextTimer() {
  const auto next = detail::EarliestDueTimer(std::nullopt);
  if (!next) return std::nullopt;
  return std::max<std::int64_t>(0, next->dueMs - detail::NowMs());
}

void SetShiftState(std::int16_t shift) { CurrentThread().shift = shift; }
std::int16_t GetShiftState() { return CurrentThread().shift; }

}  // namespace pixavue::platform
