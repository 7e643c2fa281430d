#pragma once
// A timer element of a control: ticks every Interval milliseconds while it
// is Enabled and Interval is above 0. Changing either restarts the count.
// It runs on a timer of the owner window and stops with it.

#include <pixavue/platform/window/types.h>

#include <cstdint>
#include <functional>

namespace pixavue::platform {

class TimerElement final {
 public:
  static constexpr std::int32_t kMaxInterval = 65535;

  explicit TimerElement(HWND owner);
  ~TimerElement();
  TimerElement(const TimerElement&) = delete;
  TimerElement& operator=(const TimerElement&) = delete;

  std::int32_t Interval() const { return interval_; }
  bool SetInterval(std::int32_t ms);  // refuses values outside 0..kMaxInterval
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool IsRunning() const;  // false also once the owner window is gone

  std::function<void()> onTick;

 private:
  void Restart();
  void Stop();
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  HWND owner_;
  std::int32_t interval_ = 0;
  bool enabled_ = false;
  bool running_ = false;
  UINT_PTR windowlessId_ = 0;
};

}  // namespace pixavue::platform
