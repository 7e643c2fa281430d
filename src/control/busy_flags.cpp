#include "busy_flags.h"

namespace pixavue::control {

BusyFlags& Busy() {
  thread_local BusyFlags flags;
  return flags;
}

void ClearWorkFlags() {
  BusyFlags& flags = Busy();
  flags.MouseDownBusy = false;
  flags.KeyBusy = false;
  flags.MouseMoveBusy = false;
  flags.LayoutBusy = false;
}

}  // namespace pixavue::control
