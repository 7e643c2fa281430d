#pragma once
// Text of metafile records as UTF-8 for drawing: 8-bit strings in the code
// page of the font's character set, and UTF-16 strings.

#include <cstdint>
#include <span>
#include <string>

namespace pixavue::platform::gdiplus::metafile {

// Bytes that cannot be converted become '?'; NULs are dropped. The result
// is always valid UTF-8.
std::string TextFromCharset(std::span<const std::uint8_t> bytes, std::uint8_t charset);
// Little-endian UTF-16 code units; unpaired surrogates become '?'.
std::string TextFromUtf16(std::span<const std::uint8_t> bytes);

}  // namespace pixavue::platform::gdiplus::metafile
