#pragma once
// System metrics the control lays itself out with. The scroll-bar thickness
// is 17 pixels, the usual value of the original platform; hosts and tests may
// set another for the calling thread.

namespace pixavue::platform {

inline constexpr int SM_CXVSCROLL = 2;  // width of a vertical scroll bar
inline constexpr int SM_CYHSCROLL = 3;  // height of a horizontal scroll bar
inline constexpr int kDefaultScrollBarThickness = 17;

int GetSystemMetrics(int index);  // 0 for an index not listed above

// Overrides the thickness for this thread; a value below 1 restores the default.
void SetScrollBarThickness(int pixels);

}  // namespace pixavue::platform
