#pragma once
// A windowless rectangle shape drawn over the control (the rubber band of a
// selection): position and size as 32-bit floats in control pixels, border
// colour, width, dash style and raster draw mode. The host draws it; the
// shape only holds what to draw and says when that changed.

#include <cstdint>
#include <functional>

namespace pixavue::platform {

// Dash styles of the border.
enum class ShapeBorderStyle : std::int32_t {
  Transparent = 0,
  Solid = 1,
  Dash = 2,
  Dot = 3,
  DashDot = 4,
  DashDotDot = 5,
  InsideSolid = 6,
};

// Raster operations combining the pen with the pixels below, numbered as the
// binary raster operations of the original platform (13 copies the pen).
enum class ShapeDrawMode : std::int32_t {
  Blackness = 1,
  NotMergePen = 2,
  MaskNotPen = 3,
  NotCopyPen = 4,
  MaskPenNot = 5,
  Invert = 6,
  XorPen = 7,
  NotMaskPen = 8,
  MaskPen = 9,
  NotXorPen = 10,
  Nop = 11,
  MergeNotPen = 12,
  CopyPen = 13,
  MergePenNot = 14,
  MergePen = 15,
  Whiteness = 16,
};

class RectangleShape final {
 public:
  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  bool Visible() const { return visible_; }
  std::uint32_t BorderColor() const { return borderColor_; }  // OLE colour
  std::int16_t BorderWidth() const { return borderWidth_; }
  ShapeBorderStyle BorderStyle() const { return borderStyle_; }
  ShapeDrawMode DrawMode() const { return drawMode_; }

  void SetLeft(float left) { Change(left_, left); }
  void SetTop(float top) { Change(top_, top); }
  // Refuse a negative size (false, nothing changed).
  bool SetWidth(float width);
  bool SetHeight(float height);
  void Move(float left, float top, float width, float height);
  void SetVisible(bool visible) { Change(visible_, visible); }
  void SetBorderColor(std::uint32_t oleColor) { Change(borderColor_, oleColor); }
  // Refuse values outside the types' ranges; a width below 1 is refused too.
  bool SetBorderWidth(std::int16_t width);
  bool SetBorderStyle(std::int32_t style);
  bool SetDrawMode(std::int32_t mode);

  std::function<void()> onChanged;  // the host redraws the shape

 private:
  template <typename T>
  void Change(T& field, T value) {
    if (field == value) return;
    field = value;
    if (onChanged) onChanged();
  }

  float left_ = 0;
  float top_ = 0;
  float width_ = 0;
  float height_ = 0;
  bool visible_ = false;
  std::uint32_t borderColor_ = 0;
  std::int16_t borderWidth_ = 1;
  ShapeBorderStyle borderStyle_ = ShapeBorderStyle::Solid;
  ShapeDrawMode drawMode_ = ShapeDrawMode::CopyPen;
};

}  // namespace pixavue::platform
