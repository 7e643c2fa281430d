#pragma once
// Memory for pixel rows. Blocks of kLargePixelBlock bytes and more are mapped
// on their own, aligned for huge pages and with huge pages asked for, so that
// writing a new image of tens of megabytes costs a few hundred page faults
// instead of tens of thousands. Every block starts zero-filled, and pages
// that are never written take no memory.

#include <cstddef>

namespace pixavue::platform {

inline constexpr std::size_t kLargePixelBlock = std::size_t{4} << 20;

// Null when memory runs out (or for a size no block can have). Aligned for
// any scalar type.
void* AllocatePixelMemory(std::size_t bytes) noexcept;
// The size asked for when the block was made.
std::size_t PixelMemoryBytes(const void* block) noexcept;
// Frees a block of AllocatePixelMemory; null is ignored.
void FreePixelMemory(void* block) noexcept;

}  // namespace pixavue::platform
