#pragma once
// The format name of an image handle, from its raw format.

#include <string>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::engine {

// "" when the raw format cannot be read.
std::string FormatNameOfHandle(platform::GpImage* image);

}  // namespace pixavue::engine
