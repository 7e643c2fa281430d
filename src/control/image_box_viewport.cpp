// The viewport: the zoom and displayed size of the image, where it sits in
// the view or where the view is scrolled to, the scroll ranges and the
// arrangement of the bars. All roundings are half to even.
//
// The view keeps its relative scroll position across zoom changes and
// resizes, and snaps to ImageAlignment only while an axis is pending: after
// a reset, after the alignment changed, after the axis stopped needing a
// bar, or at the very first layout.

#include <pixavue/control/image_box.h>
#include <pixavue/support/rounding.h>

#include <algorithm>
#include <optional>

#include "busy_flags.h"
#include "placement_grid.h"
#include "scroll_ranges.h"

namespace pixavue {
namespace {

// The bar's value as a fraction of its range; 0 without a range.
double ScrollFraction(const platform::ScrollBar& bar) {
  return bar.Max() >= 1 ? static_cast<double>(bar.Value()) / bar.Max() : 0.0;
}

void SetBarValue(platform::ScrollBar& bar, std::int32_t value) {
  if (bar.Value() != value) bar.SetValue(static_cast<std::int16_t>(value));
}

// Lowers the value into a new, smaller range before the range changes.
void SetBarMax(platform::ScrollBar& bar, std::int16_t max) {
  if (bar.Value() > max) bar.SetValue(max);
  if (bar.Max() != max) bar.SetMax(max);
}

// What placing the image along one axis reads and writes.
struct Axis {
  platform::ScrollBar& bar;
  std::int32_t& offset;
  bool& alignPending;
  std::int32_t displayed;
  std::optional<double> alignment;  // ImageAlignment's fraction on this axis
  std::optional<double> position;   // ImagePosition's
  bool keepsScrollPosition;         // a page flip keeps the horizontal position
};

struct PlacementRules {
  bool keepImagePosition;
  bool layoutSinceLoad;
  bool alignOnce;
};

// An image larger than the view keeps the bar's old fraction, or snaps to
// the alignment while the axis is pending; a smaller one sits where
// ImagePosition says.
void PlaceOnAxis(const Axis& axis, const PlacementRules& rules, int view, double fraction, bool zoomsToArea) {
  if (axis.displayed > view) {
    if (!zoomsToArea) {
      const bool realign = (axis.alignPending && (!rules.keepImagePosition || rules.layoutSinceLoad) &&
                            !axis.keepsScrollPosition) ||
                           rules.alignOnce;
      if (realign) fraction = axis.alignment.value_or(fraction);
      SetBarValue(axis.bar, RoundHalfEven16(axis.bar.Max() * fraction));
      axis.offset = -axis.bar.Value();
    }
    if (rules.keepImagePosition && !rules.layoutSinceLoad) axis.alignPending = false;
    return;
  }
  if (axis.position) axis.offset = RoundHalfEven((view - axis.displayed) * *axis.position);
}

}  // namespace

void ImageBox::UpdateLayout(engine::ImageId image) {
  control::Busy().LayoutBusy = true;
  state_.HighQualityPass = false;
  const engine::EngineState& engine = state_.EngineState;
  if (image == engine::kNoImage) image = engine.DisplayCopy != engine::kNoImage ? engine.DisplayCopy : engine.CurrentImage;
  const int viewWidth = surface_.ScaleWidth() - (props_.ForceScrollBars ? VerticalBarWidth() : 0);
  const int viewHeight = surface_.ScaleHeight() - (props_.ForceScrollBars ? HorizontalBarHeight() : 0);
  // A failed render is retried rather than blocking the view. Only an image
  // whose adoption failed has nothing to lay out: a status some other
  // member left (a refused argument) does not freeze the view.
  if (state_.LastRenderFailed) state_.LastStatus = QuorvexStatus::OK;
  if (state_.ImageAdopted && image != engine::kNoImage && props_.ImageWidth > 0 &&
      props_.ImageHeight > 0 && viewWidth > 0 && viewHeight > 0) {
    LayOutImage(image, viewWidth, viewHeight);
  }
  state_.LayoutSinceLoad = true;
  state_.ScrollNotify = true;
  control::Busy().LayoutBusy = false;
}

void ImageBox::LayOutImage(engine::ImageId image, int viewWidth, int viewHeight) {
  // The limit of the surface as it is now: a resize lays out before it
  // measures the limit again.
  ComputeMaxZoom();
  bool zoomsToArea = false;
  double zoom = ChooseZoom(viewWidth, viewHeight, zoomsToArea);
  // Only a stored property can hold a zoom that is not a positive number.
  if (!(zoom > 0)) zoom = 1.0;
  zoom = std::min(zoom, state_.MaxZoom);
  props_.Zoom = zoom;
  const bool zoomChanged = zoom != state_.PreviousZoom;
  if (zoomChanged) Events().BeforeZoomChange();
  state_.PreviousZoom = zoom;

  if (props_.ZoomMode != ZoomToControl) {
    // Both sides from the exact zoomed size, so that rounding one side
    // never scales the other: W x Zoom / A is H x Zoom / PixelAspect.
    state_.DisplayedWidth = RoundHalfEven(props_.ImageWidth * props_.Zoom);
    state_.DisplayedHeight = RoundHalfEven(props_.ImageHeight * props_.Zoom / state_.PixelAspect);
  }
  const double fractionV = ScrollFraction(vScroll_);
  const double fractionH = ScrollFraction(hScroll_);
  UpdateScrollRanges();
  state_.ScrollNotify = false;
  if (zoomsToArea) ScrollToArea();

  // The room left once the bars that will show take theirs.
  if (props_.ScrollBars) {
    const int width = surface_.ScaleWidth();
    const int height = surface_.ScaleHeight();
    viewHeight = hScroll_.Max() > 0 || props_.ForceScrollBars ? height - HorizontalBarHeight() : height;
    viewWidth = vScroll_.Max() > 0 || props_.ForceScrollBars ? width - VerticalBarWidth() : width;
  }
  const PlacementRules rules{props_.KeepImagePosition, state_.LayoutSinceLoad, state_.AlignOnce};
  PlaceOnAxis({hScroll_, state_.ImageOffsetX, state_.AlignPendingX, state_.DisplayedWidth,
               control::ColumnFraction(props_.ImageAlignment), control::ColumnFraction(props_.ImagePosition),
               state_.PageFlipInProgress},
              rules, viewWidth, fractionH, zoomsToArea);
  PlaceOnAxis({vScroll_, state_.ImageOffsetY, state_.AlignPendingY, state_.DisplayedHeight,
               control::RowFraction(props_.ImageAlignment), control::RowFraction(props_.ImagePosition), false},
              rules, viewHeight, fractionV, zoomsToArea);

  RenderView(image, RenderPass::Ordinary);
  if (zoomChanged) Events().ZoomChange();
  ApplyModeCursor();
  state_.AlignOnce = false;
}

// The zoom the mode asks for, before MaxZoom. Zooming to an area (or to the
// selection) happens once: the mode becomes custom.
double ImageBox::ChooseZoom(int viewWidth, int viewHeight, bool& zoomsToArea) {
  const double width = props_.ImageWidth;
  const double height = props_.ImageHeight;
  const double pixelAspect = state_.PixelAspect;
  const double aspect = width / height * pixelAspect;
  const double fitWidth = viewWidth / width;
  const double fitHeight = viewHeight / height * pixelAspect;
  const int surfaceWidth = surface_.ScaleWidth();
  const int surfaceHeight = surface_.ScaleHeight();
  switch (props_.ZoomMode) {
    case Zoom100:
      return 1.0;
    case ZoomFitToControl:
      return aspect >= static_cast<double>(viewWidth) / viewHeight ? fitWidth : fitHeight;
    case ZoomWidthControl:
      // When the fitted width needs a vertical bar, fit the width left beside it.
      if (props_.ScrollBars && width * fitWidth / aspect > viewHeight) {
        const double besideBar = (surfaceWidth - VerticalBarWidth()) / width;
        return width * besideBar / aspect >= viewHeight ? besideBar : fitHeight;
      }
      return fitWidth;
    case ZoomHeightControl:
      if (props_.ScrollBars && width * fitHeight > viewWidth) {
        const double aboveBar = (surfaceHeight - HorizontalBarHeight()) / height * pixelAspect;
        return width * aboveBar >= viewWidth ? aboveBar : fitWidth;
      }
      return fitHeight;
    case ZoomToControl:
      // Stretched to the view without keeping the aspect.
      state_.DisplayedWidth = viewWidth;
      state_.DisplayedHeight = viewHeight;
      return surfaceHeight / height * pixelAspect;
    case ZoomModeSelection:
      GetRectValues(state_.AreaLeft, state_.AreaTop, state_.AreaWidth, state_.AreaHeight);
      [[fallthrough]];
    case ZoomModeArea: {
      double zoom = props_.Zoom;
      if (state_.AreaWidth > 0) zoom = static_cast<double>(viewWidth) / state_.AreaWidth;
      if (state_.AreaHeight > 0 && static_cast<double>(viewHeight) / state_.AreaHeight < zoom) {
        zoom = static_cast<double>(viewHeight) / state_.AreaHeight;
      }
      props_.ZoomMode = ZoomCustom;
      zoomsToArea = true;
      return zoom;
    }
    default:
      return props_.Zoom;
  }
}

// Scrolls so that the area's top-left corner is the view's, as far as the
// ranges allow.
void ImageBox::ScrollToArea() {
  state_.ImageOffsetX = std::clamp(RoundHalfEven(-state_.AreaLeft * props_.Zoom), -std::int32_t{hScroll_.Max()}, 0);
  state_.ImageOffsetY = std::clamp(RoundHalfEven(-state_.AreaTop * props_.Zoom), -std::int32_t{vScroll_.Max()}, 0);
  SetBarValue(hScroll_, -state_.ImageOffsetX);
  SetBarValue(vScroll_, -state_.ImageOffsetY);
  state_.AlignPendingX = false;
  state_.AlignPendingY = false;
}

// The largest zoom that keeps every scroll range within a 16-bit bar.
void ImageBox::ComputeMaxZoom() {
  const double widthLimit = RoundHalfEven(surface_.ScaleWidth() + 32765.0 - VerticalBarWidth());
  const double heightLimit = RoundHalfEven(surface_.ScaleHeight() + 32765.0 - HorizontalBarHeight());
  if (props_.ImageWidth < 1 || props_.ImageHeight < 1) {
    state_.MaxZoom = 1.0;
  } else {
    // Each axis holds the zoom back; the tighter one decides, whatever the
    // image's shape (a square image in a tall view is held by its width).
    const double height = props_.ImageHeight / state_.PixelAspect;
    state_.MaxZoom = std::min(heightLimit / height, widthLimit / props_.ImageWidth);
  }
  if (props_.Zoom > state_.MaxZoom) props_.Zoom = state_.MaxZoom;
}

// Ranges in screen pixels: how far the displayed image reaches past the
// view, with the room each visible bar takes from the other axis.
void ImageBox::UpdateScrollRanges() {
  state_.ScrollNotify = false;
  for (platform::ScrollBar* bar : {&hScroll_, &vScroll_}) {
    if (bar->Min() != 0) bar->SetMin(0);
  }
  const control::ScrollRanges ranges = control::ComputeScrollRanges(
      {surface_.ScaleWidth(), surface_.ScaleHeight(), state_.DisplayedWidth, state_.DisplayedHeight,
       VerticalBarWidth(), HorizontalBarHeight(), props_.ScrollBars, props_.ForceScrollBars});
  if (ranges.horizontal == 0) SetBarValue(hScroll_, 0);
  if (ranges.vertical == 0) SetBarValue(vScroll_, 0);
  SetBarMax(hScroll_, ranges.horizontal);
  SetBarMax(vScroll_, ranges.vertical);
  hScroll_.SetEnabled(hScroll_.Max() > 0);
  vScroll_.SetEnabled(vScroll_.Max() > 0);
  if (ranges.vertical < 1) state_.AlignPendingY = true;
  if (ranges.horizontal < 1) state_.AlignPendingX = true;
  state_.ScrollNotify = true;
}

void ImageBox::ArrangeScrollBars() {
  if (props_.ForceScrollBars) {
    hScroll_.SetVisible(true);
    vScroll_.SetVisible(true);
  } else if (props_.ZoomMode == ZoomFitToControl) {
    state_.AlignPendingX = true;
    state_.AlignPendingY = true;
    hScroll_.SetVisible(false);
    vScroll_.SetVisible(false);
  } else {
    hScroll_.SetVisible(hScroll_.Max() >= 1 && props_.ScrollBars);
    vScroll_.SetVisible(vScroll_.Max() >= 1 && props_.ScrollBars);
  }
  const int width = surface_.ScaleWidth();
  const int height = surface_.ScaleHeight();
  vScroll_.SetHeight(hScroll_.Visible() ? std::max(height - HorizontalBarHeight(), 0) : height);
  hScroll_.SetWidth(vScroll_.Visible() ? std::max(width - VerticalBarWidth(), 0) : width);
  shCorner_.SetVisible(hScroll_.Visible() && vScroll_.Visible());
}

}  // namespace pixavue
