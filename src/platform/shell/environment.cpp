#include <pixavue/platform/shell/environment.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace pixavue::platform {
namespace {

bool IsUsableName(std::string_view name) {
  return !name.empty() && name.find('=') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

char AsciiLower(char character) {
  return (character >= 'A' && character <= 'Z') ? static_cast<char>(character - 'A' + 'a') : character;
}

bool EqualIgnoringCase(std::string_view left, std::string_view right) {
  if (left.size() != right.size()) return false;
  for (std::size_t index = 0; index < left.size(); ++index) {
    if (AsciiLower(left[index]) != AsciiLower(right[index])) return false;
  }
  return true;
}

std::optional<std::string> NonEmpty(const char* value) {
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

// Scans "NAME=value" entries for a name equal to `name` ignoring case.
std::optional<std::string> FindIgnoringCase(std::string_view name) {
  if (environ == nullptr) return std::nullopt;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    const std::string_view entryName(*entry, static_cast<std::size_t>(equals - *entry));
    if (!EqualIgnoringCase(entryName, name)) continue;
    if (std::optional<std::string> value = NonEmpty(equals + 1)) return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> GetEnvironmentVariable(std::string_view name) noexcept {
  if (!IsUsableName(name)) return std::nullopt;
  try {
    if (std::optional<std::string> exact = NonEmpty(std::getenv(std::string(name).c_str()))) return exact;
    return FindIgnoringCase(name);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace pixavue::platform
