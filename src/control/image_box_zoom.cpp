// Zoom members: custom zoom, steps, the fitting modes and zoom to an area.
// Requests the view cannot honour are refused silently.

#include <pixavue/control/image_box.h>

namespace pixavue {
namespace {

// The lowest zoom a step out may reach, exclusive.
constexpr double kSmallestZoom = 0.001;

}  // namespace

QuorvexStatus ImageBox::SetZoom(float nZoomPercent) {
  const double zoom = static_cast<double>(nZoomPercent) / 100.0;
  if (nZoomPercent > 0 && zoom <= state_.MaxZoom) {
    props_.ZoomMode = ZoomCustom;
    props_.Zoom = zoom;
    UpdateLayout();
  }
  return state_.LastStatus;
}

QuorvexStatus ImageBox::ZoomIN() {
  const double step = props_.ZoomStep / 100.0;
  if (props_.Zoom + step <= state_.MaxZoom && ImageShown()) {
    props_.ZoomMode = ZoomCustom;
    props_.Zoom += step;
    UpdateLayout();
  }
  return state_.LastStatus;
}

QuorvexStatus ImageBox::ZoomOUT() {
  const double step = props_.ZoomStep / 100.0;
  if (props_.Zoom - step > kSmallestZoom && ImageShown()) {
    props_.ZoomMode = ZoomCustom;
    props_.Zoom -= step;
    UpdateLayout();
  }
  return state_.LastStatus;
}

// A mode already in force is not laid out again.
QuorvexStatus ImageBox::SwitchZoomMode(ViewerZoomMode mode) {
  if (props_.ZoomMode != mode) {
    props_.ZoomMode = mode;
    UpdateLayout();
  }
  return state_.LastStatus;
}

QuorvexStatus ImageBox::SetZoom100() { return SwitchZoomMode(Zoom100); }
QuorvexStatus ImageBox::SetZoomFitControl() { return SwitchZoomMode(ZoomFitToControl); }
QuorvexStatus ImageBox::SetZoomWidthControl() { return SwitchZoomMode(ZoomWidthControl); }
QuorvexStatus ImageBox::SetZoomHeightControl() { return SwitchZoomMode(ZoomHeightControl); }
QuorvexStatus ImageBox::SetZoomControl() { return SwitchZoomMode(ZoomToControl); }

QuorvexStatus ImageBox::ZoomArea(std::int32_t nLeft, std::int32_t nTop, std::int32_t nWidth, std::int32_t nHeight) {
  if (nWidth < 1 || nHeight < 1) {
    state_.LastStatus = QuorvexStatus::InvalidParameter;
    return state_.LastStatus;
  }
  state_.AreaLeft = nLeft;
  state_.AreaTop = nTop;
  state_.AreaWidth = nWidth;
  state_.AreaHeight = nHeight;
  props_.ZoomMode = ZoomModeArea;
  UpdateLayout();
  return state_.LastStatus;
}

}  // namespace pixavue
