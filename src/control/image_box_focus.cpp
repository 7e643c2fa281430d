// Which part of the control holds the keyboard focus: the surface, a
// scroll bar or the corner box. A render hands a focus the control holds
// to the corner box.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::ConnectFocusTracking() {
  hScroll_.onGotFocus = [this] { TrackFocus(kFocusHScroll, true); };
  hScroll_.onLostFocus = [this] { TrackFocus(kFocusHScroll, false); };
  vScroll_.onGotFocus = [this] { TrackFocus(kFocusVScroll, true); };
  vScroll_.onLostFocus = [this] { TrackFocus(kFocusVScroll, false); };
  shCorner_.onGotFocus = [this] { TrackFocus(kFocusCorner, true); };
  shCorner_.onLostFocus = [this] { TrackFocus(kFocusCorner, false); };
}

// A part losing the focus clears FocusedPart only while it still names
// that part: the next part may already have taken it.
void ImageBox::TrackFocus(std::int32_t part, bool gotFocus) {
  if (gotFocus) {
    state_.FocusedPart = part;
  } else if (state_.FocusedPart == part) {
    state_.FocusedPart = 0;
  }
}

}  // namespace pixavue
