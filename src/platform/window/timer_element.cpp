#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/timer_element.h>
#include <pixavue/platform/window/window.h>

namespace pixavue::platform {

TimerElement::TimerElement(HWND owner) : owner_(owner) {}

TimerElement::~TimerElement() { Stop(); }

bool TimerElement::SetInterval(std::int32_t ms) {
  if (ms < 0 || ms > kMaxInterval) return false;
  interval_ = ms;
  Restart();
  return true;
}

bool TimerElement::IsRunning() const { return running_ && (owner_ == kNoWindow || IsWindow(owner_)); }

void TimerElement::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}

void TimerElement::Restart() {
  Stop();
  if (!enabled_ || interval_ <= 0) return;
  const UINT_PTR requested = owner_ == kNoWindow ? 0 : TimerId();
  const UINT_PTR id = SetTimerCallback(owner_, requested, static_cast<UINT>(interval_),
                                       [this](HWND, UINT, UINT_PTR, DWORD) {
                                         if (onTick) onTick();
                                       });
  running_ = id != 0;
  windowlessId_ = owner_ == kNoWindow ? id : 0;
}

void TimerElement::Stop() {
  if (!running_) return;
  KillTimer(owner_, owner_ == kNoWindow ? windowlessId_ : TimerId());
  running_ = false;
}

}  // namespace pixavue::platform
