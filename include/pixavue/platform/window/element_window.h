#pragma once
// The child window behind a windowed element of a control (scroll bar,
// focusable box): creates it on the parent and routes its messages, focus
// changes included, to the element. The window is destroyed with the
// object, or earlier with its parent.

#include <pixavue/platform/window/types.h>

#include <functional>
#include <string>

namespace pixavue::platform {

class ElementWindow final {
 public:
  // Receives every message; returns true when it handled it.
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

  ElementWindow(HWND parent, std::string className, int width, int height, Handler handler);
  ~ElementWindow();
  ElementWindow(const ElementWindow&) = delete;
  ElementWindow& operator=(const ElementWindow&) = delete;

  HWND Handle() const { return handle_; }
  bool IsLive() const;

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void Move(int left, int top, int width, int height);
  void SetLeft(int left) { Move(left, Top(), Width(), Height()); }
  void SetTop(int top) { Move(Left(), top, Width(), Height()); }
  void SetWidth(int width) { Move(Left(), Top(), width, Height()); }
  void SetHeight(int height) { Move(Left(), Top(), Width(), height); }

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool HasFocus() const;
  bool TakeFocus();  // false when the window cannot take it (hidden, disabled, gone)

 private:
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = kNoWindow;
  Handler handler_;
};

}  // namespace pixavue::platform
