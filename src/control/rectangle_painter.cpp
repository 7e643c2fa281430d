#include "rectangle_painter.h"

#include <pixavue/control/view_image.h>
#include <pixavue/support/color.h>
#include <pixavue/support/rounding.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <span>

namespace pixavue {
namespace {

using platform::ShapeBorderStyle;
using platform::ShapeDrawMode;

constexpr std::uint32_t kColorBits = 0x00FFFFFFu;

// Runs of pixels along the border, drawn and skipped in turn.
constexpr std::array<int, 2> kDash{18, 6};
constexpr std::array<int, 2> kDot{3, 3};
constexpr std::array<int, 4> kDashDot{9, 6, 3, 6};
constexpr std::array<int, 6> kDashDotDot{9, 3, 3, 3, 3, 3};

// Edges of a box, right and bottom exclusive.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const { return left >= right || top >= bottom; }
  Box Grown(int by) const { return {left - by, top - by, right + by, bottom + by}; }
};

std::span<const int> DashRuns(ShapeBorderStyle style) {
  switch (style) {
    case ShapeBorderStyle::Dash:
      return kDash;
    case ShapeBorderStyle::Dot:
      return kDot;
    case ShapeBorderStyle::DashDot:
      return kDashDot;
    case ShapeBorderStyle::DashDotDot:
      return kDashDotDot;
    default:
      return {};
  }
}

bool IsDrawnRun(std::span<const int> runs, int ordinal) {
  int position = ordinal % std::accumulate(runs.begin(), runs.end(), 0);
  for (std::size_t run = 0; run < runs.size(); ++run) {
    if (position < runs[run]) return run % 2 == 0;
    position -= runs[run];
  }
  return false;
}

class BorderPlotter final {
 public:
  BorderPlotter(ViewImage& view, ShapeDrawMode mode, std::uint32_t pen) : view_(view), mode_(mode), pen_(pen) {}

  void Plot(int x, int y) {
    if (x < 0 || y < 0 || x >= view_.width || y >= view_.height) return;
    std::uint32_t& pixel = view_.pixels[static_cast<std::size_t>(y) * view_.width + x];
    pixel = 0xFF000000u | CombineRaster(mode_, pen_, pixel & kColorBits);
  }

  void PlotRow(int y, int from, int to) {
    for (int x = std::max(from, 0); x < std::min(to, view_.width); ++x) Plot(x, y);
  }

  // Every pixel of outer that is not in inner.
  void PlotBand(const Box& outer, const Box& inner) {
    for (int y = std::max(outer.top, 0); y < std::min(outer.bottom, view_.height); ++y) {
      if (inner.Empty() || y < inner.top || y >= inner.bottom) {
        PlotRow(y, outer.left, outer.right);
      } else {
        PlotRow(y, outer.left, inner.left);
        PlotRow(y, inner.right, outer.right);
      }
    }
  }

  // The 1-pixel outline of box, clockwise from its top-left corner, each
  // pixel visited once and drawn when its place falls in a drawn run.
  void PlotDashedOutline(const Box& box, std::span<const int> runs) {
    int ordinal = 0;
    auto visit = [&](int x, int y) {
      if (IsDrawnRun(runs, ordinal++)) Plot(x, y);
    };
    for (int x = box.left; x < box.right; ++x) visit(x, box.top);
    for (int y = box.top + 1; y < box.bottom; ++y) visit(box.right - 1, y);
    if (box.bottom - 1 > box.top) {
      for (int x = box.right - 2; x >= box.left; --x) visit(x, box.bottom - 1);
    }
    if (box.right - 1 > box.left) {
      for (int y = box.bottom - 2; y > box.top; --y) visit(box.left, y);
    }
  }

 private:
  ViewImage& view_;
  ShapeDrawMode mode_;
  std::uint32_t pen_;
};

Box EdgesOf(const platform::RectangleShape& shape) {
  const double left = shape.Left();
  const double top = shape.Top();
  return {RoundHalfEven(left), RoundHalfEven(top), RoundHalfEven(left + shape.Width()),
          RoundHalfEven(top + shape.Height())};
}

}  // namespace

std::uint32_t CombineRaster(ShapeDrawMode mode, std::uint32_t pen, std::uint32_t pixel) {
  // Mode n is the truth table n - 1 over (pen bit, pixel bit): its bit 3
  // gives the result for 1,1, bit 2 for 1,0, bit 1 for 0,1 and bit 0 for 0,0.
  const auto table = static_cast<std::uint32_t>(mode) - 1;
  std::uint32_t result = 0;
  if (table & 8) result |= pen & pixel;
  if (table & 4) result |= pen & ~pixel;
  if (table & 2) result |= ~pen & pixel;
  if (table & 1) result |= ~pen & ~pixel;
  return result & kColorBits;
}

void PaintRectangleShape(const platform::RectangleShape& shape, ViewImage& view) {
  if (!shape.Visible() || !(shape.Width() > 1) || !(shape.Height() > 1)) return;
  if (shape.BorderStyle() == ShapeBorderStyle::Transparent) return;
  const Box edges = EdgesOf(shape);
  if (edges.Empty()) return;
  BorderPlotter plotter(view, shape.DrawMode(), cColor::OpaqueFromCOLORREF(shape.BorderColor()) & kColorBits);
  const int width = std::max<int>(1, shape.BorderWidth());
  const std::span<const int> runs = DashRuns(shape.BorderStyle());
  if (width == 1 && !runs.empty()) {
    plotter.PlotDashedOutline(edges, runs);
    return;
  }
  // A wider pen draws dashed styles solid, as the platform's wide pens do.
  const int outward = shape.BorderStyle() == ShapeBorderStyle::InsideSolid ? 0 : (width - 1) / 2;
  const Box outer = edges.Grown(outward);
  plotter.PlotBand(outer, outer.Grown(-width));
}

}  // namespace pixavue
