#pragma once
// `pixavue info FILE...`: loads each file into a control on a headless host,
// as an application would, and prints what the control then knows about it.

#include <iosfwd>
#include <span>
#include <string>

namespace pixavue::app {

// Prints one block of "key: value" lines per file, blocks separated by a
// blank line. Returns 0 when every file loaded, 1 otherwise.
int RunInfo(std::span<const std::string> paths, std::ostream& out);

}  // namespace pixavue::app
