// Zoom members: custom zoom, steps, the fitting modes and zoom to an area.

#include <pixavue/control/image_box.h>

namespace pixavue {

QuorvexStatus ImageBox::SetZoom(float) { return state_.LastStatus; }
QuorvexStatus ImageBox::ZoomIN() { return state_.LastStatus; }
QuorvexStatus ImageBox::ZoomOUT() { return state_.LastStatus; }
QuorvexStatus ImageBox::SetZoom100() { return state_.LastStatus; }
QuorvexStatus ImageBox::SetZoomFitControl() { return state_.LastStatus; }
QuorvexStatus ImageBox::SetZoomWidthControl() { return state_.LastStatus; }
QuorvexStatus ImageBox::SetZoomHeightControl() { return state_.LastStatus; }
QuorvexStatus ImageBox::SetZoomControl() { return state_.LastStatus; }
QuorvexStatus ImageBox::ZoomArea(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return state_.LastStatus; }

}  // namespace pixavue
