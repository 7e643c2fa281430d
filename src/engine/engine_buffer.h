#pragma once
// Pixel buffers the engine allocates and hands to the imaging library, and
// the address at which a bitmap keeps its pixels now.

#include <cstddef>
#include <cstdint>

#include <pixavue/engine/image_slot.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::engine {

// Uninitialised bytes, or null when memory runs out.
platform::BYTE* AllocateEngineBuffer(std::size_t bytes) noexcept;
void FreeEngineBuffer(platform::BYTE* buffer) noexcept;
// Buffers of this thread allocated and not yet freed (for tests).
std::int64_t LiveEngineBufferCount() noexcept;
// Buffers of this thread taken from new memory so far (for tests).
std::int64_t NewEngineBufferCount() noexcept;

// While one lives, the first large buffer freed on the thread is kept and
// handed to the next allocation of the same size instead of new memory
// (whose pages the system would have to clear again); it is freed when the
// scope ends. For operations that free an image's buffer and then make
// another of its size, as a turn does.
class SpareBufferScope final {
 public:
  SpareBufferScope() noexcept;
  ~SpareBufferScope();
  SpareBufferScope(const SpareBufferScope&) = delete;
  SpareBufferScope& operator=(const SpareBufferScope&) = delete;

 private:
  bool outermost_;
};

// The first-row address of the bitmap's pixels, read through a lock in its
// own format; the lock's status.
platform::GpStatus FirstRowAddress(platform::GpImage* image, platform::BYTE*& address);

// The engine-owned buffer of the slot when its bitmap still reads the pixels
// there, else null.
platform::BYTE* OwnedBufferInUse(const ImageSlot& slot);

}  // namespace pixavue::engine
