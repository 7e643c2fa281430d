#pragma once
// The drawing and control parts of the self-check.

#include <string>

#include <pixavue/hosts/headless/headless_host.h>

namespace pixavue::app {

// Enlarges a 2 x 2 image four times with nearest-neighbour drawing and checks
// the pixel blocks. Empty when all is well, else what failed.
std::string CheckDrawing();

// Creates a control on the host, gives it an image through the engine and
// checks what the control adopted, then closes the image and terminates.
std::string CheckControl(headless::HeadlessHost& host);

}  // namespace pixavue::app
