#pragma once
// File version strings of libraries, in the four-number form "a.b.c.d".
//
// A Linux shared library carries no version resource. Its version is the one
// in its real file name: the numbers after ".so." of the file that the name
// finally resolves to, symbolic links followed (libpng16.so.16 ->
// libpng16.so.16.39.0 gives "16.39.0.0"). Missing numbers are 0; of more than
// four numbers the first four are used. Each number must fit 16 bits, as in
// the original version block.
//
// Results:
//   "a.b.c.d"    the version;
//   "Unknown"    the library cannot be found or loaded, or its file name
//                carries no version ("libfoo.so");
//   "Undefined"  the name carries a version that cannot be represented (a
//                non-numeric or empty part such as "1.2a" or "1..2", a number
//                above 65535) or the lookup failed after loading.

#include <string>
#include <string_view>

namespace pixavue::platform {

inline constexpr std::string_view kVersionUnknown = "Unknown";
inline constexpr std::string_view kVersionUndefined = "Undefined";

// The version carried by a library file name (only the part after the last
// '/' is read). Pure text work; see the results above.
std::string FileVersionFromFileName(std::string_view fileName) noexcept;

// The version of a library found the way the dynamic loader finds it: a bare
// name is searched like dlopen searches it, a name containing '/' is that file.
// The library is loaded (RTLD_LAZY | RTLD_LOCAL, so its initialisers run) and
// released again. An empty name gives "Unknown".
std::string FileVersionString(std::string_view library) noexcept;

}  // namespace pixavue::platform
