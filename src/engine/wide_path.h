#pragma once
// File names for the imaging library's flat interface, which takes UTF-16.

#include <string>
#include <string_view>

namespace pixavue::engine {

// The UTF-16 form of a UTF-8 path; empty when the path is not valid UTF-8
// (the library then refuses the empty name).
std::u16string WidePath(std::string_view path);

}  // namespace pixavue::engine
