// The selection rectangle's properties and its cleared state.

#include <pixavue/control/image_box.h>

namespace pixavue {

// A cleared rectangle sits at (-1, -1), one pixel square, outside the view.
void ImageBox::ClearRect() {
  shRect_.Move(-1, -1, 1, 1);
  state_.LastMouseX = 0;
  state_.LastMouseY = 0;
  state_.RectCacheLeft = 0;
  state_.RectCacheTop = 0;
  state_.RectCacheWidth = 0;
  state_.RectCacheHeight = 0;
  state_.AnchorOutsideX = true;
  state_.AnchorOutsideY = true;
  state_.RectDrawn = false;
}

bool ImageBox::isRectDrawed() const { return shRect_.Width() > 1 && shRect_.Height() > 1; }

void ImageBox::put_RectBorderColor(OLE_COLOR color) {
  shRect_.SetBorderColor(color);
  ReportChange("RectBorderColor");
}

void ImageBox::put_RectBorderSize(std::int16_t size) {
  shRect_.SetBorderWidth(size);
  ReportChange("RectBorderSize");
}

void ImageBox::put_RectBorderStyle(ViewerRectBorderStyle style) {
  props_.RectBorderStyle = style;
  shRect_.SetBorderStyle(style);
  ReportChange("RectBorderStyle");
}

void ImageBox::put_RectDrawMode(ViewerRectDrawMode mode) {
  props_.RectDrawMode = mode;
  shRect_.SetDrawMode(mode);
  ReportChange("RectDrawMode");
}

void ImageBox::put_RectIsEditable(bool editable) {
  props_.RectIsEditable = editable;
  ReportChange("RectIsEditable");
}

}  // namespace pixavue
