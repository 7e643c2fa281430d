#pragma once
// Windows code page 1252 (Western European), the ANSI code page through
// which a string of UTF-16 characters carries one byte per character.

#include <string>
#include <string_view>

namespace pixavue {

// One byte per UTF-16 unit: U+0000 to U+00FF are their own byte (the C1
// controls U+0080 to U+009F included, as the platform's best-fit table
// maps them), the 27 characters the code page places in 0x80 to 0x9F
// (the euro sign, curly quotes, dashes ...) become those bytes, and every
// other unit becomes '?'. A string made from bytes through the code page,
// or by widening each byte, gives those bytes back.
std::string ToCodePage1252(std::u16string_view text);

}  // namespace pixavue
