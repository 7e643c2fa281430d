// Temporary files: random names created exclusively in the temporary folder,
// filled with bytes or with a copy of another file.

#include <pixavue/engine/temp_files.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <array>
#include <new>
#include <utility>

#include <pixavue/platform/shell/temp_folder.h>

#include "random_source.h"

namespace pixavue::engine {
namespace {

// Names drawn before giving up when every one is taken.
constexpr int kNameAttempts = 1000;
constexpr std::int32_t kLargestName = 99'999'999;
constexpr off_t kLargestReadableFile = 0x7FFFFFFF;
constexpr std::size_t kCopyChunk = 64 * 1024;

// A file created exclusively: a name somebody else prepared (a file, a
// link) is never opened. The descriptor is open for writing.
struct NewFile {
  std::string path;
  int fd = -1;
};

NewFile CreateExclusive(std::string path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return {};
  return {std::move(path), fd};
}

NewFile CreateNewTempFile() {
  const std::string folder = platform::TempFolder();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    NewFile file = CreateExclusive(folder + std::to_string(RandomInRange(0, kLargestName)));
    if (file.fd >= 0 || errno != EEXIST) return file;
  }
  return {};
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies at most `size` bytes, the source's size when it was opened, so that
// a file growing meanwhile cannot make the copy go on.
bool CopyContents(int from, int to, off_t size) {
  std::array<std::uint8_t, kCopyChunk> buffer;
  while (size > 0) {
    const auto wanted = static_cast<std::size_t>(std::min<off_t>(size, static_cast<off_t>(buffer.size())));
    const ssize_t got = ::read(from, buffer.data(), wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
    size -= got;
  }
  return true;
}

// Closes the new file; a failed step or close removes it again.
std::string Finish(NewFile& file, bool written) {
  const bool closed = ::close(file.fd) == 0;
  if (written && closed) return std::move(file.path);
  ::unlink(file.path.c_str());
  return {};
}

bool IsLoadableFile(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_size <= kLargestReadableFile;
}

}  // namespace

std::string MakeTempFileName() {
  NewFile file = CreateNewTempFile();
  if (file.fd < 0) return {};
  ::close(file.fd);
  return file.path;
}

std::string WriteBytesToTempFile(std::span<const std::uint8_t> bytes) {
  try {
    NewFile file = CreateNewTempFile();
    if (file.fd < 0) return {};
    return Finish(file, WriteAll(file.fd, bytes.data(), bytes.size()));
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string CopyToTempFile(std::string_view source, std::string_view preferredPath) {
  try {
    const std::string from(source);
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return {};
    struct stat info {};
    NewFile file;
    if (::fstat(in, &info) == 0 && IsLoadableFile(info)) {
      file = CreateExclusive(std::string(preferredPath));
      if (file.fd < 0 && errno == EEXIST) file = CreateNewTempFile();
    }
    std::string copy = file.fd >= 0 ? Finish(file, CopyContents(in, file.fd, info.st_size)) : std::string();
    ::close(in);
    return copy;
  } catch (const std::bad_alloc&) {
    return {};
  }
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
  const bool readable = ::fstat(fd, &info) == 0 && IsLoadableFile(info);
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
