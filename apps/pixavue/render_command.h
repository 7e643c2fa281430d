#pragma once
// `pixavue render FILE -o OUT.png [options]`: shows a file in a control of
// the given size on a headless host, with the given zoom, placement,
// quality, page and gamma, and writes what a person would see as a PNG.

#include <iosfwd>
#include <span>
#include <string>

namespace pixavue::app {

// Returns 0 when the PNG was written (one line on `out` says where); 1 when
// loading, drawing or saving failed (the status on `err`), or when the output
// names a folder or something other than a regular file, which is checked
// before anything is loaded or created and left as it is (output_file.h);
// 2 for a usage error (the reason and the usage line on `err`).
int RunRender(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace pixavue::app
