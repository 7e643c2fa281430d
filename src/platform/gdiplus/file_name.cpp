#include "file_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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

}  // namespace

std::optional<std::filesystem::path> PathFromWide(const WCHAR* name) {
  if (name == nullptr || name[0] == 0) return std::nullopt;
  std::string utf8;
  for (const WCHAR* p = name; *p != 0; ++p) {
    char32_t c = *p;
    if (IsHighSurrogate(*p) && IsLowSurrogate(p[1])) {
      c = 0x10000 + ((static_cast<char32_t>(*p) - 0xD800) << 10) + (static_cast<char32_t>(p[1]) - 0xDC00);
      ++p;
    } else if (IsHighSurrogate(*p) || IsLowSurrogate(*p)) {
      c = 0xFFFD;
    }
    AppendUtf8(utf8, c);
  }
  return std::filesystem::path(utf8);
}

GpStatus ReadWholeFile(const std::filesystem::path& path, EncodedBytes& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return StatusFromErrno(errno);
  struct stat info {};
  GpStatus status = Ok;
  if (::fstat(fd, &info) != 0) {
    status = StatusFromErrno(errno);
  } else if (S_ISDIR(info.st_mode)) {
    status = AccessDenied;
  } else if (static_cast<std::uint64_t>(info.st_size) > kMaxEncodedBytes) {
    status = OutOfMemory;
  }
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  if (status == Ok) {
    try {
      bytes->resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
      status = OutOfMemory;
    }
  }
  std::size_t done = 0;
  while (status == Ok && done < bytes->size()) {
    const ssize_t got = ::read(fd, bytes->data() + done, bytes->size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) status = StatusFromErrno(errno);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (status != Ok) return status;
  bytes->resize(done);  // the file shrank while being read
  out = std::move(bytes);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
