#include <pixavue/platform/shell/file_version.h>

#include <dlfcn.h>
#include <link.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>

namespace pixavue::platform {
namespace {

constexpr std::string_view kSharedObjectMarker = ".so.";
constexpr std::size_t kVersionPartCount = 4;
constexpr unsigned kLargestVersionPart = 65535;

using VersionParts = std::array<unsigned, kVersionPartCount>;

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool AllDigits(std::string_view text) {
  for (const char character : text) {
    if (character < '0' || character > '9') return false;
  }
  return true;
}

// One part of the version: a non-empty decimal number that fits 16 bits.
std::optional<unsigned> ParseVersionPart(std::string_view text) {
  if (text.empty() || !AllDigits(text)) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error != std::errc{} || value > kLargestVersionPart) return std::nullopt;
  return value;
}

// "16.39.0" -> {16, 39, 0, 0}. Every part must be valid, even past the fourth.
std::optional<VersionParts> ParseVersionParts(std::string_view text) {
  VersionParts parts{};
  for (std::size_t index = 0;; ++index) {
    const std::size_t dot = text.find('.');
    const std::optional<unsigned> part = ParseVersionPart(text.substr(0, dot));
    if (!part) return std::nullopt;
    if (index < kVersionPartCount) parts[index] = *part;
    if (dot == std::string_view::npos) return parts;
    text.remove_prefix(dot + 1);
  }
}

std::string JoinVersionParts(const VersionParts& parts) {
  std::string text;
  for (const unsigned part : parts) {
    if (!text.empty()) text.push_back('.');
    text += std::to_string(part);
  }
  return text;
}

struct FreeDeleter {
  void operator()(char* memory) const { std::free(memory); }
};

// A library loaded for the time of one lookup.
class LoadedLibrary final {
 public:
  explicit LoadedLibrary(const std::string& name) : handle_(dlopen(name.c_str(), RTLD_LAZY | RTLD_LOCAL)) {}
  ~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }

  // The file the loader mapped, with every symbolic link resolved.
  std::optional<std::string> RealPath() const {
    link_map* map = nullptr;
    if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return std::nullopt;
    if (map->l_name == nullptr || *map->l_name == '\0') return std::nullopt;
    const std::unique_ptr<char, FreeDeleter> resolved(realpath(map->l_name, nullptr));
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
  }

 private:
  void* handle_;
};

std::string LookUpVersion(std::string_view library) {
  // dlopen(nullptr) would name the program itself, and a null inside the name
  // would silently shorten it: neither can be a library the caller means.
  if (library.empty() || library.find('\0') != std::string_view::npos) return std::string(kVersionUnknown);
  const LoadedLibrary loaded{std::string(library)};
  if (!loaded.IsLoaded()) {
    dlerror();  // consume the loader's message so it is not left for others
    return std::string(kVersionUnknown);
  }
  const std::optional<std::string> path = loaded.RealPath();
  if (!path) return std::string(kVersionUndefined);
  return FileVersionFromFileName(*path);
}

}  // namespace

std::string FileVersionFromFileName(std::string_view fileName) noexcept {
  try {
    const std::string_view name = BaseName(fileName);
    const std::size_t marker = name.find(kSharedObjectMarker);
    if (marker == std::string_view::npos) return std::string(kVersionUnknown);
    const std::optional<VersionParts> parts = ParseVersionParts(name.substr(marker + kSharedObjectMarker.size()));
    return parts ? JoinVersionParts(*parts) : std::string(kVersionUndefined);
  } catch (...) {
    return std::string(kVersionUndefined);
  }
}

std::string FileVersionString(std::string_view library) noexcept {
  try {
    return LookUpVersion(library);
  } catch (...) {
    return std::string(kVersionUndefined);
  }
}

}  // namespace pixavue::platform
