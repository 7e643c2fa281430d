#pragma once
// Environment variables looked up the way the control's original platform
// does: names are case-insensitive there, so "tmp" also finds "TMP".

#include <optional>
#include <string>
#include <string_view>

namespace pixavue::platform {

// The value of the variable `name`: first the variable spelled exactly so,
// then the first variable of the environment whose name matches ignoring ASCII
// case. A variable with an empty value counts as unset and the search goes on.
// An empty name or one containing '=' or a null character finds nothing.
// Reads the process environment: not safe against a concurrent setenv.
std::optional<std::string> GetEnvironmentVariable(std::string_view name) noexcept;

}  // namespace pixavue::platform
