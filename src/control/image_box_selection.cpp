// The selection rectangle's properties and its cleared state.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

#include <algorithm>
#include <cstdint>

namespace pixavue {
namespace {

std::int32_t SaturatingSum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

}  // namespace

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

// Either side longer than 1 is enough here (isRectDrawed needs both). The
// left and top are not clamped; the right and bottom are cut at the image.
void ImageBox::GetRectValues(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth,
                             std::int32_t& nHeight) const {
  const double left = shRect_.Left();
  const double top = shRect_.Top();
  const double width = shRect_.Width();
  const double height = shRect_.Height();
  if (!(width > 1 || height > 1)) {
    nLeft = nTop = nWidth = nHeight = 0;
    return;
  }
  CoordObjectToImage(RoundHalfEven(left), RoundHalfEven(top), nLeft, nTop);
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  CoordObjectToImage(RoundHalfEven(left + width), RoundHalfEven(top + height), right, bottom);
  nWidth = right - nLeft;
  nHeight = bottom - nTop;
  if (bottom > props_.ImageHeight) nHeight = props_.ImageHeight - nTop;
  if (right > props_.ImageWidth) nWidth = props_.ImageWidth - nLeft;
}

// Follows zoom and scrolling: the rectangle is kept in image pixels and
// placed again after each render. A side that would vanish stays 1 pixel.
void ImageBox::PlaceRectFromImage(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  CoordImageToObject(left, top, x1, y1);
  CoordImageToObject(SaturatingSum(left, width), SaturatingSum(top, height), x2, y2);
  const std::int64_t spanX = std::int64_t{x2} - x1;
  const std::int64_t spanY = std::int64_t{y2} - y1;
  shRect_.Move(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(spanX > 0 ? spanX : 1),
               static_cast<float>(spanY > 0 ? spanY : 1));
}

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
