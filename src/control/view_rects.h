#pragma once
// Which part of the image a render draws, and where: the source rectangle
// cut to the view (image pixels) and the destination on the surface
// (device pixels), from the zoom, the pixel aspect and the image offsets.

#include <cstdint>

namespace pixavue::control {

struct ViewRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

struct ViewGeometry {
  std::int32_t imageWidth = 0;  // image pixels
  std::int32_t imageHeight = 0;
  double zoom = 1.0;  // > 0
  double pixelAspect = 1.0;
  std::int32_t offsetX = 0;  // client position of the image's top-left corner
  std::int32_t offsetY = 0;
  std::int32_t displayedWidth = 0;  // the zoomed image
  std::int32_t displayedHeight = 0;
  std::int32_t viewWidth = 0;  // the client area less the visible bars
  std::int32_t viewHeight = 0;
};

struct ViewRects {
  // The visible part as the view computes it: what the control reports as
  // the displayed area. Near the far edges it may reach past the image.
  ViewRect source;
  // The rectangle drawn from: the source moved back inside the image (and
  // cut to it when wider or taller), so that no draw reads past its edges.
  ViewRect workingSource;
  ViewRect destination;
};

// An axis whose zoomed image is larger than the view shows the part under
// the view, drawn over the whole view; otherwise the whole image is drawn
// at its offset and displayed size. Rounding is half to even.
ViewRects ComputeViewRects(const ViewGeometry& geometry);

}  // namespace pixavue::control
