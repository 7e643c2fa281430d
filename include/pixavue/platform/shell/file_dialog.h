#pragma once
// The open-file dialog. The thread's shell host (shell_host.h) lets the user
// pick a file; this layer applies the rules of the original dialog to the
// answer. Without a host the dialog counts as cancelled.

#include <pixavue/platform/window/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace pixavue::platform {

inline constexpr std::size_t kDefaultFileNameBufferSize = 256;

struct OpenFileRequest {
  std::string title = "Open File";
  HWND owner = kNoWindow;
  // Pairs of description and pattern separated by '|', as in
  // "Images|*.png;*.jpg|All files|*.*". Empty: every file.
  std::string filter;
  std::string initialFolder;
  // Size of the caller's name buffer in characters, terminating null
  // included: the longest path it takes is one character shorter.
  std::size_t maxFileNameLength = kDefaultFileNameBufferSize;
};

enum class FileDialogOutcome { Chosen, Cancelled, BufferTooSmall };

struct OpenFileResult {
  FileDialogOutcome outcome = FileDialogOutcome::Cancelled;
  // The chosen path when the outcome is Chosen, empty otherwise.
  std::string path;
  // For BufferTooSmall: the buffer size the path would need (length + 1).
  std::size_t requiredLength = 0;
};

// Asks the host for a file. The host's answer is cut at its first null
// character (as a C buffer would carry it); an empty answer counts as
// cancelled; an answer whose length is maxFileNameLength or more gives
// BufferTooSmall with no path. A host that throws counts as cancelled.
OpenFileResult GetOpenFileName(const OpenFileRequest& request) noexcept;

// The chosen path, or nothing when the dialog did not end with a usable path.
std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) noexcept;

}  // namespace pixavue::platform
