// Resetting the view before a load or a close, closing the current image,
// and redrawing or clearing the surface.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_store.h>

#include <filesystem>
#include <system_error>

namespace pixavue {
namespace {

// A bar goes back to 0 unless the position is to be kept.
void ResetBar(platform::ScrollBar& bar, bool keepPosition) {
  if (keepPosition) return;
  if (bar.Value() != 0) bar.SetValue(0);
}

void ResetBarRange(platform::ScrollBar& bar, bool keepPosition) {
  if (keepPosition) return;
  if (bar.Max() != 0) bar.SetMax(0);
}

}  // namespace

// Forgets the current image (it is released only when it came from the
// temporary copy) and puts every view member back to "no image".
// keepDimensions leaves the size, resolutions and placement as they are.
void ImageBox::ResetForNewImage(bool keepDimensions) {
  if (!keepDimensions) {
    props_.ImageWidth = props_.ImageHeight = 0;
    props_.HorizontalResolution = props_.VerticalResolution = 0;
    state_.ImageOffsetX = state_.ImageOffsetY = 0;
    state_.DisplayedWidth = state_.DisplayedHeight = 0;
    state_.SourceLeft = state_.SourceTop = state_.SourceWidth = state_.SourceHeight = 0;
    state_.PixelAspect = 1.0;
  }
  props_.PageCount = 0;
  props_.CurrentPage = 0;
  state_.LastStatus = QuorvexStatus::OK;
  state_.ImageAdopted = false;
  state_.RectDrawn = false;
  state_.LastMouseX = state_.LastMouseY = 0;
  ClearRect();
  state_.LayoutSinceLoad = false;
  state_.ScrollNotify = false;

  const bool keepVertical = props_.KeepImagePosition;
  const bool keepHorizontal = props_.KeepImagePosition || state_.PageFlipInProgress;
  ResetBar(vScroll_, keepVertical);
  ResetBar(hScroll_, keepHorizontal);
  ResetBarRange(vScroll_, keepVertical);
  ResetBarRange(hScroll_, keepHorizontal);
  for (platform::ScrollBar* bar : {&vScroll_, &hScroll_}) {
    bar->SetEnabled(bar->Max() > 0);
    bar->SetVisible(props_.ForceScrollBars);
  }
  shCorner_.SetVisible(false);

  if (!state_.CustomPointerActive) surface_.SetMousePointer(MousePointerDefault);
  state_.MaxZoom = 1.0;
  state_.AlignPendingX = state_.AlignPendingY = true;
  if (state_.GifTimerRunning) {
    StopGif();
    StopGifTimer();
  }
  state_.IsAnimatedGif = false;
  state_.LastRenderFailed = false;
  if (state_.EngineState.TempFileInUse) CloseCurrentImage();
  ReleaseDisplayCopy();
  state_.EngineState.CurrentImage = engine::kNoImage;
}

void ImageBox::CloseCurrentImage() {
  engine::EngineState& images = state_.EngineState;
  if (images.CurrentImage != engine::kNoImage) {
    state_.LastStatus = engine::ReleaseImage(images.CurrentImage);
    if (state_.LastStatus == QuorvexStatus::OK) images.CurrentImage = engine::kNoImage;
    DeleteTempFile();
  }
  images.CurrentImage = engine::kNoImage;
  ReleaseDisplayCopy();
}

void ImageBox::DeleteTempFile() {
  engine::EngineState& images = state_.EngineState;
  if (!images.TempFileInUse) return;
  std::error_code ignored;
  std::filesystem::remove(images.TempFilePath, ignored);
  images.TempFileInUse = false;
}

void ImageBox::ReleaseDisplayCopy() {
  engine::EngineState& images = state_.EngineState;
  if (images.DisplayCopy == engine::kNoImage) return;
  engine::ReleaseImage(images.DisplayCopy);
  images.DisplayCopy = engine::kNoImage;
  images.DisplayCopyPage = 0;
}

QuorvexStatus ImageBox::Redraw() {
  if (ImageShown()) {
    ReleaseDisplayCopy();
    AdoptImage(engine::kNoImage);
    UpdateLayout();
  }
  return state_.LastStatus;
}

// The surface keeps what is drawn on it from now on, without pictures, and
// shows its background colour; the image stays loaded.
void ImageBox::Clear() {
  if (props_.LockControl) return;
  ClearRect();
  ClearSurfaceToBackground();
}

void ImageBox::CloseImage() {
  CloseImageEx();
  Clear();
}

void ImageBox::CloseImageEx() {
  CloseCurrentImage();
  ResetForNewImage(false);
}

void ImageBox::ImageClosed() { ResetForNewImage(true); }

}  // namespace pixavue
