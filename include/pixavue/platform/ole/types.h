#pragma once
// Integer types of the COM interfaces, with the widths they have on Windows.
// The window layer declares UINT and DWORD identically; the repeated alias
// declarations are compatible.

#include <cstdint>

namespace pixavue::platform {

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;

}  // namespace pixavue::platform
