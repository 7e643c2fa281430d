// The selection rectangle: its properties, its cleared state, its extent in
// image pixels (kept so that it follows zoom and scrolling) and the getters.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

#include <algorithm>
#include <cstdint>

namespace pixavue {
namespace {

constexpr double kMillimetresPerInch = 25.4;

std::int32_t SaturatingSum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

// A side counts once it is longer than 1 pixel; the getters need only one.
bool HasExtent(const platform::RectangleShape& shape) { return shape.Width() > 1 || shape.Height() > 1; }

float Millimetres(std::int32_t pixels, float dpi) {
  return static_cast<float>(pixels / static_cast<double>(dpi) * kMillimetresPerInch);
}

struct RectValues {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

RectValues ValuesOf(const ImageBox& box) {
  RectValues values;
  box.GetRectValues(values.left, values.top, values.width, values.height);
  return values;
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

// Runs after every change of the rectangle made here: the image-pixel copy
// that the next render places it from.
void ImageBox::SyncRectCache() {
  if (!ImageShown()) {
    state_.RectDrawn = false;
    return;
  }
  state_.RectDrawn = isRectDrawed();
  if (state_.RectDrawn) {
    GetRectValues(state_.RectCacheLeft, state_.RectCacheTop, state_.RectCacheWidth, state_.RectCacheHeight);
  }
}

// The left and top are not clamped; the right and bottom are cut at the
// image.
void ImageBox::GetRectValues(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth,
                             std::int32_t& nHeight) const {
  if (!HasExtent(shRect_)) {
    nLeft = nTop = nWidth = nHeight = 0;
    return;
  }
  const double left = shRect_.Left();
  const double top = shRect_.Top();
  CoordObjectToImage(RoundHalfEven(left), RoundHalfEven(top), nLeft, nTop);
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  CoordObjectToImage(RoundHalfEven(left + shRect_.Width()), RoundHalfEven(top + shRect_.Height()), right, bottom);
  nWidth = RoundHalfEven(static_cast<double>(right) - nLeft);
  nHeight = RoundHalfEven(static_cast<double>(bottom) - nTop);
  if (bottom > props_.ImageHeight) nHeight = RoundHalfEven(static_cast<double>(props_.ImageHeight) - nTop);
  if (right > props_.ImageWidth) nWidth = RoundHalfEven(static_cast<double>(props_.ImageWidth) - nLeft);
}

std::int32_t ImageBox::GetRectX() const { return ValuesOf(*this).left; }
std::int32_t ImageBox::GetRectY() const { return ValuesOf(*this).top; }
std::int32_t ImageBox::GetRectWidth() const { return ValuesOf(*this).width; }
std::int32_t ImageBox::GetRectHeight() const { return ValuesOf(*this).height; }

void ImageBox::GetRectValuesObject(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth,
                                   std::int32_t& nHeight) const {
  if (!HasExtent(shRect_)) {
    nLeft = nTop = nWidth = nHeight = 0;
    return;
  }
  nLeft = RoundHalfEven(shRect_.Left());
  nTop = RoundHalfEven(shRect_.Top());
  nWidth = RoundHalfEven(shRect_.Width());
  nHeight = RoundHalfEven(shRect_.Height());
}

// Width and height stay as the caller passed them when their resolution is
// unknown; left and top are then 0, as they are when not past the origin.
void ImageBox::GetRectValuesMM(float& nLeft, float& nTop, float& nWidth, float& nHeight) const {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  GetRectValues(left, top, width, height);
  const float horizontal = props_.HorizontalResolution;
  const float vertical = props_.VerticalResolution;
  nTop = top > 0 && vertical > 0 ? Millimetres(top, vertical) : 0.0f;
  if (vertical > 0) nHeight = Millimetres(height, vertical);
  nLeft = left > 0 && horizontal > 0 ? Millimetres(left, horizontal) : 0.0f;
  if (horizontal > 0) nWidth = Millimetres(width, horizontal);
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
