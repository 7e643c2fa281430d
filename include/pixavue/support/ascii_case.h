#pragma once
// Letter case of ASCII text, as URL schemes and host prefixes compare:
// bytes outside A-Z and a-z compare as they are.

#include <algorithm>
#include <string_view>

namespace pixavue {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `text` begins with `prefix`, letters compared without case.
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return AsciiLower(a) == AsciiLower(b);
         });
}

}  // namespace pixavue
