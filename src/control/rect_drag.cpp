#include "rect_drag.h"

#include <cmath>

namespace pixavue::control {
namespace {

bool Near(double a, double b) { return std::abs(a - b) <= kRectTolerance; }

}  // namespace

Band StretchAxis(double anchor, double pointer, double imageStart, double imageLength) {
  const double imageEnd = imageStart + imageLength;
  if (pointer < anchor) {
    if (pointer < imageStart) return {imageStart, std::abs(anchor - imageStart)};
    return {pointer, std::abs(anchor - pointer)};
  }
  return {anchor, pointer <= imageEnd ? std::abs(pointer - anchor) : imageEnd - anchor};
}

std::int32_t HitZone(const ShapeBox& shape, double x, double y) {
  const double right = shape.left + shape.width;
  const double bottom = shape.top + shape.height;
  const bool left = Near(x, shape.left);
  const bool rightEdge = Near(x, right);
  const bool top = Near(y, shape.top);
  const bool bottomEdge = Near(y, bottom);
  if (left && top) return 1;
  if (rightEdge && top) return 2;
  if (left && bottomEdge) return 3;
  if (rightEdge && bottomEdge) return 4;
  if (left) return 5;
  if (rightEdge) return 6;
  if (bottomEdge) return 7;
  if (top) return 8;
  return 9;
}

MousePointers ZonePointer(std::int32_t zone) {
  switch (zone) {
    case 1:
    case 4:
      return MousePointerSize_NW_SE;
    case 2:
    case 3:
      return MousePointerSize_NE_SW;
    case 5:
    case 6:
      return MousePointerSize_W_E;
    case 7:
    case 8:
      return MousePointerSize_N_S;
    default:
      return MousePointerSizeAll;
  }
}

ShapeBox DraggedBox(std::int32_t zone, const ShapeBox& shape, double x, double y, double lastX, double lastY) {
  const double l = shape.left;
  const double t = shape.top;
  const double w = shape.width;
  const double h = shape.height;
  switch (zone) {
    case 1: return {x, y, l + w - x, t + h - y};
    case 2: return {l, y, x - l, t + h - y};
    case 3: return {x, t, l + w - x, y - t};
    case 4: return {l, t, x - l, y - t};
    case 5: return {x, t, l + w - x, h};
    case 6: return {l, t, x - l, h};
    case 7: return {l, t, w, y - t};
    case 8: return {l, y, w, t + h - y};
    case 9: return {l + x - lastX, t + y - lastY, w, h};
    default: return shape;
  }
}

bool FitsImage(const ShapeBox& box, const ShapeBox& image) {
  return box.width > 0 && box.height > 0 && box.left >= image.left && box.top >= image.top &&
         box.top + box.height <= image.top + image.height && box.left + box.width <= image.left + image.width;
}

}  // namespace pixavue::control
