#pragma once
// File names for the imaging library's flat interface, which takes UTF-16.

#include <string>
#include <string_view>

namespace pixavue::engine {

// The UTF-16 form of a file-system path; bytes that are not UTF-8 survive
// as escapes the library turns back into the same bytes
// (platform/gdiplus/wide_file_name.h). Empty only when memory runs out (the
// library then refuses the empty name).
std::u16string WidePath(std::string_view path);

}  // namespace pixavue::engine
