#pragma once
// The imaging layer's part of the self-check.

#include <string>

namespace pixavue::app {

// Makes a small image, saves it in every encoder's format, loads each file
// back and compares the pixels. Empty when all is well, else what failed.
std::string CheckImagingRoundTrips();

}  // namespace pixavue::app
