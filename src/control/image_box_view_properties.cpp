// Properties of the view: zoom, scroll bars, placement and drawing quality.
// Each setter refuses what the view cannot use, stores the rest, lays the
// view out again where the new value changes it, and reports the change.

#include <pixavue/control/image_box.h>

namespace pixavue {

// A positive zoom, held to MaxZoom while an image is shown, switches to a
// custom zoom.
void ImageBox::put_ZOOM(double zoom) {
  if (zoom > 0) {
    if (ImageShown() && zoom > state_.MaxZoom) zoom = state_.MaxZoom;
    if (zoom != props_.Zoom) {
      props_.Zoom = zoom;
      props_.ZoomMode = ZoomCustom;
      if (ImageShown()) UpdateLayout();
    }
  }
  ReportChange("Zoom");
}

// The fitting modes take effect at once; a custom zoom is only stored; the
// internal modes and unknown values are ignored.
void ImageBox::put_ZoomMode(ViewerZoomMode mode) {
  if (mode != props_.ZoomMode) {
    switch (mode) {
      case Zoom100:
      case ZoomFitToControl:
      case ZoomWidthControl:
      case ZoomHeightControl:
      case ZoomToControl:
        SwitchZoomMode(mode);
        break;
      case ZoomCustom:
        props_.ZoomMode = mode;
        break;
      default:
        break;
    }
  }
  ReportChange("ZoomMode");
}

void ImageBox::put_ZoomStep(std::int32_t step) {
  if (step > 0) props_.ZoomStep = step;
  ReportChange("ZoomStep");
}

// Hiding the bars also stops forcing them.
void ImageBox::put_ScrollBars(bool show) {
  if (show != props_.ScrollBars) {
    props_.ScrollBars = show;
    if (!show) props_.ForceScrollBars = false;
    UpdateLayout();
  }
  ReportChange("ScrollBars");
}

// Forcing the bars also shows them.
void ImageBox::put_ForceScrollBars(bool force) {
  if (force != props_.ForceScrollBars) {
    props_.ForceScrollBars = force;
    if (force) props_.ScrollBars = true;
    UpdateLayout();
  }
  ReportChange("ForceScrollBars");
}

void ImageBox::put_ScrollSmallChange(std::int16_t step) {
  if (step > 0) {
    props_.ScrollSmallChange = step;
    hScroll_.SetSmallChange(step);
    vScroll_.SetSmallChange(step);
  }
  ReportChange("ScrollSmallChange");
}

void ImageBox::put_ScrollLargeChange(std::int16_t step) {
  if (step > 0) {
    props_.ScrollLargeChange = step;
    hScroll_.SetLargeChange(step);
    vScroll_.SetLargeChange(step);
  }
  ReportChange("ScrollLargeChange");
}

// A new alignment is applied again on both axes at the next layout.
void ImageBox::put_ImageAlignment(ViewerImageAlignment alignment) {
  if (alignment == props_.ImageAlignment) return;
  props_.ImageAlignment = alignment;
  ReportChange("ImageAlignment");
  if (!ImageShown()) return;
  state_.AlignPendingX = true;
  state_.AlignPendingY = true;
  AdoptImage(engine::kNoImage);
  UpdateLayout();
}

void ImageBox::put_ImagePosition(ViewerImagePosition position) {
  if (position == props_.ImagePosition) return;
  props_.ImagePosition = position;
  ReportChange("ImagePosition");
  if (!ImageShown()) return;
  AdoptImage(engine::kNoImage);
  UpdateLayout();
}

void ImageBox::put_KeepImagePosition(bool keep) {
  props_.KeepImagePosition = keep;
  ReportChange("KeepImagePosition");
}

void ImageBox::put_ViewerQuality(ViewerQuality quality) {
  props_.ViewerQuality = quality;
  ReportChange("ViewerQuality");
  UpdateLayout();
}

// Automatic quality arms the delayed high-quality pass; turning it off
// cancels a pending one.
void ImageBox::put_ViewerQualityAuto(bool automatic) {
  props_.ViewerQualityAuto = automatic;
  ReportChange("ViewerQualityAuto");
  tmQual_.SetEnabled(automatic);
}

}  // namespace pixavue
