#pragma once
// The per-thread shell host: the object that really shows message boxes and
// the open-file dialog (a window-system host, or a headless host that records
// and answers from a script). Each user-interface thread has its own; a host is
// installed for a scope with ShellHostGuard. With none installed, message_box.h
// and file_dialog.h describe the defaults.

#include <pixavue/platform/shell/file_dialog.h>
#include <pixavue/platform/shell/message_box.h>

#include <optional>
#include <string>

namespace pixavue::platform {

class ShellHost {
 public:
  virtual ~ShellHost() = default;

  // Shows the box and returns the vb answer of the button chosen.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;

  // Lets the user choose a file: its full path, or nothing when cancelled.
  virtual std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest& request) = 0;
};

// Installs a host on the calling thread for the guard's lifetime and puts the
// previous one (or none) back when destroyed. Guards nest: destroy them in the
// reverse order of creation, on the thread that created them, which scoped
// objects do by themselves. The host must outlive the guard.
class ShellHostGuard final {
 public:
  explicit ShellHostGuard(ShellHost& host) noexcept;
  ~ShellHostGuard();

  ShellHostGuard(const ShellHostGuard&) = delete;
  ShellHostGuard& operator=(const ShellHostGuard&) = delete;
  ShellHostGuard(ShellHostGuard&&) = delete;
  ShellHostGuard& operator=(ShellHostGuard&&) = delete;

 private:
  ShellHost* previous_;
};

// The host installed on the calling thread, or nullptr.
ShellHost* CurrentShellHost() noexcept;

}  // namespace pixavue::platform
