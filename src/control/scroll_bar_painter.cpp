#include "scroll_bar_painter.h"

#include <pixavue/control/view_image.h>
#include <pixavue/support/rounding.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace pixavue {
namespace {

constexpr int kShortestThumb = 8;

void FillRect(ViewImage& view, int left, int top, int right, int bottom, std::uint32_t color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, view.width);
  bottom = std::min(bottom, view.height);
  for (int y = top; y < bottom; ++y) {
    const auto row = view.pixels.begin() + static_cast<std::ptrdiff_t>(y) * view.width;
    if (left < right) std::fill(row + left, row + right, color);
  }
}

// A bar seen along its length: positions along and across it map to view
// pixels, so that one drawing serves both orientations.
class BarCanvas final {
 public:
  BarCanvas(const platform::ScrollBar& bar, ViewImage& view) : bar_(bar), view_(view) {}

  bool Horizontal() const { return bar_.Orientation() == platform::ScrollBarOrientation::Horizontal; }
  int Length() const { return Horizontal() ? bar_.Width() : bar_.Height(); }
  int Thickness() const { return Horizontal() ? bar_.Height() : bar_.Width(); }

  // Fills [alongFrom, alongTo) x [acrossFrom, acrossTo), cut to the bar.
  void Fill(int alongFrom, int alongTo, int acrossFrom, int acrossTo, std::uint32_t color) {
    alongFrom = std::max(alongFrom, 0);
    alongTo = std::min(alongTo, Length());
    acrossFrom = std::max(acrossFrom, 0);
    acrossTo = std::min(acrossTo, Thickness());
    if (alongFrom >= alongTo || acrossFrom >= acrossTo) return;
    if (Horizontal()) {
      FillRect(view_, bar_.Left() + alongFrom, bar_.Top() + acrossFrom, bar_.Left() + alongTo, bar_.Top() + acrossTo,
               color);
    } else {
      FillRect(view_, bar_.Left() + acrossFrom, bar_.Top() + alongFrom, bar_.Left() + acrossTo, bar_.Top() + alongTo,
               color);
    }
  }

 private:
  const platform::ScrollBar& bar_;
  ViewImage& view_;
};

int ButtonLength(const BarCanvas& canvas) { return std::min(canvas.Thickness(), canvas.Length() / 2); }

// An arrow button from `start` along the bar, its triangle pointing towards
// the bar's start (towardsStart) or its end.
void PaintArrowButton(BarCanvas& canvas, int start, bool towardsStart, std::uint32_t arrowColor) {
  const int button = ButtonLength(canvas);
  canvas.Fill(start, start + button, 0, canvas.Thickness(), kScrollButtonColor);
  const int height = std::max(1, std::min(button, canvas.Thickness()) / 4);
  const int first = start + button / 2 - height / 2;
  const int middle = canvas.Thickness() / 2;
  for (int i = 0; i < height; ++i) {
    const int along = towardsStart ? first + i : first + height - 1 - i;
    canvas.Fill(along, along + 1, middle - i, middle + i + 1, arrowColor);
  }
}

}  // namespace

ThumbPlace PlaceThumb(const platform::ScrollBar& bar) {
  const bool horizontal = bar.Orientation() == platform::ScrollBarOrientation::Horizontal;
  const int length = horizontal ? bar.Width() : bar.Height();
  const int thickness = horizontal ? bar.Height() : bar.Width();
  const int button = std::min(thickness, length / 2);
  const int track = length - 2 * button;
  if (!bar.Enabled() || track <= 0) return {};
  const int span = std::abs(bar.Max() - bar.Min());
  const int large = std::max<int>(1, bar.LargeChange());
  const int proportional = static_cast<int>(static_cast<std::int64_t>(track) * large / (span + large));
  const int thumb = std::clamp(proportional, std::min(track, kShortestThumb), track);
  const double fraction = span == 0 ? 0.0 : static_cast<double>(bar.Value() - bar.Min()) / (bar.Max() - bar.Min());
  return {button + RoundHalfEven((track - thumb) * std::clamp(fraction, 0.0, 1.0)), thumb};
}

void PaintScrollBar(const platform::ScrollBar& bar, ViewImage& view) {
  if (!bar.Visible()) return;
  BarCanvas canvas(bar, view);
  canvas.Fill(0, canvas.Length(), 0, canvas.Thickness(), kScrollTrackColor);
  const std::uint32_t arrow = bar.Enabled() ? kScrollArrowColor : kScrollDisabledArrowColor;
  PaintArrowButton(canvas, 0, true, arrow);
  PaintArrowButton(canvas, canvas.Length() - ButtonLength(canvas), false, arrow);
  const ThumbPlace thumb = PlaceThumb(bar);
  const int inset = canvas.Thickness() / 6;  // the track shows on both sides of the thumb
  if (thumb.length > 0) {
    canvas.Fill(thumb.start, thumb.start + thumb.length, inset, canvas.Thickness() - inset, kScrollThumbColor);
  }
}

void PaintCornerBox(const platform::FocusBox& box, ViewImage& view) {
  if (!box.Visible()) return;
  FillRect(view, box.Left(), box.Top(), box.Left() + box.Width(), box.Top() + box.Height(), kCornerBoxColor);
}

}  // namespace pixavue
