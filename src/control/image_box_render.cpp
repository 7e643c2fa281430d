// Rendering: the visible part of the image onto the surface.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::RenderView(engine::ImageId, RenderPass) {}
platform::InterpolationMode ImageBox::ChooseInterpolation() { return platform::InterpolationModeNearestNeighbor; }
QuorvexStatus ImageBox::MakeDisplayCopy() { return state_.LastStatus; }
void ImageBox::OnQualityTimer() {}
void ImageBox::Refresh() {}

}  // namespace pixavue
