// Taking over a newly loaded (or re-selected) image: its page or frame
// count, GIF frame delays, size, resolutions and pixel aspect.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/shell/message_box.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace pixavue {
namespace {

constexpr std::int32_t kMillisecondsPerDelayUnit = 10;  // GIF delays count hundredths of a second
constexpr std::int32_t kZeroDelayMs = 100;              // a frame without a delay stays this long

std::int32_t DelayMilliseconds(std::int32_t hundredths) {
  if (hundredths == 0) return kZeroDelayMs;
  const std::int64_t ms = std::int64_t{hundredths} * kMillisecondsPerDelayUnit;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// bypassImage, when not 0, is measured instead of the current image, and
// its pages are not counted again.
void ImageBox::AdoptImage(engine::ImageId bypassImage) {
  ClearRect();
  engine::ImageId image = bypassImage;
  if (image == engine::kNoImage) {
    image = state_.EngineState.CurrentImage;
    ReadPageCount(image);
  }
  // Measured afresh each time: a status left by an earlier member says
  // nothing about this image.
  QueryImageGeometry(image);
  state_.ImageAdopted = state_.LastStatus == QuorvexStatus::OK;
  if (!state_.ImageAdopted) return;
  ComputePixelAspect();
  props_.ImageWidth = std::max(props_.ImageWidth, 1);
  props_.ImageHeight = std::max(props_.ImageHeight, 1);
  ComputeMaxZoom();
}

// GIFs count their frames and keep their delays; TIFF documents count their
// pages; anything else is one page.
void ImageBox::ReadPageCount(engine::ImageId image) {
  const std::string format = engine::GetFormatName(image);
  state_.FrameDelays.clear();
  if (format == "GIF") {
    // The frames of a split document (a GIF from a stream) are page files,
    // not frames of the decoder: the document counts them.
    const QuorvexStatus counted = engine::IsSplitGif(image) ? engine::GetGifPageCount(image, props_.PageCount)
                                                            : engine::GetGifFrameCount(image, props_.PageCount);
    if (counted != QuorvexStatus::OK) props_.PageCount = 1;
    if (props_.PageCount > 1) ReadFrameDelays(image);
    state_.IsAnimatedGif = props_.PageCount > 1;
    if (state_.IsAnimatedGif && props_.AnimateGIF) PlayGif();
  } else if (format == "TIFF") {
    state_.IsAnimatedGif = false;
    if (engine::GetTiffPageCount(image, props_.PageCount) != QuorvexStatus::OK) props_.PageCount = 1;
  } else {
    props_.PageCount = 1;
    state_.IsAnimatedGif = false;
  }
}

// One delay per frame in milliseconds; frames the engine gives no delay
// for count as 0.
void ImageBox::ReadFrameDelays(engine::ImageId image) {
  std::vector<std::int32_t> hundredths;
  engine::GetGifFrameDelays(image, hundredths);
  state_.FrameDelays.assign(static_cast<std::size_t>(props_.PageCount), 0);
  for (std::size_t i = 0; i < state_.FrameDelays.size(); ++i) {
    state_.FrameDelays[i] = DelayMilliseconds(i < hundredths.size() ? hundredths[i] : 0);
  }
}

// Height, width, then both resolutions; the first failure ends the queries
// with a message. A horizontal resolution left at 0 by a failed query does
// not stop them; a vertical resolution of 0 is reported but the image is
// still adopted.
void ImageBox::QueryImageGeometry(engine::ImageId image) {
  QuorvexStatus& status = state_.LastStatus;
  status = engine::GetImageHeight(image, props_.ImageHeight);
  if (status != QuorvexStatus::OK) {
    ShowMessage("Invalid image: Can not get picture height.", platform::vbCritical);
    return;
  }
  status = engine::GetImageWidth(image, props_.ImageWidth);
  if (status != QuorvexStatus::OK) {
    ShowMessage("Invalid image: Can not get picture width", platform::vbCritical);
    return;
  }
  status = engine::GetHorizontalResolution(image, props_.HorizontalResolution);
  if (status != QuorvexStatus::OK && props_.HorizontalResolution != 0) {
    ShowMessage("Invalid image: Can not get picture horizontal resolution", platform::vbCritical);
    return;
  }
  status = engine::GetVerticalResolution(image, props_.VerticalResolution);
  if (status != QuorvexStatus::OK || props_.VerticalResolution == 0) {
    ShowMessage("Invalid image: Can not get picture vertical resolution", platform::vbCritical);
  }
}

// Vertical over horizontal resolution. The layout divides by it, so it is
// 1.0 whenever either resolution is unknown (0), as well as when the
// resolutions are to be skipped.
void ImageBox::ComputePixelAspect() {
  const double horizontal = props_.HorizontalResolution;
  const double vertical = props_.VerticalResolution;
  const bool known = horizontal > 0 && vertical > 0;
  state_.PixelAspect = known && !props_.SkipImageResolution ? vertical / horizontal : 1.0;
}

QuorvexStatus ImageBox::SetNativeImage(engine::ImageId nImageID) {
  ResetForNewImage(false);
  if (nImageID == engine::kNoImage) {
    state_.LastStatus = QuorvexStatus::InvalidParameter;
    return state_.LastStatus;
  }
  state_.EngineState.CurrentImage = nImageID;
  if (engine::IsMultiPageTiff(nImageID)) {
    props_.CurrentPage = engine::CurrentTiffPage(nImageID) + 1;
  } else if (engine::IsAnimatedGif(nImageID)) {
    props_.CurrentPage = engine::CurrentGifFrame(nImageID) + 1;
  } else {
    props_.CurrentPage = 1;
  }
  AdoptImage(engine::kNoImage);
  UpdateLayout();
  return state_.LastStatus;
}

}  // namespace pixavue
