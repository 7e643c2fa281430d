#pragma once
// A small focusable box on a child window of the control: it can hold the
// keyboard focus (the control parks the focus there, away from its scroll
// bars) and reports focus and key notifications.

#include <pixavue/platform/window/element_window.h>

#include <cstdint>
#include <functional>

namespace pixavue::platform {

class FocusBox final {
 public:
  explicit FocusBox(HWND parent);
  FocusBox(const FocusBox&) = delete;
  FocusBox& operator=(const FocusBox&) = delete;

  HWND Window() const { return window_.Handle(); }
  bool Visible() const { return window_.Visible(); }
  void SetVisible(bool visible) { window_.SetVisible(visible); }
  bool Enabled() const { return window_.Enabled(); }
  void SetEnabled(bool enabled) { window_.SetEnabled(enabled); }
  int Left() const { return window_.Left(); }
  int Top() const { return window_.Top(); }
  int Width() const { return window_.Width(); }
  int Height() const { return window_.Height(); }
  void Move(int left, int top, int width, int height) { window_.Move(left, top, width, height); }
  void MoveTo(int left, int top) { window_.Move(left, top, Width(), Height()); }
  bool HasFocus() const { return window_.HasFocus(); }
  bool TakeFocus() { return window_.TakeFocus(); }

  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> onKeyDown;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> onKeyUp;

 private:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  ElementWindow window_;
};

}  // namespace pixavue::platform
