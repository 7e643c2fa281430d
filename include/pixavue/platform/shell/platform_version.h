#pragma once
// The platform version: major.minor of the running kernel, which takes the
// place of the operating-system version the control reads at creation.

#include <optional>
#include <string_view>

namespace pixavue::platform {

struct PlatformVersion {
  int major = 0;
  int minor = 0;
  friend bool operator==(const PlatformVersion&, const PlatformVersion&) = default;
};

// Reads a kernel release text such as "6.1.0-18-amd64": the leading decimal
// number is the major version; when a '.' and digits follow, they are the
// minor version, else it is 0 ("5" -> 5.0, "10.0-rc1" -> 10.0). Nothing when
// the text does not start with a digit or a number exceeds 999999.
std::optional<PlatformVersion> ParsePlatformVersion(std::string_view release) noexcept;

// The version as the single-precision number major.minor, the minor number's
// digits becoming the fraction: 6.1 -> 6.1f, 4.19 -> 4.19f, 4.5 -> 4.5f.
// A negative number in either part gives 0.
float PlatformVersionNumber(PlatformVersion version) noexcept;

// The running kernel's version (uname); {0, 0} when it cannot be read.
PlatformVersion CurrentPlatformVersion() noexcept;

}  // namespace pixavue::platform
