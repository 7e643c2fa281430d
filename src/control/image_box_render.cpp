// Rendering: the visible part of the image onto the surface, the display
// events, the delayed high-quality pass and the hand-off of the focus.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/window/window.h>

#include <string>

#include "busy_flags.h"
#include "view_draw.h"
#include "view_rects.h"

namespace pixavue {
namespace {

// The image a render shows: the display copy when there is one.
engine::ImageId ShownImage(const engine::EngineState& images) {
  return images.DisplayCopy != engine::kNoImage ? images.DisplayCopy : images.CurrentImage;
}

// GIFs are drawn from the loaded image itself, so that animation frames
// show; images already in the fastest format need no copy.
bool WantsDisplayCopy(engine::ImageId image) {
  if (engine::GetFormatName(image) == "GIF") return false;
  platform::PixelFormat format = platform::PixelFormatUndefined;
  engine::GetPixelFormat(image, format);
  return format != platform::PixelFormat32bppPARGB;
}

platform::InterpolationMode InterpolationFor(ViewerQuality quality) {
  switch (quality) {
    case ViewerQualityLow:
      return platform::InterpolationModeNearestNeighbor;
    case ViewerQualityBilinear:
      return platform::InterpolationModeBilinear;
    case ViewerQualityBicubic:
      return platform::InterpolationModeBicubic;
    case ViewerQualityBilinearHQ:
      return platform::InterpolationModeHighQualityBilinear;
    case ViewerQualityBicubicHQ:
      return platform::InterpolationModeHighQualityBicubic;
  }
  return platform::InterpolationModeDefault;
}

}  // namespace

void ImageBox::RenderView(engine::ImageId image, RenderPass pass) {
  tmQual_.SetEnabled(false);
  if (image == engine::kNoImage) image = ShownImage(state_.EngineState);
  if (props_.OptimizeDrawingSpeed && image != engine::kNoImage && WantsDisplayCopy(image) &&
      MakeDisplayCopy() == QuorvexStatus::OK) {
    image = state_.EngineState.DisplayCopy;
  }
  ArrangeScrollBars();
  // A failed render is retried; a status another member left does not
  // stop the drawing of an adopted image.
  if (state_.LastRenderFailed) state_.LastStatus = QuorvexStatus::OK;
  if (state_.ImageAdopted && image != engine::kNoImage && props_.Zoom > 0) {
    const bool pictureChanged = NoteShownImage();
    if (!props_.LockControl) DrawView(image, pass);
    if (pictureChanged) {
      Events().PictureChanged();
      Events().PageChange();
    }
    state_.LastRenderFailed = state_.LastStatus != QuorvexStatus::OK;
  }
  if (state_.RectDrawn && image != engine::kNoImage) {
    PlaceRectFromImage(state_.RectCacheLeft, state_.RectCacheTop, state_.RectCacheWidth, state_.RectCacheHeight);
  }
  HandFocusToCorner();
  state_.ScrollNotify = true;
}

// A different image than the last render's raises PictureChange; the image
// remembered is the one shown once the handler has returned.
bool ImageBox::NoteShownImage() {
  engine::EngineState& images = state_.EngineState;
  if (ShownImage(images) == images.LastShownImage) return false;
  Events().PictureChange();
  images.LastShownImage = ShownImage(images);
  return true;
}

void ImageBox::DrawView(engine::ImageId image, RenderPass pass) {
  if (props_.ViewerQualityAuto && pass == RenderPass::Ordinary) state_.HighQualityPass = false;
  control::ViewGeometry geometry;
  geometry.imageWidth = props_.ImageWidth;
  geometry.imageHeight = props_.ImageHeight;
  geometry.zoom = props_.Zoom;
  geometry.pixelAspect = state_.PixelAspect;
  geometry.offsetX = state_.ImageOffsetX;
  geometry.offsetY = state_.ImageOffsetY;
  geometry.displayedWidth = state_.DisplayedWidth;
  geometry.displayedHeight = state_.DisplayedHeight;
  geometry.viewWidth = surface_.ScaleWidth() - (vScroll_.Visible() ? VerticalBarWidth() : 0);
  geometry.viewHeight = surface_.ScaleHeight() - (hScroll_.Visible() ? HorizontalBarHeight() : 0);

  control::ViewDraw draw;
  draw.image = engine::NativeHandle(image);
  draw.imageWidth = geometry.imageWidth;
  draw.imageHeight = geometry.imageHeight;
  draw.rects = control::ComputeViewRects(geometry);
  draw.gamma = props_.Gamma;
  draw.withAttributes = !state_.IsAnimatedGif;
  draw.interpolation = [this] { return ChooseInterpolation(); };
  const control::ViewRect& source = draw.rects.source;
  state_.SourceLeft = source.left;
  state_.SourceTop = source.top;
  state_.SourceWidth = source.width;
  state_.SourceHeight = source.height;

  const bool transparent = surface_.BackStyle() == bkTransparent;
  if (!transparent) {
    state_.ColorHelper.SetFromCOLORREF(surface_.BackColor());
    draw.background = state_.ColorHelper.GetValue();
    // A mask left from a transparent surface would cut an opaque one.
    if (surface_.MaskPicture()) surface_.SetMaskPicture(nullptr);
  }
  if (!transparent && !props_.ForcePictureMode) {
    if (!surface_.AutoRedraw()) surface_.SetAutoRedraw(true);
    state_.LastStatus = control::DrawDirect(surface_.Hdc(), draw);
  } else {
    control::PictureTarget target{geometry.viewWidth, geometry.viewHeight, transparent, std::nullopt};
    if (transparent && props_.ImageMaskColor != kNoMaskColor) {
      state_.ColorHelper.SetFromCOLORREF(props_.ImageMaskColor);
      target.maskColour = state_.ColorHelper.GetValue();
    }
    surface_.SetAutoRedraw(false);
    platform::ComPtr<platform::IPicture> picture;
    state_.LastStatus = control::RenderToPicture(draw, target, picture);
    surface_.SetPicture(picture);
    if (transparent) surface_.SetMaskPicture(picture);
  }
  FinishDraw();
}

// After a successful draw: the wheel hook, Display, the refresh and the
// quality timer (left off during the high-quality pass). A failure is
// reported instead.
void ImageBox::FinishDraw() {
  if (state_.LastStatus != QuorvexStatus::OK) {
    ShowMessage("Can not display image error no: " + std::to_string(static_cast<std::int32_t>(state_.LastStatus)),
                platform::vbCritical);
    return;
  }
  if (props_.EnableMouseWheel) InstallWheelHook();
  Events().Display();
  Refresh();
  if (!state_.HighQualityPass) tmQual_.SetEnabled(props_.ViewerQualityAuto);
}

// A zoom of exactly 1 is always drawn pixel for pixel. Automatic quality
// draws fast, and high-quality bicubic in the timer's pass; the property
// reads what was used.
platform::InterpolationMode ImageBox::ChooseInterpolation() {
  if (props_.Zoom == 1.0) return platform::InterpolationModeNearestNeighbor;
  if (props_.ViewerQualityAuto) {
    props_.ViewerQuality = state_.HighQualityPass ? ViewerQualityBicubicHQ : ViewerQualityLow;
  }
  return InterpolationFor(props_.ViewerQuality);
}

void ImageBox::OnQualityTimer() {
  if (!props_.ViewerQualityAuto || state_.HighQualityPass) return;
  state_.HighQualityPass = true;
  RenderView(engine::kNoImage, RenderPass::Timer);
}

// The conversion's failure is not reported: the render then draws from the
// image it was given.
QuorvexStatus ImageBox::MakeDisplayCopy() {
  ReleaseDisplayCopy();
  engine::EngineState& images = state_.EngineState;
  engine::ImageId copy = engine::kNoImage;
  const QuorvexStatus status =
      engine::ConvertPixelFormat(images.CurrentImage, platform::PixelFormat32bppPARGB, true, copy);
  if (status != QuorvexStatus::OK) return status;
  images.DisplayCopy = copy;
  images.DisplayCopyPage = props_.CurrentPage;
  return status;
}

void ImageBox::Refresh() {
  control::BusyFlags& busy = control::Busy();
  busy.LayoutBusy = true;
  for (const platform::ScrollBar* bar : {&hScroll_, &vScroll_}) {
    if (bar->Visible()) platform::InvalidateRect(bar->Window(), nullptr, false);
  }
  surface_.Refresh();
  busy.LayoutBusy = false;
}

// Moves a focus the control holds to the corner box, away from the bars.
void ImageBox::HandFocusToCorner() {
  if (props_.DisableAutoFocus) return;
  if (state_.FocusedPart != 0 && shCorner_.Visible()) shCorner_.TakeFocus();  // a refusal is ignored
}

}  // namespace pixavue
