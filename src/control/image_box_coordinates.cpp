// Maps between control and image coordinates at the current zoom and
// offsets, and measures of the image. Vertically one image pixel covers
// Zoom / PixelAspect screen pixels.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

namespace pixavue {
namespace {

constexpr double kMillimetresPerInch = 25.4;

float Millimetres(double pixels, float dpi) { return static_cast<float>(pixels * kMillimetresPerInch / dpi); }

// offset + rounded, held within 32 bits for callers that pass far-off points.
std::int32_t Displace(std::int32_t offset, double distance) {
  return RoundHalfEven(static_cast<double>(offset) + RoundHalfEven(distance));
}

}  // namespace

void ImageBox::CoordObjectToImage(std::int32_t nObjectX, std::int32_t nObjectY, std::int32_t& nImageX,
                                  std::int32_t& nImageY) const {
  const double zoom = props_.Zoom;
  if (zoom == 0) return;
  const double dy = static_cast<double>(nObjectY) - state_.ImageOffsetY;
  const double dx = static_cast<double>(nObjectX) - state_.ImageOffsetX;
  nImageY = RoundHalfEven(dy / zoom * state_.PixelAspect);
  nImageX = RoundHalfEven(dx / zoom);
}

void ImageBox::CoordImageToObject(std::int32_t nImageX, std::int32_t nImageY, std::int32_t& nObjectX,
                                  std::int32_t& nObjectY) const {
  if (state_.PixelAspect != 0) {
    nObjectY = Displace(state_.ImageOffsetY, nImageY * props_.Zoom / state_.PixelAspect);
  }
  nObjectX = Displace(state_.ImageOffsetX, nImageX * props_.Zoom);
}

void ImageBox::GetDisplayedArea(std::int32_t& nLeft, std::int32_t& nTop, std::int32_t& nWidth,
                                std::int32_t& nHeight) const {
  nLeft = state_.SourceLeft;
  nTop = state_.SourceTop;
  nWidth = state_.SourceWidth;
  nHeight = state_.SourceHeight;
}

void ImageBox::GetDisplayedAreaMM(float& nLeft, float& nTop, float& nWidth, float& nHeight) const {
  if (const float dpi = props_.HorizontalResolution; dpi > 0) {
    nLeft = Millimetres(state_.SourceLeft, dpi);
    nWidth = Millimetres(state_.SourceWidth, dpi);
  }
  if (const float dpi = props_.VerticalResolution; dpi > 0) {
    nTop = Millimetres(state_.SourceTop, dpi);
    nHeight = Millimetres(state_.SourceHeight, dpi);
  }
}

float ImageBox::GetWidthMM() const {
  const float dpi = props_.HorizontalResolution;
  return dpi > 0 ? Millimetres(props_.ImageWidth, dpi) : 0.0f;
}

float ImageBox::GetHeightMM() const {
  const float dpi = props_.VerticalResolution;
  return dpi > 0 ? Millimetres(props_.ImageHeight, dpi) : 0.0f;
}

}  // namespace pixavue
