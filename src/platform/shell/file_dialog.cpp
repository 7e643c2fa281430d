#include <pixavue/platform/shell/file_dialog.h>

#include <pixavue/platform/shell/shell_host.h>

#include <utility>

namespace pixavue::platform {
namespace {

OpenFileResult Cancelled() { return OpenFileResult{}; }

// Applies the dialog's rules to the path the host chose.
OpenFileResult Judge(std::string path, std::size_t maxFileNameLength) {
  const std::size_t firstNull = path.find('\0');
  if (firstNull != std::string::npos) path.resize(firstNull);
  if (path.empty()) return Cancelled();
  // The buffer also holds the terminating null, so the path must be shorter.
  if (path.size() >= maxFileNameLength) {
    return OpenFileResult{FileDialogOutcome::BufferTooSmall, {}, path.size() + 1};
  }
  return OpenFileResult{FileDialogOutcome::Chosen, std::move(path), 0};
}

}  // namespace

OpenFileResult GetOpenFileName(const OpenFileRequest& request) noexcept {
  try {
    ShellHost* host = CurrentShellHost();
    if (host == nullptr) return Cancelled();
    std::optional<std::string> chosen = host->ShowOpenFileDialog(request);
    if (!chosen) return Cancelled();
    return Judge(std::move(*chosen), request.maxFileNameLength);
  } catch (...) {
    return Cancelled();
  }
}

std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) noexcept {
  OpenFileResult result = GetOpenFileName(request);
  if (result.outcome != FileDialogOutcome::Chosen) return std::nullopt;
  return std::optional<std::string>(std::move(result.path));
}

}  // namespace pixavue::platform
