#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/metrics.h>
#include <pixavue/platform/window/scroll_bar.h>

#include <algorithm>

namespace pixavue::platform {
namespace {

int InitialWidth(ScrollBarOrientation orientation) {
  return orientation == ScrollBarOrientation::Vertical ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

int InitialHeight(ScrollBarOrientation orientation) {
  return orientation == ScrollBarOrientation::Horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0;
}

}  // namespace

ScrollBar::ScrollBar(HWND parent, ScrollBarOrientation orientation)
    : orientation_(orientation),
      window_(parent, orientation == ScrollBarOrientation::Horizontal ? "HScrollBar" : "VScrollBar",
              InitialWidth(orientation), InitialHeight(orientation),
              [this](UINT message, WPARAM wParam, LPARAM lParam) { return HandleMessage(message, wParam, lParam); }) {}

std::int16_t ScrollBar::Lowest() const { return std::min(min_, max_); }
std::int16_t ScrollBar::Highest() const { return std::max(min_, max_); }

std::int16_t ScrollBar::Clamp(int value) const {
  return static_cast<std::int16_t>(std::clamp<int>(value, Lowest(), Highest()));
}

void ScrollBar::Assign(std::int16_t value, ScrollNotification notification) {
  if (value == value_) return;
  value_ = value;
  if (onChange) onChange(notification);
}

void ScrollBar::SetMin(std::int16_t min) {
  min_ = min;
  Assign(Clamp(value_), ScrollNotification::Change);
}

void ScrollBar::SetMax(std::int16_t max) {
  max_ = max;
  Assign(Clamp(value_), ScrollNotification::Change);
}

bool ScrollBar::SetValue(std::int16_t value) {
  if (value < Lowest() || value > Highest()) return false;
  Assign(value, ScrollNotification::Change);
  return true;
}

bool ScrollBar::SetSmallChange(std::int16_t step) {
  if (step < 1) return false;
  smallChange_ = step;
  return true;
}

bool ScrollBar::SetLargeChange(std::int16_t step) {
  if (step < 1) return false;
  largeChange_ = step;
  return true;
}

void ScrollBar::Step(int units) {
  // "Towards Max" is downwards in numbers when the range is reversed.
  const int sign = max_ >= min_ ? 1 : -1;
  Assign(Clamp(value_ + sign * units), ScrollNotification::Change);
}

bool ScrollBar::ClickArrow(int direction) {
  if (!AcceptsInput() || direction == 0) return false;
  Step(direction > 0 ? smallChange_ : -smallChange_);
  return true;
}

bool ScrollBar::ClickTrack(int direction) {
  if (!AcceptsInput() || direction == 0) return false;
  Step(direction > 0 ? largeChange_ : -largeChange_);
  return true;
}

bool ScrollBar::BeginThumbDrag() {
  if (!AcceptsInput()) return false;
  dragging_ = true;
  dragStartValue_ = value_;
  return true;
}

bool ScrollBar::DragThumbTo(std::int16_t value) {
  if (!dragging_ || !AcceptsInput()) return false;
  Assign(Clamp(value), ScrollNotification::Scroll);
  return true;
}

bool ScrollBar::EndThumbDrag() {
  if (!dragging_) return false;
  dragging_ = false;
  // The value already moved while dragging; the release reports it once more
  // as a change, as the user has now let go of it.
  if (value_ != dragStartValue_ && onChange) onChange(ScrollNotification::Change);
  return true;
}

bool ScrollBar::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    const auto& handler = message == WM_SETFOCUS ? onGotFocus : onLostFocus;
    if (handler) handler();
    return true;
  }
  if (message != WM_KEYDOWN) return false;
  if (!Enabled()) return true;
  std::int16_t keyCode = static_cast<std::int16_t>(wParam & 0xFFFF);
  std::int16_t shift = GetShiftState();
  if (onKeyDown) onKeyDown(keyCode, shift);
  if (keyCode != 0) HandleKey(keyCode);
  return true;
}

void ScrollBar::HandleKey(int keyCode) {
  switch (keyCode) {
    case VK_LEFT:
    case VK_UP:
      Step(-smallChange_);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      Step(smallChange_);
      break;
    case VK_PRIOR:
      Step(-largeChange_);
      break;
    case VK_NEXT:
      Step(largeChange_);
      break;
    case VK_HOME:
      Assign(min_, ScrollNotification::Change);
      break;
    case VK_END:
      Assign(max_, ScrollNotification::Change);
      break;
    default:
      break;
  }
}

}  // namespace pixavue::platform
