#pragma once
// Integer types of the COM interfaces, with the widths they have on Windows:
// those of the window system, plus ULONG.

#include <pixavue/platform/window/types.h>

#include <cstdint>

namespace pixavue::platform {

using ULONG = std::uint32_t;

}  // namespace pixavue::platform
