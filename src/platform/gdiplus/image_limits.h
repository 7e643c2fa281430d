#pragma once
// Explicit limits every decoder and constructor enforces, so that a hostile
// file cannot make the library allocate or loop without bound.

#include <cstdint>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

inline constexpr std::uint32_t kMaxImageSide = 65535;
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 28;
inline constexpr std::uint32_t kMaxFrames = 100000;
// Largest encoded file the loaders read into memory.
inline constexpr std::uint64_t kMaxEncodedBytes = std::uint64_t{1} << 31;

// Ok when both sides are 1..kMaxImageSide and the area is within
// kMaxImagePixels; InvalidParameter for a zero or negative side and
// OutOfMemory for anything larger, as the documented library answers.
GpStatus CheckImageSize(std::int64_t width, std::int64_t height) noexcept;

}  // namespace pixavue::platform::gdiplus
