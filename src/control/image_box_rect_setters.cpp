// Setting the selection rectangle in image pixels, surface pixels and
// millimetres, and zooming or scrolling to it.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

namespace pixavue {
namespace {

constexpr double kMillimetresPerInch = 25.4;

// Millimetres to pixels at dpi, rounded and held within 32 bits (NaN gives 0).
std::int32_t Pixels(float millimetres, float dpi) {
  return RoundHalfEven(static_cast<double>(millimetres) * dpi / kMillimetresPerInch);
}

}  // namespace

void ImageBox::SetRectValues(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth, std::int32_t nHeight) {
  PlaceRectFromImage(nLeft, nTop, nWidth, nHeight);
  SyncRectCache();
}

void ImageBox::SetRectValuesObject(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth,
                                   std::int32_t nHeight) {
  if (nWidth > 0 && nHeight > 0) {
    shRect_.Move(static_cast<float>(nLeft), static_cast<float>(nTop), static_cast<float>(nWidth),
                 static_cast<float>(nHeight));
  }
  SyncRectCache();
}

void ImageBox::SetRectValuesMM(float nLeft, float nTop, float nWidth, float nHeight) {
  const float horizontal = props_.HorizontalResolution;
  const float vertical = props_.VerticalResolution;
  SetRectValues(Pixels(nLeft, horizontal), Pixels(nTop, vertical), Pixels(nWidth, horizontal),
                Pixels(nHeight, vertical));
}

// The layout under the lock zooms to the rectangle's area and scrolls to
// its top-left corner without drawing; the centring then draws once.
QuorvexStatus ImageBox::ZoomRect() {
  if (!isRectDrawed()) return state_.LastStatus;
  const bool wasLocked = props_.LockControl;
  props_.LockControl = true;
  props_.ZoomMode = ZoomModeSelection;
  UpdateLayout();
  props_.LockControl = wasLocked;
  CenterOnRect();
  return state_.LastStatus;
}

void ImageBox::CenterOnRect() {
  if (!isRectDrawed()) return;
  const double viewWidth = surface_.ScaleWidth() - (vScroll_.Visible() ? VerticalBarWidth() : 0);
  const double viewHeight = surface_.ScaleHeight() - (hScroll_.Visible() ? HorizontalBarHeight() : 0);
  const double marginX = (viewWidth - shRect_.Width()) / 2;
  const double marginY = (viewHeight - shRect_.Height()) / 2;
  const std::int32_t v =
      RoundHalfEven(RoundHalfEven(state_.RectCacheTop * props_.Zoom / state_.PixelAspect) - marginY);
  const std::int32_t h = RoundHalfEven(RoundHalfEven(state_.RectCacheLeft * props_.Zoom) - marginX);
  SetHVScrollBarPosition(h, v);
}

}  // namespace pixavue
