#pragma once
// The geometry of drawing and editing a selection rectangle with the
// pointer, in surface pixels: the rubber band along one axis, the part of
// the rectangle under the pointer, the pointer shown over each part, and
// the rectangle a drag of that part asks for.

#include <pixavue/control/viewer_enums.h>

#include <cstdint>

namespace pixavue::control {

// How far from an edge the pointer still counts as on it.
inline constexpr double kRectTolerance = 4;

struct ShapeBox {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  friend bool operator==(const ShapeBox&, const ShapeBox&) = default;
};

// One axis of the rubber band: from the anchor to the pointer, cut at the
// displayed image's edges.
struct Band {
  double start = 0;
  double length = 0;
};
Band StretchAxis(double anchor, double pointer, double imageStart, double imageLength);

// Parts of the rectangle: corners 1 (top-left), 2 (top-right), 3
// (bottom-left), 4 (bottom-right); edges 5 (left), 6 (right), 7 (bottom),
// 8 (top); 9 the body. The first match in that order wins.
std::int32_t HitZone(const ShapeBox& shape, double x, double y);
MousePointers ZonePointer(std::int32_t zone);

// Corners and edges follow the pointer, the body moves by the pointer's
// step from (lastX, lastY); any other zone changes nothing.
ShapeBox DraggedBox(std::int32_t zone, const ShapeBox& shape, double x, double y, double lastX, double lastY);
// A positive size, inside the displayed image.
bool FitsImage(const ShapeBox& box, const ShapeBox& image);

}  // namespace pixavue::control
