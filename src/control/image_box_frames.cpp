// Moving between the pages of a document or the frames of a GIF.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>

namespace pixavue {

// A page that exists is selected by the engine and laid out placed by
// ImageAlignment; a failed selection leaves the background showing. The
// page counts from the engine for documents other than animations.
QuorvexStatus ImageBox::DisplayFrame(std::int32_t nFrame) {
  const std::int32_t previous = props_.CurrentPage;
  state_.LastStatus = QuorvexStatus::OK;
  if (nFrame >= 1 && nFrame <= props_.PageCount) {
    state_.AlignPendingX = true;
    state_.AlignPendingY = true;
    ReleaseDisplayCopy();
    const engine::ImageId image = state_.EngineState.CurrentImage;
    if (state_.IsAnimatedGif) {
      state_.LastStatus = engine::SelectPage(image, nFrame - 1, engine::DocumentKind::Gif);
      props_.CurrentPage = nFrame;
    } else {
      state_.LastStatus = engine::SelectPage(image, nFrame - 1, engine::DocumentKind::Tiff);
      props_.CurrentPage = engine::CurrentTiffPage(image) + 1;
    }
    if (state_.LastStatus != QuorvexStatus::OK) {
      ClearSurfaceToBackground();
    } else {
      AdoptImage(engine::kNoImage);
      UpdateLayout();
    }
  }
  if (previous != 0) Events().PageChange();
  return state_.LastStatus;
}

QuorvexStatus ImageBox::DisplayNextFrame() {
  if (props_.CurrentPage < props_.PageCount) return DisplayFrame(props_.CurrentPage + 1);
  return state_.LastStatus;
}

QuorvexStatus ImageBox::DisplayPreviousFrame() {
  if (props_.CurrentPage > 1) return DisplayFrame(props_.CurrentPage - 1);
  return state_.LastStatus;
}

QuorvexStatus ImageBox::DisplayFirstFrame() {
  if (props_.CurrentPage != 1) return DisplayFrame(1);
  return state_.LastStatus;
}

QuorvexStatus ImageBox::DisplayLastFrame() {
  if (props_.CurrentPage != props_.PageCount) return DisplayFrame(props_.PageCount);
  return state_.LastStatus;
}

// What the host presents becomes the background colour alone: a picture
// left from the picture path would otherwise still show.
void ImageBox::ClearSurfaceToBackground() {
  surface_.SetAutoRedraw(true);
  if (surface_.MaskPicture()) surface_.SetMaskPicture(nullptr);
  if (surface_.Picture()) surface_.SetPicture(nullptr);
  surface_.Cls();
}

}  // namespace pixavue
