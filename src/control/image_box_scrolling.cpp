// Scroll-bar notifications and the scroll-position members.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::ConnectScrollBars() {}
void ImageBox::OnScrollBarChange(platform::ScrollBar&) {}
void ImageBox::OnScrollBarKey() {}
QuorvexStatus ImageBox::SetHScrollBarPosition(std::int32_t) { return state_.LastStatus; }
QuorvexStatus ImageBox::SetVScrollBarPosition(std::int32_t) { return state_.LastStatus; }
QuorvexStatus ImageBox::SetHVScrollBarPosition(std::int32_t, std::int32_t) { return state_.LastStatus; }

}  // namespace pixavue
