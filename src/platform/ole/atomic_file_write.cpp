#include <pixavue/platform/ole/atomic_file_write.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <limits>
#include <new>
#include <string>

#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/file_stream.h>

#include "posix_error.h"
#include "unique_fd.h"

namespace pixavue::platform {
using namespace ole_detail;
namespace {

namespace fs = std::filesystem;

constexpr int kTemporaryNameAttempts = 100;

// ".<name>.tmp-<pid>-<n>": hidden, beside the target, unique per process.
// The target's name is shortened so that a long one still fits the file
// system's name limit once the suffix is added.
fs::path TemporaryPathFor(const fs::path& target) {
  constexpr std::size_t kKeptNameBytes = 200;
  static std::atomic<unsigned> counter{0};
  std::string name = ".";
  name += target.filename().native().substr(0, kKeptNameBytes);
  name += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  return target.parent_path() / name;
}

HRESULT WriteAll(IStream& stream, std::string_view content) {
  while (!content.empty()) {
    const auto chunk = static_cast<ULONG>(std::min<std::size_t>(content.size(), std::numeric_limits<ULONG>::max()));
    if (const HRESULT status = stream.Write(content.data(), chunk, nullptr); FAILED(status)) return status;
    content.remove_prefix(chunk);
  }
  return stream.Commit(STGC_DEFAULT);
}

// Creates the temporary file; retries when another writer took the name.
HRESULT CreateTemporary(const fs::path& target, fs::path& temporary, ComPtr<IStream>& stream) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = TemporaryPathFor(target);
    const HRESULT status = CreateStreamOnFile(temporary, FileStreamMode::CreateNew, stream.ReleaseAndGetAddressOf());
    if (status != STG_E_FILEALREADYEXISTS) return status;
  }
  return STG_E_FILEALREADYEXISTS;
}

// The new file takes over the old one's permission bits; without an old
// file it keeps the 0600 it was created with.
void CopyPermissions(const fs::path& from, const fs::path& to) {
  struct stat info {};
  if (::stat(from.c_str(), &info) == 0) static_cast<void>(::chmod(to.c_str(), info.st_mode & 07777));
}

// Makes the rename itself durable; failure here does not undo the save.
void FlushFolder(const fs::path& folder) {
  const UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) static_cast<void>(::fsync(directory.Get()));
}

HRESULT WriteAndRename(const fs::path& target, const fs::path& temporary, IStream& stream, std::string_view content) {
  if (const HRESULT status = WriteAll(stream, content); FAILED(status)) return status;
  CopyPermissions(target, temporary);
  if (::rename(temporary.c_str(), target.c_str()) != 0) return PathErrorStatus(errno);
  return S_OK;
}

}  // namespace

HRESULT ReplaceFileAtomically(const fs::path& target, std::string_view content) noexcept {
  try {
    if (!target.has_filename() || target.native().find('\0') != std::string::npos) return STG_E_INVALIDPARAMETER;
    fs::path temporary;
    ComPtr<IStream> stream;
    if (const HRESULT status = CreateTemporary(target, temporary, stream); FAILED(status)) return status;

    const HRESULT status = WriteAndRename(target, temporary, *stream, content);
    stream.Reset();
    if (FAILED(status)) {
      static_cast<void>(::unlink(temporary.c_str()));
      return status;
    }
    const fs::path folder = target.parent_path();
    FlushFolder(folder.empty() ? fs::path(".") : folder);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace pixavue::platform
