#pragma once
// Well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF), one sequence at a time.

#include <cstddef>
#include <string_view>

namespace pixavue::platform {

// The length (1 to 4) of the well-formed sequence starting at text[at], or 0
// when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept;

}  // namespace pixavue::platform
