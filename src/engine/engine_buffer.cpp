#include "engine_buffer.h"

#include <cstdlib>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

thread_local std::int64_t tLiveBuffers = 0;

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

BYTE* AllocateEngineBuffer(std::size_t bytes) noexcept {
  auto* buffer = static_cast<BYTE*>(std::malloc(bytes == 0 ? 1 : bytes));
  if (buffer != nullptr) ++tLiveBuffers;
  return buffer;
}

void FreeEngineBuffer(BYTE* buffer) noexcept {
  if (buffer == nullptr) return;
  std::free(buffer);
  --tLiveBuffers;
}

std::int64_t LiveEngineBufferCount() noexcept { return tLiveBuffers; }

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
