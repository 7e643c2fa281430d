#pragma once
// The retained 32-bit surfaces of windows, kept per window by the table.

#include <cstdint>

#include <pixavue/platform/window/types.h>

#include "object_table.h"

namespace pixavue::platform::gdi {

// The surface bitmap of a live window of the calling thread, made or resized
// to the client area; 0 when the window is not live or memory runs out.
// Surfaces of the calling thread's windows that are gone are freed first.
std::uintptr_t AcquireWindowSurface(TableAccess& access, HWND window);

}  // namespace pixavue::platform::gdi
