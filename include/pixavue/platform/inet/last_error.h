#pragma once
// The thread's last error: the number a failed platform call leaves for
// its caller, and a call's way of setting it.

#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

DWORD GetLastError() noexcept;
void SetLastError(DWORD code) noexcept;

}  // namespace pixavue::platform
