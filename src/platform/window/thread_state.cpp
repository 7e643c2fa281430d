#include "thread_state.h"

#include <chrono>

namespace pixavue::platform::detail {

ThreadState& CurrentThread() {
  thread_local ThreadState state;
  return state;
}

std::shared_ptr<WindowRecord> FindWindow(HWND window) {
  auto& windows = CurrentThread().windows;
  const auto found = windows.find(HandleValue(window));
  return found == windows.end() ? nullptr : found->second;
}

std::int64_t NowMs() {
  const ThreadState& state = CurrentThread();
  if (state.virtualClock) return state.virtualNowMs;
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace pixavue::platform::detail
