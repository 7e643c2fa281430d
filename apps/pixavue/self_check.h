#pragma once
// A quick check that the platform services work on this machine: windows and
// procedure chains, the message queue, timers on the virtual clock, the
// control's child elements, the shell services, and image files saved and
// read back through the imaging layer. Used by `pixavue --version`.

#include <iosfwd>

namespace pixavue::app {

// Prints one line per check to `out`; returns true when all passed.
bool RunSelfCheck(std::ostream& out);

}  // namespace pixavue::app
