#pragma once
// The folder for temporary files.

#include <string>

namespace pixavue::platform {

// The environment variable "tmp", else "temp" (both found ignoring case, see
// environment.h), else the system's temporary directory ($TMPDIR, else
// "/tmp"), with a "/" appended when it does not already end with one. The
// folder is not checked for existence.
std::string TempFolder() noexcept;

}  // namespace pixavue::platform
