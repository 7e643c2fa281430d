// Maps between control and image coordinates, and measures of the image.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::CoordObjectToImage(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&) const {}
void ImageBox::CoordImageToObject(std::int32_t, std::int32_t, std::int32_t&, std::int32_t&) const {}
void ImageBox::GetDisplayedArea(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&) const {}
void ImageBox::GetDisplayedAreaMM(float&, float&, float&, float&) const {}
float ImageBox::GetWidthMM() const { return 0; }
float ImageBox::GetHeightMM() const { return 0; }
void ImageBox::PlaceRectFromImage(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}

}  // namespace pixavue
