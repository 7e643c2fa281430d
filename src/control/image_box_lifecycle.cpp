// Creation, first showing, resize and paint notifications, and termination.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/shell/platform_version.h>
#include <pixavue/platform/shell/temp_folder.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "busy_flags.h"

namespace pixavue {
namespace {

// Runs one creation step. A failure does not stop the sequence: its
// description is kept (the last one wins) and judged at the end.
template <class Step>
void RunCreationStep(std::string& failure, Step&& step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    failure = "Out of memory";
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = "Unexpected error";
  }
}

// The temporary folder followed by the decimal absolute value of the handle.
std::string TempFilePathFor(platform::HWND window) {
  const std::int64_t handle = platform::HandleValue(window);
  return platform::TempFolder() + std::to_string(std::llabs(handle));
}

}  // namespace

// The download settings, the view members and the colour helper already hold
// their creation values (ImageBoxRuntime); the remaining steps can fail.
void ImageBox::Initialize() {
  std::string failure;
  if (!surface_.IsLive()) failure = "The control's window could not be created";
  RunCreationStep(failure, [&] {
    state_.EngineState.TempFilePath = TempFilePathFor(surface_.Window());
    state_.EngineState.TempFileInUse = false;
  });
  RunCreationStep(failure, [&] {
    state_.OsVersion = platform::PlatformVersionNumber(platform::CurrentPlatformVersion());
  });
  // The engine reports its own start-up failures.
  RunCreationStep(failure, [] { engine::StartEngine(); });
  state_.AlignOnce = true;
  if (failure.empty()) return;
  state_.LastStatus = QuorvexStatus::GenericError;
  // Properties are not read yet, so SilentMode is still false here.
  ShowMessage("Init Error: " + failure, platform::vbOKOnly);
}

void ImageBox::Show() {
  ClearRect();
  UpdateScrollRanges();
  ArrangeScrollBars();
  if (props_.MousePointer != MousePointerDefault) {
    state_.CustomPointerActive = true;
    surface_.SetMousePointer(props_.MousePointer);
  }
}

// Places the bars along the right and bottom edges and the corner box between
// them, then lays the view out again. Errors during a resize are ignored.
void ImageBox::OnResize() {
  const int width = surface_.ScaleWidth();
  const int height = surface_.ScaleHeight();
  if (width <= 0 || height <= 0) return;
  try {
    if (height - hScroll_.Height() > 0) {
      vScroll_.Move(width - vScroll_.Width(), vScroll_.Top(), vScroll_.Width(), height - hScroll_.Height());
      hScroll_.Move(0, height - hScroll_.Height(), hScroll_.Width(), hScroll_.Height());
    }
    if (width - vScroll_.Width() > 0) hScroll_.SetWidth(width - vScroll_.Width());
    shCorner_.MoveTo(vScroll_.Left(), hScroll_.Top());
    UpdateLayout();
    ComputeMaxZoom();
    Events().ResizeControl();
  } catch (...) {
  }
}

// The surface repaints itself from what it retains; the container only
// hears of the paint.
void ImageBox::OnPaint() { Events().PaintControl(); }

// The wheel hook is always removed: the platform version for which the
// original control kept it in place cannot occur here. An image shown from a
// temporary file (a byte array, a string, a forced copy) is closed first, so
// that the file, a copy of the user's image, does not outlive the control;
// other images stay in the thread's table until its last control stops.
// An animation ends first: its timer names the control by its address.
void ImageBox::Terminate() {
  control::ClearWorkFlags();
  if (state_.Terminated) return;
  HaltAnimation();
  try {
    if (state_.EngineState.TempFileInUse) CloseCurrentImage();
    DeleteTempFile();
  } catch (...) {
  }
  try {
    engine::StopEngine();
  } catch (...) {
  }
  state_.EngineState.CurrentImage = engine::kNoImage;
  try {
    RemoveWheelHook();
  } catch (...) {
  }
  state_.Terminated = true;
}

}  // namespace pixavue
