#pragma once
// The chunk structure of a PNG file, checked before libpng reads it: libpng
// allocates a chunk's declared length before reading its data, so a length
// that runs past the end of the file must never reach it.

#include <cstdint>
#include <span>

namespace pixavue::platform::gdiplus {

// True when every chunk up to IEND (or the end of the bytes) lies inside
// `file` and no length passes the format's 2^31 - 1. What follows IEND is
// not looked at, as libpng ignores it too.
bool ChunksLieInsideFile(std::span<const std::uint8_t> file) noexcept;

}  // namespace pixavue::platform::gdiplus
