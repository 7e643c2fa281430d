#include <pixavue/platform/window/focus_box.h>
#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/metrics.h>

namespace pixavue::platform {

FocusBox::FocusBox(HWND parent)
    : window_(parent, "FocusBox", GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL),
              [this](UINT message, WPARAM wParam, LPARAM lParam) { return HandleMessage(message, wParam, lParam); }) {}

bool FocusBox::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  const std::function<void()>* focusHandler = nullptr;
  const std::function<void(std::int16_t&, std::int16_t&)>* keyHandler = nullptr;
  switch (message) {
    case WM_SETFOCUS:
      focusHandler = &onGotFocus;
      break;
    case WM_KILLFOCUS:
      focusHandler = &onLostFocus;
      break;
    case WM_KEYDOWN:
      keyHandler = &onKeyDown;
      break;
    case WM_KEYUP:
      keyHandler = &onKeyUp;
      break;
    default:
      return false;
  }
  if (focusHandler && *focusHandler) (*focusHandler)();
  if (keyHandler && *keyHandler && Enabled()) {
    std::int16_t keyCode = static_cast<std::int16_t>(wParam & 0xFFFF);
    std::int16_t shift = GetShiftState();
    (*keyHandler)(keyCode, shift);
  }
  return true;
}

}  // namespace pixavue::platform
