#pragma once
// Owns a POSIX file descriptor and closes it once.

#include <unistd.h>

#include <cerrno>

#include <utility>

namespace pixavue::platform {

class UniqueFd final {
 public:
  UniqueFd() noexcept = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  // close() is not retried on EINTR: on Linux the descriptor is gone anyway.
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }

  int Get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

  // Closes now and reports the failure (a delayed write error on some file
  // systems) as an errno value, or 0.
  int Close() noexcept { return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno; }

 private:
  int fd_ = -1;
};

}  // namespace pixavue::platform
