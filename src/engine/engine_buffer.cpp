#include "engine_buffer.h"

#include <cstdlib>
#include <utility>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/pixel_memory.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

thread_local std::int64_t tLiveBuffers = 0;
thread_local std::int64_t tNewBuffers = 0;
thread_local bool tKeepSpare = false;
thread_local BYTE* tSpare = nullptr;

bool Fits(const BYTE* spare, std::size_t bytes) { return spare != nullptr && PixelMemoryBytes(spare) == bytes; }

}  // namespace

bool ReleaseMovedPixelBuffer(ImageId id) {
  ImageSlot* slot = SlotOf(ResolvePage(id));
  if (slot == nullptr || slot->Kind != SourceKind::EngineBuffer || !slot->OwnsPixelBuffer) return false;
  BYTE* present = nullptr;
  if (FirstRowAddress(slot->Handle, present) != Ok || present == nullptr || present == slot->PixelBuffer) return false;
  FreeEngineBuffer(slot->PixelBuffer);
  // The slot no longer owns anything: a later buffer of the library at the
  // same address must not be taken for this one.
  slot->Kind = SourceKind::ForeignPixels;
  slot->OwnsPixelBuffer = false;
  slot->PixelBuffer = nullptr;
  return true;
}

SpareBufferScope::SpareBufferScope() noexcept : outermost_(!tKeepSpare) { tKeepSpare = true; }

SpareBufferScope::~SpareBufferScope() {
  if (!outermost_) return;
  tKeepSpare = false;
  FreeEngineBuffer(std::exchange(tSpare, nullptr));
}

BYTE* AllocateEngineBuffer(std::size_t bytes) noexcept {
  if (Fits(tSpare, bytes)) return std::exchange(tSpare, nullptr);
  auto* buffer = static_cast<BYTE*>(AllocatePixelMemory(bytes == 0 ? 1 : bytes));
  if (buffer == nullptr) return nullptr;
  ++tLiveBuffers;
  ++tNewBuffers;
  return buffer;
}

void FreeEngineBuffer(BYTE* buffer) noexcept {
  if (buffer == nullptr) return;
  if (tKeepSpare && tSpare == nullptr && PixelMemoryBytes(buffer) >= kLargePixelBlock) {
    tSpare = buffer;
    return;
  }
  FreePixelMemory(buffer);
  --tLiveBuffers;
}

std::int64_t LiveEngineBufferCount() noexcept { return tLiveBuffers; }

std::int64_t NewEngineBufferCount() noexcept { return tNewBuffers; }

GpStatus FirstRowAddress(GpImage* image, BYTE*& address) {
  address = nullptr;
  PixelFormat format = PixelFormatUndefined;
  GpStatus status = GdipGetImagePixelFormat(image, &format);
  if (status != Ok) return status;
  BitmapData data;
  status = GdipBitmapLockBits(image, nullptr, ImageLockModeRead, format, &data);
  if (status != Ok) return status;
  address = static_cast<BYTE*>(data.Scan0);
  GdipBitmapUnlockBits(image, &data);
  return Ok;
}

BYTE* OwnedBufferInUse(const ImageSlot& slot) {
  if (!slot.OwnsPixelBuffer || slot.PixelBuffer == nullptr) return nullptr;
  BYTE* present = nullptr;
  if (FirstRowAddress(slot.Handle, present) != Ok) return nullptr;
  return present == slot.PixelBuffer ? slot.PixelBuffer : nullptr;
}

}  // namespace pixavue::engine
