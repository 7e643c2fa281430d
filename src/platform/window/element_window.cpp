#include <pixavue/platform/window/element_window.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

namespace pixavue::platform {

ElementWindow::ElementWindow(HWND parent, std::string className, int width, int height, Handler handler)
    : handler_(std::move(handler)) {
  WindowCreateInfo info;
  info.parent = parent;
  info.procedure = &ElementWindow::Procedure;
  info.className = std::move(className);
  info.width = width;
  info.height = height;
  info.userData = reinterpret_cast<LONG_PTR>(this);
  handle_ = CreateWindow(info);
}

ElementWindow::~ElementWindow() {
  if (!IsLive()) return;
  // The window must not call back into an object that is going away.
  SetWindowLongPtr(handle_, GWLP_USERDATA, 0);
  DestroyWindow(handle_);
}

LRESULT ElementWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ElementWindow*>(GetWindowLongPtr(window, GWLP_USERDATA));
  if (!self) return DefWindowProc(window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      SetWindowLongPtr(window, GWLP_USERDATA, 0);
      return 0;
    default:
      if (self->handler_ && self->handler_(message, wParam, lParam)) return 0;
      return DefWindowProc(window, message, wParam, lParam);
  }
}

bool ElementWindow::IsLive() const { return IsWindow(handle_); }

int ElementWindow::Left() const {
  RECT rect;
  return GetWindowRect(handle_, &rect) ? rect.left : 0;
}

int ElementWindow::Top() const {
  RECT rect;
  return GetWindowRect(handle_, &rect) ? rect.top : 0;
}

int ElementWindow::Width() const {
  RECT rect;
  return GetWindowRect(handle_, &rect) ? rect.right - rect.left : 0;
}

int ElementWindow::Height() const {
  RECT rect;
  return GetWindowRect(handle_, &rect) ? rect.bottom - rect.top : 0;
}

void ElementWindow::Move(int left, int top, int width, int height) { MoveWindow(handle_, left, top, width, height); }

bool ElementWindow::Visible() const { return IsWindowVisible(handle_); }
void ElementWindow::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }
bool ElementWindow::Enabled() const { return IsWindowEnabled(handle_); }
void ElementWindow::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }
bool ElementWindow::HasFocus() const { return IsLive() && GetFocus() == handle_; }

bool ElementWindow::TakeFocus() {
  if (!IsLive()) return false;
  SetFocus(handle_);
  return GetFocus() == handle_;
}

}  // namespace pixavue::platform
