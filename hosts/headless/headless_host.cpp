#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

namespace pixavue::headless {

using namespace platform;

namespace {

LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
}

UINT ButtonMessage(MouseButton button, bool down, bool doubleClick) {
  switch (button) {
    case MouseButton::Right:
      return doubleClick ? WM_RBUTTONDBLCLK : down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case MouseButton::Middle:
      return doubleClick ? WM_MBUTTONDBLCLK : down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case MouseButton::Left:
    default:
      return doubleClick ? WM_LBUTTONDBLCLK : down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

}  // namespace

HeadlessHost::HeadlessHost() : HeadlessHost(HostOptions{}) {}

HeadlessHost::HeadlessHost(HostOptions options) : shellGuard_(*this), wasVirtualClock_(IsVirtualClock()) {
  UseVirtualClock();
  WindowCreateInfo info;
  info.className = options.title;
  info.width = options.width;
  info.height = options.height;
  window_ = CreateWindow(info);
}

HeadlessHost::~HeadlessHost() {
  DestroyWindow(window_);
  if (!wasVirtualClock_) UseRealClock();
  SetShiftState(0);
}

void HeadlessHost::Resize(int width, int height) { MoveWindow(window_, 0, 0, width, height); }

void HeadlessHost::Advance(std::int64_t ms) { AdvanceVirtualClock(ms); }
void HeadlessHost::DoEvents() { platform::DoEvents(); }
std::int64_t HeadlessHost::Now() const { return CurrentTimeMs(); }

int HeadlessHost::ShowMessageBox(const MessageBoxRequest& request) {
  int answer = MessageBoxAnswers(request.buttons).front();
  if (!messageBoxAnswers_.empty()) {
    answer = messageBoxAnswers_.front();
    messageBoxAnswers_.pop_front();
  }
  messageBoxes_.push_back({request, answer});
  return answer;
}

std::optional<std::string> HeadlessHost::ShowOpenFileDialog(const OpenFileRequest& request) {
  openFileRequests_.push_back(request);
  if (openFileAnswers_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(openFileAnswers_.front());
  openFileAnswers_.pop_front();
  return answer;
}

HWND HeadlessHost::Target(HWND requested) const {
  if (requested != kNoWindow) return requested;
  const HWND focus = GetFocus();
  return focus != kNoWindow ? focus : window_;
}

void HeadlessHost::Focus(HWND target) { SetFocus(target); }

void HeadlessHost::KeyDown(int keyCode, std::int16_t shift, HWND target) {
  SetShiftState(shift);
  SendMessage(Target(target), WM_KEYDOWN, static_cast<WPARAM>(keyCode), 0);
}

void HeadlessHost::KeyUp(int keyCode, std::int16_t shift, HWND target) {
  SetShiftState(shift);
  SendMessage(Target(target), WM_KEYUP, static_cast<WPARAM>(keyCode), 0);
}

void HeadlessHost::KeyPress(char character, HWND target) {
  SendMessage(Target(target), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(character)), 0);
}

void HeadlessHost::PressKey(int keyCode, std::int16_t shift, HWND target) {
  const HWND to = Target(target);
  SetShiftState(shift);
  if (SendMessage(to, WM_KEYDOWN, static_cast<WPARAM>(keyCode), 0) == 0) {
    SendMessage(to, WM_KEYUP, static_cast<WPARAM>(keyCode), 0);
  }
}

WPARAM HeadlessHost::MouseKeys(std::int16_t shift) const {
  WPARAM keys = 0;
  if (buttonsDown_ & static_cast<std::int16_t>(MouseButton::Left)) keys |= MK_LBUTTON;
  if (buttonsDown_ & static_cast<std::int16_t>(MouseButton::Right)) keys |= MK_RBUTTON;
  if (buttonsDown_ & static_cast<std::int16_t>(MouseButton::Middle)) keys |= MK_MBUTTON;
  if (shift & kShiftMask) keys |= MK_SHIFT;
  if (shift & kCtrlMask) keys |= MK_CONTROL;
  return keys;
}

void HeadlessHost::SendMouse(UINT message, int x, int y, std::int16_t shift, HWND target) {
  SetShiftState(shift);
  SendMessage(target != kNoWindow ? target : window_, message, MouseKeys(shift), PointParam(x, y));
}

void HeadlessHost::MouseDown(MouseButton button, int x, int y, std::int16_t shift, HWND target) {
  buttonsDown_ = static_cast<std::int16_t>(buttonsDown_ | static_cast<std::int16_t>(button));
  SendMouse(ButtonMessage(button, true, false), x, y, shift, target);
}

void HeadlessHost::MouseMove(int x, int y, std::int16_t shift, HWND target) {
  SendMouse(WM_MOUSEMOVE, x, y, shift, target);
}

void HeadlessHost::MouseUp(MouseButton button, int x, int y, std::int16_t shift, HWND target) {
  buttonsDown_ = static_cast<std::int16_t>(buttonsDown_ & ~static_cast<std::int16_t>(button));
  SendMouse(ButtonMessage(button, false, false), x, y, shift, target);
}

void HeadlessHost::Click(MouseButton button, int x, int y, HWND target) {
  MouseDown(button, x, y, 0, target);
  MouseUp(button, x, y, 0, target);
}

void HeadlessHost::DoubleClick(MouseButton button, int x, int y, HWND target) {
  Click(button, x, y, target);
  buttonsDown_ = static_cast<std::int16_t>(buttonsDown_ | static_cast<std::int16_t>(button));
  SendMouse(ButtonMessage(button, true, true), x, y, 0, target);
  MouseUp(button, x, y, 0, target);
}

void HeadlessHost::Wheel(int delta, int x, int y, HWND target) {
  const WPARAM keys = MouseKeys(GetShiftState());
  const WPARAM wParam = MAKEWPARAM(static_cast<std::uint16_t>(keys), static_cast<std::uint16_t>(delta));
  SendMessage(Target(target), WM_MOUSEWHEEL, wParam, PointParam(x, y));
}

}  // namespace pixavue::headless
