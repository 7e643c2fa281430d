// The thread's last error.

#include <pixavue/platform/inet/last_error.h>

namespace pixavue::platform {
namespace {

thread_local DWORD lastError = 0;

}  // namespace

DWORD GetLastError() noexcept { return lastError; }

void SetLastError(DWORD code) noexcept { lastError = code; }

}  // namespace pixavue::platform
