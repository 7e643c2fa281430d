// Scroll-bar notifications and the scroll-position members. A bar's change
// moves the image by minus the bar's value and renders at once, without a
// new layout. Keys that reach a bar never scroll it: keyboard scrolling is
// the control's own, so the change a key makes is undone.

#include <pixavue/control/image_box.h>

#include <algorithm>

namespace pixavue {
namespace {

std::int16_t ClampToBar(const platform::ScrollBar& bar, std::int32_t position) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(position, 0, std::max<std::int32_t>(bar.Max(), 0)));
}

}  // namespace

void ImageBox::ConnectScrollBars() {
  for (platform::ScrollBar* bar : {&hScroll_, &vScroll_}) {
    bar->onChange = [this, bar](platform::ScrollNotification) { OnScrollBarChange(*bar); };
    bar->onKeyDown = [this](std::int16_t&, std::int16_t&) { OnScrollBarKey(); };
  }
}

void ImageBox::OnScrollBarChange(platform::ScrollBar& bar) {
  if (state_.ScrollKeyPending) {
    state_.ScrollKeyPending = false;
    state_.ScrollNotify = false;
    vScroll_.SetValue(state_.SavedVValue);
    hScroll_.SetValue(state_.SavedHValue);
    state_.ScrollNotify = true;
    return;
  }
  if (!state_.ScrollNotify) return;
  // A scroll of an axis ends its pending alignment.
  if (&bar == &hScroll_) {
    state_.AlignPendingX = false;
    state_.ImageOffsetX = -bar.Value();
  } else {
    state_.AlignPendingY = false;
    state_.ImageOffsetY = -bar.Value();
  }
  RenderView();
  Events().ScrollControl();
}

void ImageBox::OnScrollBarKey() {
  state_.ScrollKeyPending = true;
  state_.SavedHValue = hScroll_.Value();
  state_.SavedVValue = vScroll_.Value();
}

QuorvexStatus ImageBox::SetHScrollBarPosition(std::int32_t nNewHPosition) {
  return ScrollBarTo(hScroll_, nNewHPosition);
}

QuorvexStatus ImageBox::SetVScrollBarPosition(std::int32_t nNewVPosition) {
  return ScrollBarTo(vScroll_, nNewVPosition);
}

// The bar's change notification moves the image, renders and raises
// ScrollControl.
QuorvexStatus ImageBox::ScrollBarTo(platform::ScrollBar& bar, std::int32_t position) {
  const std::int16_t value = ClampToBar(bar, position);
  state_.ScrollKeyPending = false;
  state_.ScrollNotify = true;
  bar.SetValue(value);
  return state_.LastStatus;
}

// Both bars move under the lock, so their notifications draw nothing; one
// render and one ScrollControl follow unless the caller holds the lock.
QuorvexStatus ImageBox::SetHVScrollBarPosition(std::int32_t nNewHPosition, std::int32_t nNewVPosition) {
  const bool wasLocked = props_.LockControl;
  props_.LockControl = true;
  const std::int16_t h = ClampToBar(hScroll_, nNewHPosition);
  const std::int16_t v = ClampToBar(vScroll_, nNewVPosition);
  state_.ScrollKeyPending = false;
  state_.ScrollNotify = true;
  vScroll_.SetValue(v);
  hScroll_.SetValue(h);
  if (!wasLocked) {
    props_.LockControl = false;
    RenderView();
    Events().ScrollControl();
  }
  return state_.LastStatus;
}

}  // namespace pixavue
