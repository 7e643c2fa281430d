#pragma once
// Work in progress on the calling thread, shared by every control of the
// thread: the wheel hook reads these flags so that it does not act in the
// middle of other work.

namespace pixavue::control {

struct BusyFlags {
  bool MouseDownBusy = false;  // a button is down
  bool KeyBusy = false;        // a key is being handled
  bool MouseMoveBusy = false;  // a move notification is being handled
  bool LayoutBusy = false;     // a layout or refresh runs
  bool WheelBusy = false;      // the wheel hook sends its own key press
};

BusyFlags& Busy();

// Termination clears every flag but the wheel hook's own.
void ClearWorkFlags();

}  // namespace pixavue::control
