// GIF animation: a platform timer on the surface window, keyed by the
// control's address, shows one frame per tick.

#include <pixavue/control/image_box.h>
#include <pixavue/platform/window/timer.h>

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

// Starting the animation comes with the frame ticks.
QuorvexStatus ImageBox::PlayGif() { return state_.LastStatus; }

// The frame on screen stays.
void ImageBox::StopGif() {
  platform::KillTimer(surface_.Window(), GifTimerKey());
  state_.GifTimerRunning = false;
  props_.AnimateGIF = false;
}

void ImageBox::StopGifTimer() {
  if (state_.GifTimerId == 0) return;
  platform::KillTimer(surface_.Window(), state_.GifTimerId);
  state_.GifTimerId = 0;
}

}  // namespace pixavue
