// The image shown, or an area of it, put on the clipboard as a bitmap.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_exports.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>

namespace pixavue {

// The display copy shows what the view shows (a turned frame, for one).
engine::ImageId ImageBox::ClipboardSource() const {
  const engine::EngineState& images = state_.EngineState;
  return images.DisplayCopy != engine::kNoImage ? images.DisplayCopy : images.CurrentImage;
}

void ImageBox::Copy2Clipboard() {
  const engine::ImageId source = ClipboardSource();
  if (source != engine::kNoImage) engine::CopyToClipboard(source);
}

void ImageBox::CopyRegion2Clipboard(std::int32_t nSrcLeft, std::int32_t nSrcTop, std::int32_t nWidth,
                                    std::int32_t nHeight) {
  QuorvexStatus& status = state_.LastStatus;
  const engine::ImageId source = ClipboardSource();
  if (source == engine::kNoImage) {
    status = QuorvexStatus::GenericError;
    return;
  }
  platform::PixelFormat format = platform::PixelFormatUndefined;
  status = engine::GetPixelFormat(source, format);
  if (status != QuorvexStatus::OK) return;
  // The imaging library judges the area: one outside the image, or empty,
  // gives its status and no copy.
  engine::ImageId area = engine::kNoImage;
  status = engine::CopyImageArea(source, nSrcLeft, nSrcTop, nWidth, nHeight, format, area);
  if (status != QuorvexStatus::OK) return;
  status = engine::CopyToClipboard(area);
  engine::ReleaseImage(area);
}

}  // namespace pixavue
