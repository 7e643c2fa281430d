// The viewport: zoom, placement, scroll ranges and the bars' arrangement.
// The layout arithmetic comes with the viewport work; until then these
// procedures leave the view as it is.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::UpdateLayout(engine::ImageId) {}

void ImageBox::ComputeMaxZoom() {}

void ImageBox::UpdateScrollRanges() {}

void ImageBox::ArrangeScrollBars() {}

}  // namespace pixavue
