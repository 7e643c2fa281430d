#include "output_file.h"

#include <filesystem>
#include <system_error>

namespace pixavue::app {

std::optional<std::string> OutputFileRefusal(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path name = fs::path(path).filename();
  if (name.empty() || name == "." || name == "..") return "it names a folder, not a file";
  std::error_code error;
  const fs::file_status status = fs::status(path, error);  // a link counts as what it leads to
  if (error || status.type() == fs::file_type::not_found || fs::is_regular_file(status)) return std::nullopt;
  if (fs::is_directory(status)) return "it is a folder";
  return "it is a device, pipe or socket, not a regular file, and is left as it is";
}

}  // namespace pixavue::app
