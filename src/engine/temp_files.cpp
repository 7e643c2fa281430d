// Temporary files: random names created exclusively in the temporary folder.

#include <pixavue/engine/temp_files.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include <pixavue/platform/shell/temp_folder.h>

#include "random_source.h"

namespace pixavue::engine {
namespace {

// Names drawn before giving up when every one is taken.
constexpr int kNameAttempts = 1000;
constexpr std::int32_t kLargestName = 99'999'999;
constexpr off_t kLargestReadableFile = 0x7FFFFFFF;

}  // namespace

std::string MakeTempFileName() {
  const std::string folder = platform::TempFolder();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path = folder + std::to_string(RandomInRange(0, kLargestName));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

std::string ControlTempFilePath(platform::HWND window) {
  const std::int64_t handle = platform::HandleValue(window);
  return platform::TempFolder() + std::to_string(handle < 0 ? -handle : handle);
}

std::string FileExists(std::string_view path) {
  const std::string name(path);
  if (name.empty()) return {};
  // Non-blocking, so that a pipe under that name cannot stall the open.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat info {};
  const bool readable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kLargestReadableFile;
  ::close(fd);
  return readable ? name : std::string();
}

void DeleteFileIgnoringErrors(std::string_view path) noexcept {
  if (path.empty()) return;
  try {
    ::unlink(std::string(path).c_str());
  } catch (...) {
    // A name that cannot even be copied names no file we could delete.
  }
}

}  // namespace pixavue::engine
