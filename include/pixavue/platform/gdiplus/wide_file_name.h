#pragma once
// File names of the flat interface, which takes UTF-16, and the byte names
// of the file system. Well-formed UTF-8 becomes the same characters in
// UTF-16. Every byte that is not part of a well-formed UTF-8 sequence
// becomes the lone low surrogate U+DC00 + byte (U+DC80..U+DCFF), and such a
// unit becomes that byte again, so that any byte name survives the trip to
// UTF-16 and back (docs/file-names.md). Every conversion of a file name in
// either direction goes through these two functions.

#include <string>
#include <string_view>

namespace pixavue::platform {

// The UTF-16 name of a file-system name. May throw std::bad_alloc.
std::u16string WideFromFileName(std::string_view name);

// The file-system name of a UTF-16 name: paired surrogates and other
// characters as UTF-8, U+DC80..U+DCFF alone as the byte they stand for, any
// other unpaired surrogate as U+FFFD. May throw std::bad_alloc.
std::string FileNameFromWide(std::u16string_view wide);

}  // namespace pixavue::platform
