#pragma once
// Checks a file name the program is asked to write, before any work is done.

#include <optional>
#include <string>

namespace pixavue::app {

// Why `path` cannot receive the output, or nothing when it can. Only a
// regular file, a symbolic link (replaced itself, see file_replacement.h) or
// a new name is written: a name ending in "/", ".", "..", a folder, and a
// device, pipe or socket (named directly or through a link) are refused and
// left as they are.
std::optional<std::string> OutputFileRefusal(const std::string& path);

}  // namespace pixavue::app
