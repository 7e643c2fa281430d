// The pointer steps of the selection rectangle: a press starts a new
// rectangle or picks the drawn one for editing, moves stretch the new one
// or move and resize the edited one, and hovering shows what a drag of the
// part under the pointer would do.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

#include "rect_drag.h"

namespace pixavue {
namespace {

control::ShapeBox BoxOf(const platform::RectangleShape& shape) {
  return {shape.Left(), shape.Top(), shape.Width(), shape.Height()};
}

control::ShapeBox DisplayedImage(const ImageBoxRuntime& state) {
  return {static_cast<double>(state.ImageOffsetX), static_cast<double>(state.ImageOffsetY),
          static_cast<double>(state.DisplayedWidth), static_cast<double>(state.DisplayedHeight)};
}

bool DrawsRectangles(ViewerMouseMode mode) { return mode == MouseModeAreaSelection || mode == MouseModeAutoZoom; }

// The press point lies beyond the displayed image on this axis.
bool Outside(std::int32_t point, std::int32_t offset, std::int32_t displayed) {
  return point < offset || static_cast<std::int64_t>(offset) + displayed < point;
}

}  // namespace

bool ImageBox::IsNearRect(float x, float y) const {
  if (!isRectDrawed()) return false;
  const double left = shRect_.Left();
  const double top = shRect_.Top();
  const double tolerance = control::kRectTolerance;
  return left - tolerance <= x && x <= left + shRect_.Width() + tolerance && top - tolerance <= y &&
         y <= top + shRect_.Height() + tolerance;
}

void ImageBox::PressRect(float x, float y) {
  state_.LastMouseX = RoundHalfEven(x);
  state_.LastMouseY = RoundHalfEven(y);
  if (!ImageShown()) {
    ClearRect();
    return;
  }
  if (!DrawsRectangles(props_.MouseMode)) return;
  if (IsNearRect(x, y) && props_.RectIsEditable) {
    state_.RectEditing = true;
  } else {
    StartRect();
  }
}

// The anchor is the press point; on an axis where it lies beyond the
// displayed image the drag will draw nothing.
void ImageBox::StartRect() {
  const std::int32_t x = state_.LastMouseX;
  const std::int32_t y = state_.LastMouseY;
  state_.AnchorOutsideX = Outside(x, state_.ImageOffsetX, state_.DisplayedWidth);
  if (!state_.AnchorOutsideX) shRect_.SetLeft(static_cast<float>(x));
  state_.AnchorOutsideY = Outside(y, state_.ImageOffsetY, state_.DisplayedHeight);
  if (!state_.AnchorOutsideY) shRect_.SetTop(static_cast<float>(y));
  shRect_.SetWidth(1);
  shRect_.SetHeight(1);
  SyncRectCache();
  state_.RectDrawing = true;
}

void ImageBox::StretchRect(float x, float y) {
  if (!DrawsRectangles(props_.MouseMode) || !state_.RectDrawing) return;
  if (!state_.AnchorOutsideX && !state_.AnchorOutsideY) {
    const control::ShapeBox image = DisplayedImage(state_);
    const control::Band across = control::StretchAxis(state_.LastMouseX, x, image.left, image.width);
    const control::Band down = control::StretchAxis(state_.LastMouseY, y, image.top, image.height);
    shRect_.Move(static_cast<float>(across.start), static_cast<float>(down.start),
                 static_cast<float>(across.length), static_cast<float>(down.length));
  }
  SyncRectCache();
}

void ImageBox::HoverRect(float x, float y) {
  if (!ImageShown() || !props_.RectIsEditable || props_.MouseMode != MouseModeAreaSelection) return;
  const bool near = IsNearRect(x, y);
  if (state_.RectEditing) {
    DragRect(x, y);
  } else if (near && !state_.RectDrawing && !state_.Panning) {
    state_.RectHitZone = control::HitZone(BoxOf(shRect_), x, y);
    // The size pointers show even over a pointer the container chose.
    surface_.SetMousePointer(control::ZonePointer(state_.RectHitZone));
  } else {
    ApplyModeCursor();
  }
}

// A change that would turn the rectangle inside out or take it beyond the
// displayed image is not applied.
void ImageBox::DragRect(float x, float y) {
  const control::ShapeBox dragged = control::DraggedBox(state_.RectHitZone, BoxOf(shRect_), x, y,
                                                        state_.LastMouseX, state_.LastMouseY);
  if (state_.RectHitZone == 9) {
    state_.LastMouseX = RoundHalfEven(x);
    state_.LastMouseY = RoundHalfEven(y);
  }
  if (!control::FitsImage(dragged, DisplayedImage(state_))) return;
  shRect_.Move(static_cast<float>(dragged.left), static_cast<float>(dragged.top), static_cast<float>(dragged.width),
               static_cast<float>(dragged.height));
  SyncRectCache();
}

void ImageBox::EndRectDrag() {
  state_.RectDrawing = false;
  state_.RectEditing = false;
}

}  // namespace pixavue
