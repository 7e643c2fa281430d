#include "file_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include <pixavue/platform/gdiplus/wide_file_name.h>

#include "image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

GpStatus StatusFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return AccessDenied;
    case ENOMEM:
      return OutOfMemory;
    default:
      return Win32Error;
  }
}

// Ok once fd is known to be a regular file and reads from it block again.
// Anything else (a folder, a device, a pipe, a socket) is AccessDenied: it
// is not read at all, so it can neither stall the load nor feed it without
// end.
GpStatus CheckRegularFile(int fd, struct stat& info) {
  if (::fstat(fd, &info) != 0) return StatusFromErrno(errno);
  if (!S_ISREG(info.st_mode)) return AccessDenied;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return StatusFromErrno(errno);
  return Ok;
}

// Fills bytes from fd, at most its size as the file had when it was opened
// (so a file that grows cannot make the load read on); a file that shrank
// leaves bytes shorter.
GpStatus ReadAtMost(int fd, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return StatusFromErrno(errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return Ok;
}

}  // namespace

std::optional<std::filesystem::path> PathFromWide(const WCHAR* name) {
  if (name == nullptr || name[0] == 0) return std::nullopt;
  return std::filesystem::path(FileNameFromWide(name));
}

GpStatus ReadWholeFile(const std::filesystem::path& path, EncodedBytes& out) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return StatusFromErrno(errno);
  struct stat info {};
  GpStatus status = CheckRegularFile(fd, info);
  if (status == Ok && static_cast<std::uint64_t>(info.st_size) > kMaxEncodedBytes) status = OutOfMemory;
  if (status == Ok) {
    try {
      auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(info.st_size));
      status = ReadAtMost(fd, *bytes);
      if (status == Ok) out = std::move(bytes);
    } catch (const std::bad_alloc&) {
      status = OutOfMemory;
    }
  }
  ::close(fd);
  return status;
}

}  // namespace pixavue::platform::gdiplus
