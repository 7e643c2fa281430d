#include "scroll_ranges.h"

#include <pixavue/support/rounding.h>

namespace pixavue::control {
namespace {

struct BarNeeds {
  bool horizontal = false;
  bool vertical = false;
};

// Whether each axis scrolls. Without bars that take room only the surface
// counts; otherwise each axis is measured against the surface less the
// other bar. A bar can only bring in the other one, so the second round
// settles both.
BarNeeds NeededBars(const ScrollRangeInput& in) {
  BarNeeds needs{in.displayedWidth > in.surfaceWidth, in.displayedHeight > in.surfaceHeight};
  if (!in.barsShow) return needs;
  for (int round = 0; round < 2; ++round) {
    const bool verticalBar = in.forceBars || needs.vertical;
    needs.horizontal = in.displayedWidth > in.surfaceWidth - (verticalBar ? in.verticalBarWidth : 0);
    const bool horizontalBar = in.forceBars || needs.horizontal;
    needs.vertical = in.displayedHeight > in.surfaceHeight - (horizontalBar ? in.horizontalBarHeight : 0);
  }
  return needs;
}

}  // namespace

ScrollRanges ComputeScrollRanges(const ScrollRangeInput& in) {
  const BarNeeds needs = NeededBars(in);
  ScrollRanges ranges;
  if (needs.horizontal) {
    const bool verticalBar = in.forceBars || needs.vertical;
    ranges.horizontal = RoundHalfEven16(static_cast<double>(in.displayedWidth) - in.surfaceWidth +
                                        (verticalBar ? in.verticalBarWidth : 0));
  }
  if (needs.vertical) {
    const bool horizontalBar = in.forceBars || needs.horizontal;
    ranges.vertical = RoundHalfEven16(static_cast<double>(in.displayedHeight) - in.surfaceHeight +
                                      (horizontalBar ? in.horizontalBarHeight : 0));
  }
  return ranges;
}

}  // namespace pixavue::control
