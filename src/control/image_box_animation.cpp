// GIF animation: a one-shot platform timer on the surface window, keyed by
// the control's address, shows one frame per tick and is armed again with
// that frame's delay.

#include <pixavue/control/image_box.h>
#include <pixavue/platform/window/timer.h>

#include <algorithm>
#include <cstddef>

namespace pixavue {

void ImageBox::put_AnimateGIF(bool animate) {
  props_.AnimateGIF = animate;
  if (animate) {
    PlayGif();
  } else {
    StopGif();
  }
  ReportChange("AnimateGIF");
}

// Frame 1 shows at once. Started from an event handler inside a tick, the
// first frame waits for the timer instead, so that a handler restarting the
// animation on every page change cannot recurse without end.
QuorvexStatus ImageBox::PlayGif() {
  if (state_.LastStatus != QuorvexStatus::OK || state_.GifTimerRunning || !state_.IsAnimatedGif) {
    return state_.LastStatus;
  }
  props_.AnimateGIF = true;
  state_.GifTimerRunning = true;
  ++state_.GifGeneration;
  StopGifTimer();
  state_.GifLoopsLeft = -1;  // endless: the file's own loop count is not used
  props_.CurrentPage = 1;
  if (state_.GifTickDepth > 0) {
    StartGifTimer(0);
  } else {
    GifTick();
  }
  return state_.LastStatus;
}

// The frame on screen stays.
void ImageBox::StopGif() {
  HaltAnimation();
  props_.AnimateGIF = false;
}

// No tick follows, whatever AnimateGIF says; termination ends an animation
// this way so that no timer outlives the control.
void ImageBox::HaltAnimation() {
  platform::KillTimer(surface_.Window(), GifTimerKey());
  state_.GifTimerId = 0;
  state_.GifTimerRunning = false;
  ++state_.GifGeneration;
}

// Shows CurrentPage, arms the timer with its delay and moves CurrentPage on
// to the frame the next tick shows, wrapping to 1. A failed frame still
// arms the timer. When an event handler stopped or restarted the animation
// while the frame was shown, the timer and the page are the handler's.
void ImageBox::GifTick() {
  if (state_.GifLoopsLeft == 0 || !state_.GifTimerRunning) return;
  const std::uint32_t generation = state_.GifGeneration;
  ++state_.GifTickDepth;
  if (state_.EngineState.DisplayCopy != engine::kNoImage) {
    ReleaseDisplayCopy();
    AdoptImage(state_.EngineState.CurrentImage);
    UpdateLayout(state_.EngineState.CurrentImage);
  }
  DisplayFrame(props_.CurrentPage);
  --state_.GifTickDepth;
  if (generation != state_.GifGeneration || !state_.GifTimerRunning) return;
  const std::int32_t page = props_.CurrentPage;
  const std::size_t index = static_cast<std::size_t>(std::max(page, 1) - 1);
  StartGifTimer(index < state_.FrameDelays.size() ? state_.FrameDelays[index] : 0);
  props_.CurrentPage = page + 1;
  if (props_.CurrentPage > props_.PageCount) {
    props_.CurrentPage = 1;
    if (state_.GifLoopsLeft > 0) --state_.GifLoopsLeft;
  }
}

// The platform raises a delay below its minimum to that minimum.
void ImageBox::StartGifTimer(std::int32_t delayMs) {
  const auto interval = static_cast<platform::UINT>(std::max(delayMs, 0));
  state_.GifTimerId = platform::SetTimer(surface_.Window(), GifTimerKey(), interval, &ImageBox::GifTimerProc);
}

void ImageBox::StopGifTimer() {
  if (state_.GifTimerId == 0) return;
  platform::KillTimer(surface_.Window(), state_.GifTimerId);
  state_.GifTimerId = 0;
}

// Each timer fires once: the tick arms the next one. The timer lives on
// the control's own surface window, which goes with the control, and
// termination halts the animation first.
void ImageBox::GifTimerProc(platform::HWND window, platform::UINT, platform::UINT_PTR id, platform::DWORD) {
  auto* control = reinterpret_cast<ImageBox*>(id);
  platform::KillTimer(window, control->state_.GifTimerId);
  control->state_.GifTimerId = 0;
  control->GifTick();
}

}  // namespace pixavue
