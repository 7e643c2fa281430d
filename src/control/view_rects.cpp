#include "view_rects.h"

#include <algorithm>

#include <pixavue/support/rounding.h>

namespace pixavue::control {
namespace {

struct Span {
  std::int32_t start = 0;
  std::int32_t size = 0;
};

struct AxisRects {
  Span source;
  Span destination;
};

// One axis. Screen pixels become image pixels divided by the zoom and
// multiplied by `aspect` (1 horizontally, the pixel aspect vertically), in
// that order so that halves round as the view's other maps round them.
AxisRects ComputeAxis(std::int32_t imageSize, double zoom, double aspect, std::int32_t offset,
                      std::int32_t displayed, std::int32_t view) {
  if (view < displayed) {
    const double start = -static_cast<double>(offset) / zoom * aspect;
    const double size = static_cast<double>(view) / zoom * aspect;
    return {{RoundHalfEven(start), RoundHalfEven(size)}, {0, view}};
  }
  return {{0, imageSize}, {offset, displayed}};
}

// Cuts the span to the image and moves it back inside where it ends past
// the far edge.
Span InsideImage(Span span, std::int32_t imageSize) {
  const std::int32_t extent = std::max(imageSize, 0);
  span.size = std::clamp(span.size, 0, extent);
  span.start = std::clamp(span.start, 0, extent - span.size);
  return span;
}

}  // namespace

ViewRects ComputeViewRects(const ViewGeometry& g) {
  const AxisRects x = ComputeAxis(g.imageWidth, g.zoom, 1.0, g.offsetX, g.displayedWidth, g.viewWidth);
  const AxisRects y = ComputeAxis(g.imageHeight, g.zoom, g.pixelAspect, g.offsetY, g.displayedHeight, g.viewHeight);
  const Span workingX = InsideImage(x.source, g.imageWidth);
  const Span workingY = InsideImage(y.source, g.imageHeight);
  ViewRects rects;
  rects.source = {x.source.start, y.source.start, x.source.size, y.source.size};
  rects.workingSource = {workingX.start, workingY.start, workingX.size, workingY.size};
  rects.destination = {x.destination.start, y.destination.start, x.destination.size, y.destination.size};
  return rects;
}

}  // namespace pixavue::control
