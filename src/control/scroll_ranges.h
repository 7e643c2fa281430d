#pragma once
// The ranges of the two scroll bars: how far the displayed image reaches
// past the surface on each axis, in screen pixels, plus the room the other
// bar takes when that axis scrolls too. A bar that shows narrows the view
// across it, so an axis that fits the surface may still need a range once
// the other axis's bar is in place; both axes are measured until neither
// changes.

#include <cstdint>

namespace pixavue::control {

struct ScrollRangeInput {
  std::int32_t surfaceWidth = 0;  // the client area, bars included
  std::int32_t surfaceHeight = 0;
  std::int32_t displayedWidth = 0;  // the zoomed image
  std::int32_t displayedHeight = 0;
  std::int32_t verticalBarWidth = 0;
  std::int32_t horizontalBarHeight = 0;
  bool barsShow = false;   // bars with a range are shown and take room from the view
  bool forceBars = false;  // both bars show (and take room) whether needed or not
};

struct ScrollRanges {
  std::int16_t horizontal = 0;  // the bars' Max; saturated at 16 bits
  std::int16_t vertical = 0;

  friend bool operator==(const ScrollRanges&, const ScrollRanges&) = default;
};

ScrollRanges ComputeScrollRanges(const ScrollRangeInput& input);

}  // namespace pixavue::control
