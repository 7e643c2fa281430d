#include <pixavue/platform/shell/platform_version.h>

#include <sys/utsname.h>

#include <charconv>
#include <system_error>

namespace pixavue::platform {
namespace {

constexpr int kLargestVersionNumber = 999999;

bool IsDigit(char character) { return character >= '0' && character <= '9'; }

// Reads the decimal number at the front of `text` and drops it from `text`.
std::optional<int> TakeNumber(std::string_view& text) {
  std::size_t length = 0;
  while (length < text.size() && IsDigit(text[length])) ++length;
  if (length == 0) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
  if (error != std::errc{} || value > kLargestVersionNumber) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

}  // namespace

std::optional<PlatformVersion> ParsePlatformVersion(std::string_view release) noexcept {
  const std::optional<int> major = TakeNumber(release);
  if (!major) return std::nullopt;
  if (release.empty() || release.front() != '.') return PlatformVersion{*major, 0};
  release.remove_prefix(1);
  if (release.empty() || !IsDigit(release.front())) return PlatformVersion{*major, 0};
  const std::optional<int> minor = TakeNumber(release);
  if (!minor) return std::nullopt;
  return PlatformVersion{*major, *minor};
}

float PlatformVersionNumber(PlatformVersion version) noexcept {
  if (version.major < 0 || version.minor < 0) return 0.0f;
  // Reading the decimal text "major.minor" gives the float nearest to it, with
  // no double rounding through a double.
  char text[32];
  char* const limit = text + sizeof text;
  const auto major = std::to_chars(text, limit - 1, version.major);
  if (major.ec != std::errc{}) return 0.0f;
  char* end = major.ptr;
  *end++ = '.';
  const auto minor = std::to_chars(end, limit, version.minor);
  if (minor.ec != std::errc{}) return 0.0f;
  end = minor.ptr;
  float number = 0.0f;
  std::from_chars(text, end, number);
  return number;
}

PlatformVersion CurrentPlatformVersion() noexcept {
  utsname names{};
  if (uname(&names) != 0) return PlatformVersion{};
  return ParsePlatformVersion(names.release).value_or(PlatformVersion{});
}

}  // namespace pixavue::platform
