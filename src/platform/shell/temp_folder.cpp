#include <pixavue/platform/shell/temp_folder.h>

#include <pixavue/platform/shell/environment.h>

#include <cstdlib>
#include <optional>

namespace pixavue::platform {
namespace {

std::string SystemTempDirectory() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && *tmpdir != '\0') return tmpdir;
  return "/tmp";
}

std::string ChosenFolder() {
  if (std::optional<std::string> tmp = GetEnvironmentVariable("tmp")) return *tmp;
  if (std::optional<std::string> temp = GetEnvironmentVariable("temp")) return *temp;
  return SystemTempDirectory();
}

}  // namespace

std::string TempFolder() noexcept {
  try {
    std::string folder = ChosenFolder();
    if (folder.back() != '/') folder.push_back('/');
    return folder;
  } catch (...) {
    return "/tmp/";  // short enough to need no allocation
  }
}

}  // namespace pixavue::platform
