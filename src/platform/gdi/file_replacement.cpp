#include <pixavue/platform/gdi/file_replacement.h>
#include <pixavue/platform/gdi/unique_fd.h>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace pixavue::platform {
namespace {

namespace fs = std::filesystem;

// Collisions with another writer's names are astronomically rare; a long run
// of them means the folder is being flooded, and the save gives up.
constexpr int kNameAttempts = 32;
constexpr std::size_t kRandomCharacters = 12;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kPrivateBits = 0600;
constexpr mode_t kNewFileBits = 0666;  // the kernel takes away the umask

int RefusalFor(mode_t mode) { return S_ISDIR(mode) ? EISDIR : EPERM; }

// 0 when what stands at `name` may be replaced; `keptBits` then holds an
// existing regular file's permission bits. A symbolic link is replaced
// itself, so what it leads to matters only to refuse a non-regular file; a
// link that cannot be followed leads nowhere and is replaced.
int InspectTarget(int folder, const char* name, std::optional<mode_t>& keptBits) {
  keptBits.reset();
  struct stat info {};
  if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISREG(info.st_mode)) {
    keptBits = info.st_mode & kPermissionBits;
    return 0;
  }
  if (!S_ISLNK(info.st_mode)) return RefusalFor(info.st_mode);
  if (::fstatat(folder, name, &info, 0) != 0 || S_ISREG(info.st_mode)) return 0;
  return RefusalFor(info.st_mode);
}

// "." and 12 characters of a 64-letter alphabet: 72 random bits, short
// enough to fit beside any name the file system takes.
int RandomName(std::string& name) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::array<unsigned char, kRandomCharacters> bytes{};
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t count = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (count < 0 && errno != EINTR) return errno;
    if (count > 0) filled += static_cast<std::size_t>(count);
  }
  name = ".";
  for (const unsigned char byte : bytes) name += kAlphabet[byte & 63];
  return 0;
}

// O_EXCL creates the file or fails, and never follows a link planted at the name.
int CreateTemporary(int folder, mode_t bits, std::string& name, UniqueFd& file) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    if (const int error = RandomName(name)) return error;
    int fd = -1;
    do {
      fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, bits);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      file = UniqueFd(fd);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

int WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t count = ::write(fd, content.data(), content.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (count == 0) return EIO;
    content.remove_prefix(static_cast<std::size_t>(count));
  }
  return 0;
}

int FillTemporary(UniqueFd& file, std::string_view content, const std::optional<mode_t>& keptBits) {
  if (const int error = WriteAll(file.Get(), content)) return error;
  if (keptBits && ::fchmod(file.Get(), *keptBits) != 0) return errno;
  if (::fsync(file.Get()) != 0) return errno;
  return file.Close();
}

int WriteAndRename(int folder, const std::string& name, std::string_view content) {
  std::optional<mode_t> keptBits;
  if (const int error = InspectTarget(folder, name.c_str(), keptBits)) return error;
  std::string temporary;
  UniqueFd file;
  // A file whose bits are kept is private until it has them.
  if (const int error = CreateTemporary(folder, keptBits ? kPrivateBits : kNewFileBits, temporary, file)) return error;

  int error = FillTemporary(file, content, keptBits);
  std::optional<mode_t> ignored;
  if (error == 0) error = InspectTarget(folder, name.c_str(), ignored);
  if (error == 0 && ::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) error = errno;
  if (error != 0) static_cast<void>(::unlinkat(folder, temporary.c_str(), 0));
  return error;
}

}  // namespace

int ReplaceFileContent(const fs::path& target, std::string_view content) noexcept {
  try {
    const std::string& native = target.native();
    if (native.empty() || native.find('\0') != std::string::npos) return EINVAL;
    const fs::path name = target.filename();
    if (name.empty() || name == "." || name == "..") return EISDIR;
    const fs::path parent = target.parent_path();
    const UniqueFd folder(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return errno;

    if (const int error = WriteAndRename(folder.Get(), name.native(), content)) return error;
    // Makes the rename itself durable; a failure here does not undo the save.
    static_cast<void>(::fsync(folder.Get()));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  } catch (...) {
    return EIO;
  }
}

}  // namespace pixavue::platform
