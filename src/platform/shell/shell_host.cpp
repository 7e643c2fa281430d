#include <pixavue/platform/shell/shell_host.h>

namespace pixavue::platform {
namespace {

// One host per user-interface thread, like the rest of the per-thread state.
thread_local ShellHost* installedHost = nullptr;

}  // namespace

ShellHostGuard::ShellHostGuard(ShellHost& host) noexcept : previous_(installedHost) { installedHost = &host; }

ShellHostGuard::~ShellHostGuard() { installedHost = previous_; }

ShellHost* CurrentShellHost() noexcept { return installedHost; }

}  // namespace pixavue::platform
