// Turning and mirroring the image shown, and GDI bitmaps of it.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_exports.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_transforms.h>
#include <pixavue/platform/gdi/gdi.h>

namespace pixavue {
namespace {

// GDI bitmaps of the image keep its alpha: transparent black behind it.
constexpr platform::ARGB kTransparentBlack = 0;

}  // namespace

// Single images and documents split into page files turn themselves (a
// split document's current page, stored back to its page file). A document
// whose pages stay in one decoder keeps its frames: only a display copy of
// the current frame turns, and another page shows unturned.
QuorvexStatus ImageBox::RotateView(platform::RotateFlipType type) {
  engine::EngineState& images = state_.EngineState;
  const engine::ImageId current = images.CurrentImage;
  // A status another member left says nothing about this turn.
  state_.LastStatus = QuorvexStatus::OK;
  engine::ImageId target = current;
  bool hadDisplayCopy = false;
  if (props_.PageCount < 2 || engine::IsSplitTiff(current) || engine::IsSplitGif(current)) {
    hadDisplayCopy = images.DisplayCopy != engine::kNoImage;
    ReleaseDisplayCopy();
  } else {
    if (images.DisplayCopyPage != props_.CurrentPage) state_.LastStatus = MakeDisplayCopy();
    target = images.DisplayCopy;
  }
  if (state_.LastStatus == QuorvexStatus::OK) {
    state_.LastStatus = engine::RotateFlip(target, type, false);
    if (hadDisplayCopy) MakeDisplayCopy();
  }
  if (state_.LastStatus == QuorvexStatus::OK) {
    AdoptImage(target);
    UpdateLayout();
  } else {
    // Nothing turned: the view stays as it was, without its selection.
    ClearRect();
  }
  Events().Rotation(type);
  return state_.LastStatus;
}

platform::OLE_HANDLE ImageBox::GetHBitmap() {
  platform::HBITMAP bitmap{};
  state_.LastStatus = engine::MakeHBitmap(state_.EngineState.CurrentImage, kTransparentBlack, bitmap);
  return static_cast<platform::OLE_HANDLE>(bitmap);
}

void ImageBox::DeleteHBitmap(platform::OLE_HANDLE nHbitmap) {
  // The graphics table refuses handles it does not hold.
  platform::DeleteObject(platform::ToGdiObject(platform::HBITMAP{nHbitmap}));
}

}  // namespace pixavue
