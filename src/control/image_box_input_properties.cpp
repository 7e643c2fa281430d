// Properties of mouse, wheel and drop handling, and the pointer each mouse
// mode shows.

#include <pixavue/control/image_box.h>

namespace pixavue {

// Only the four modes are taken; the container hears of every attempt.
void ImageBox::put_MouseMode(ViewerMouseMode mode) {
  if (mode >= MouseModeDefault && mode <= MouseModeAutoZoom) {
    if (mode == MouseModeDefault || mode == MouseModePan) ClearRect();
    props_.MouseMode = mode;
    ApplyModeCursor();
  }
  ReportChange("MouseMode");
}

// No button reads as the left one.
MouseButton ImageBox::get_MouseButtonForMouseMode() {
  if (props_.MouseButtonForMouseMode == 0) props_.MouseButtonForMouseMode = MouseButtonLeft;
  return props_.MouseButtonForMouseMode;
}

void ImageBox::put_MouseButtonForMouseMode(MouseButton button) {
  props_.MouseButtonForMouseMode = button == 0 ? MouseButtonLeft : button;
  ReportChange("MouseButtonForMouseMode");
}

// A pointer other than the default overrides the pointers of the modes.
void ImageBox::put_MousePointer(MousePointers pointer) {
  props_.MousePointer = pointer;
  state_.CustomPointerActive = pointer != MousePointerDefault;
  surface_.SetMousePointer(pointer);
  if (pointer == MousePointerDefault) ApplyModeCursor();
  ReportChange("MousePointer");
}

void ImageBox::put_EnableMouseWheel(bool enable) {
  props_.EnableMouseWheel = enable;
  if (!enable) {
    RemoveWheelHook();
  } else if (ImageShown()) {
    InstallWheelHook();
  }
  ReportChange("EnableMouseWheel");
}

void ImageBox::put_MouseWheelMode(ViewerMouseWheelMode mode) {
  props_.MouseWheelMode = mode;
  ReportChange("MouseWheelMode");
}

void ImageBox::put_ViewerDrop(bool accept) {
  props_.ViewerDrop = accept;
  surface_.SetDropMode(accept ? SurfaceDropMode::Manual : SurfaceDropMode::None);
  ReportChange("ViewerDrop");
}

// The container's pointer when it chose one; otherwise the mode's: an arrow,
// a cross for rectangles, an open hand for panning an image.
void ImageBox::ApplyModeCursor() {
  if (state_.CustomPointerActive) {
    surface_.SetMousePointer(props_.MousePointer);
    return;
  }
  switch (props_.MouseMode) {
    case MouseModeDefault:
      surface_.SetMousePointer(MousePointerDefault);
      break;
    case MouseModeAreaSelection:
    case MouseModeAutoZoom:
      surface_.SetMousePointer(MousePointerCross);
      break;
    case MouseModePan:
      if (!ImageShown()) break;
      surface_.SetMousePointer(MousePointerCustom);
      surface_.SetMouseIconResource(ControlSurface::kOpenHandCursor);
      break;
    default:
      break;
  }
}

}  // namespace pixavue
