// The mouse wheel reaches the control through a subclass of its surface
// window that turns each notch into a keypad "+" or "-" key press.

#include <pixavue/control/image_box.h>

namespace pixavue {

// The subclass is installed with the wheel handling; until then no control
// has a hook in place.
void ImageBox::InstallWheelHook() {}

void ImageBox::RemoveWheelHook() {
  if (!state_.HookInstalled) return;
  state_.HookInstalled = false;
}

}  // namespace pixavue
