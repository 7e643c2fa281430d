#include <pixavue/platform/window/rectangle_shape.h>

namespace pixavue::platform {

bool RectangleShape::SetWidth(float width) {
  if (!(width >= 0)) return false;  // also refuses NaN
  Change(width_, width);
  return true;
}

bool RectangleShape::SetHeight(float height) {
  if (!(height >= 0)) return false;
  Change(height_, height);
  return true;
}

void RectangleShape::Move(float left, float top, float width, float height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

bool RectangleShape::SetBorderWidth(std::int16_t width) {
  if (width < 1) return false;
  Change(borderWidth_, width);
  return true;
}

bool RectangleShape::SetBorderStyle(std::int32_t style) {
  if (style < static_cast<std::int32_t>(ShapeBorderStyle::Transparent) ||
      style > static_cast<std::int32_t>(ShapeBorderStyle::InsideSolid)) {
    return false;
  }
  Change(borderStyle_, static_cast<ShapeBorderStyle>(style));
  return true;
}

bool RectangleShape::SetDrawMode(std::int32_t mode) {
  if (mode < static_cast<std::int32_t>(ShapeDrawMode::Blackness) ||
      mode > static_cast<std::int32_t>(ShapeDrawMode::Whiteness)) {
    return false;
  }
  Change(drawMode_, static_cast<ShapeDrawMode>(mode));
  return true;
}

}  // namespace pixavue::platform
