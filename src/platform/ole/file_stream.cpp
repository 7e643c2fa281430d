#include <pixavue/platform/ole/file_stream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include <pixavue/platform/gdi/unique_fd.h>
#include <pixavue/platform/ole/com_ptr.h>

#include "byte_store.h"
#include "posix_error.h"
#include "seekable_stream.h"

namespace pixavue::platform {
namespace {

using ole_detail::ByteStore;

constexpr std::uint64_t kMaxFileOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

// Reads and writes at explicit offsets (pread/pwrite), so clones sharing the
// descriptor keep independent positions.
class FileStore final : public RefCounted<ByteStore> {
 public:
  FileStore(UniqueFd fd, std::string name, bool readOnly) noexcept
      : fd_(std::move(fd)), name_(std::move(name)), readOnly_(readOnly) {}

  HRESULT Size(std::uint64_t& size) noexcept override {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) return ole_detail::ReadErrorStatus(errno);
    size = static_cast<std::uint64_t>(info.st_size);
    return S_OK;
  }

  HRESULT ReadAt(std::uint64_t offset, std::span<std::byte> buffer, std::size_t& bytesRead) noexcept override {
    bytesRead = 0;
    if (offset >= kMaxFileOffset) return S_OK;
    const std::size_t wanted = std::min<std::uint64_t>(buffer.size(), kMaxFileOffset - offset);
    while (bytesRead < wanted) {
      const ssize_t count = ::pread(fd_.Get(), buffer.data() + bytesRead, wanted - bytesRead,
                                    static_cast<off_t>(offset + bytesRead));
      if (count < 0) {
        if (errno == EINTR) continue;
        return ole_detail::ReadErrorStatus(errno);
      }
      if (count == 0) break;  // end of file
      bytesRead += static_cast<std::size_t>(count);
    }
    return S_OK;
  }

  // A write past the end leaves a hole, which the file system reads as zeros.
  HRESULT WriteAt(std::uint64_t offset, std::span<const std::byte> data) noexcept override {
    if (readOnly_) return STG_E_ACCESSDENIED;
    if (!ole_detail::FitsWithin(offset, data.size(), kMaxFileOffset)) return STG_E_MEDIUMFULL;
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t count =
          ::pwrite(fd_.Get(), data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (count < 0) {
        if (errno == EINTR) continue;
        return ole_detail::WriteErrorStatus(errno);
      }
      if (count == 0) return STG_E_WRITEFAULT;
      done += static_cast<std::size_t>(count);
    }
    return S_OK;
  }

  HRESULT Resize(std::uint64_t size) noexcept override {
    if (readOnly_) return STG_E_ACCESSDENIED;
    if (size > kMaxFileOffset) return STG_E_MEDIUMFULL;
    while (::ftruncate(fd_.Get(), static_cast<off_t>(size)) != 0) {
      if (errno != EINTR) return ole_detail::WriteErrorStatus(errno);
    }
    return S_OK;
  }

  HRESULT Flush() noexcept override {
    if (readOnly_) return S_OK;
    return ::fsync(fd_.Get()) == 0 ? S_OK : ole_detail::WriteErrorStatus(errno);
  }

  std::string_view Name() const noexcept override { return name_; }
  DWORD Mode() const noexcept override { return readOnly_ ? STGM_READ : STGM_READWRITE; }

 private:
  UniqueFd fd_;
  std::string name_;
  bool readOnly_;
};

int OpenFlags(FileStreamMode mode) {
  // O_NONBLOCK: opening a pipe must not wait for a writer; it is cleared again
  // once the file is known to be regular.
  constexpr int kCommon = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  switch (mode) {
    case FileStreamMode::Read:
      return kCommon | O_RDONLY;
    case FileStreamMode::ReadWrite:
      return kCommon | O_RDWR;
    case FileStreamMode::CreateNew:
      return kCommon | O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
    case FileStreamMode::CreateAlways:
      return kCommon | O_RDWR | O_CREAT | O_TRUNC;
  }
  return -1;
}

HRESULT OpenRegularFile(const std::string& path, int flags, UniqueFd& file) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return ole_detail::PathErrorStatus(errno);
  UniqueFd opened(fd);

  struct stat info {};
  if (::fstat(fd, &info) != 0) return ole_detail::PathErrorStatus(errno);
  if (!S_ISREG(info.st_mode)) return STG_E_ACCESSDENIED;
  const int statusFlags = ::fcntl(fd, F_GETFL);
  if (statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
    return ole_detail::PathErrorStatus(errno);
  }
  file = std::move(opened);
  return S_OK;
}

}  // namespace

HRESULT CreateStreamOnFile(const std::filesystem::path& path, FileStreamMode mode, IStream** stream) noexcept {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  const int flags = OpenFlags(mode);
  if (flags < 0) return STG_E_INVALIDPARAMETER;
  const std::string& native = path.native();
  if (native.find('\0') != std::string::npos) return STG_E_INVALIDPARAMETER;

  UniqueFd file;
  if (const HRESULT status = OpenRegularFile(native, flags, file); FAILED(status)) return status;
  auto store = MakeComPtr<FileStore>(std::move(file), native, mode == FileStreamMode::Read);
  if (!store) return E_OUTOFMEMORY;
  return ole_detail::HandOutStream(std::move(store), stream);
}

HRESULT ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                        std::vector<std::uint8_t>& bytes) noexcept {
  bytes.clear();
  ComPtr<IStream> file;
  if (const HRESULT status = CreateStreamOnFile(path, FileStreamMode::Read, file.ReleaseAndGetAddressOf());
      FAILED(status)) {
    return status;
  }
  STATSTG info;
  if (const HRESULT status = file->Stat(&info, STATFLAG_NONAME); FAILED(status)) return status;
  if (info.cbSize > maxBytes || info.cbSize > std::numeric_limits<std::size_t>::max()) return STG_E_DOCFILETOOLARGE;
  try {
    bytes.resize(static_cast<std::size_t>(info.cbSize));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto wanted = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 0x7FFFFFFF));
    ULONG got = 0;
    if (const HRESULT status = file->Read(bytes.data() + done, wanted, &got); FAILED(status)) {
      bytes.clear();
      return status;
    }
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return S_OK;
}

}  // namespace pixavue::platform
