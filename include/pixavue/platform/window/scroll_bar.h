#pragma once
// A scroll bar element: 16-bit signed Min, Max, Value, SmallChange and
// LargeChange on a child window of the control. One scroll unit is one
// screen pixel for the control, but the bar itself knows nothing of pixels.
//
// Notifications: onChange(Change) after every change of Value (from code, a
// click, a key or the end of a thumb drag), onChange(Scroll) for every
// movement of a dragged thumb; writing the value the bar already holds
// notifies nothing. onKeyDown runs for a key pressed on the focused bar
// before the bar acts on it (a handler may set the key to 0 to cancel).

#include <pixavue/platform/window/element_window.h>

#include <cstdint>
#include <functional>

namespace pixavue::platform {

enum class ScrollBarOrientation { Horizontal, Vertical };
enum class ScrollNotification { Change, Scroll };

class ScrollBar final {
 public:
  ScrollBar(HWND parent, ScrollBarOrientation orientation);
  ScrollBar(const ScrollBar&) = delete;
  ScrollBar& operator=(const ScrollBar&) = delete;

  HWND Window() const { return window_.Handle(); }
  ScrollBarOrientation Orientation() const { return orientation_; }

  std::int16_t Min() const { return min_; }
  std::int16_t Max() const { return max_; }
  std::int16_t Value() const { return value_; }
  std::int16_t SmallChange() const { return smallChange_; }
  std::int16_t LargeChange() const { return largeChange_; }

  // Min and Max may be given in either order; a Value outside the new range
  // is moved to its nearest end (with a Change notification).
  void SetMin(std::int16_t min);
  void SetMax(std::int16_t max);
  // Refuses (returns false, changes nothing) a value outside Min..Max.
  bool SetValue(std::int16_t value);
  // Refuse a step below 1.
  bool SetSmallChange(std::int16_t step);
  bool SetLargeChange(std::int16_t step);

  bool Visible() const { return window_.Visible(); }
  void SetVisible(bool visible) { window_.SetVisible(visible); }
  bool Enabled() const { return window_.Enabled(); }
  void SetEnabled(bool enabled) { window_.SetEnabled(enabled); }
  int Left() const { return window_.Left(); }
  int Top() const { return window_.Top(); }
  int Width() const { return window_.Width(); }
  int Height() const { return window_.Height(); }
  void Move(int left, int top, int width, int height) { window_.Move(left, top, width, height); }
  void SetLeft(int left) { window_.SetLeft(left); }
  void SetTop(int top) { window_.SetTop(top); }
  void SetWidth(int width) { window_.SetWidth(width); }
  void SetHeight(int height) { window_.SetHeight(height); }
  bool HasFocus() const { return window_.HasFocus(); }
  bool TakeFocus() { return window_.TakeFocus(); }

  // What the user does with the bar; ignored (false) while it is hidden or
  // disabled. Directions: -1 towards Min, +1 towards Max.
  bool ClickArrow(int direction);
  bool ClickTrack(int direction);
  bool BeginThumbDrag();
  bool DragThumbTo(std::int16_t value);
  bool EndThumbDrag();
  bool IsThumbDragging() const { return dragging_; }

  std::function<void(ScrollNotification)> onChange;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> onKeyDown;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;

 private:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleKey(int keyCode);
  bool AcceptsInput() const { return window_.IsLive() && Visible() && Enabled(); }
  std::int16_t Lowest() const;
  std::int16_t Highest() const;
  std::int16_t Clamp(int value) const;
  // Moves the value by `units` towards Max (negative: towards Min).
  void Step(int units);
  void Assign(std::int16_t value, ScrollNotification notification);

  ScrollBarOrientation orientation_;
  std::int16_t min_ = 0;
  std::int16_t max_ = 32767;
  std::int16_t value_ = 0;
  std::int16_t smallChange_ = 1;
  std::int16_t largeChange_ = 1;
  bool dragging_ = false;
  std::int16_t dragStartValue_ = 0;
  ElementWindow window_;
};

}  // namespace pixavue::platform
