// Copies of images over engine-owned buffers, in another pixel format or in
// their own, and bitmaps made over pixel buffers.

#include <cstdint>
#include <memory>
#include <vector>

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_resolution.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "engine_buffer.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

struct SourceFacts {
  std::int32_t width = 0;
  std::int32_t height = 0;
  float dpiX = 0;
  float dpiY = 0;
};

SourceFacts ReadSourceFacts(ImageId id) {
  SourceFacts facts;
  GetImageWidth(id, facts.width);
  GetImageHeight(id, facts.height);
  GetHorizontalResolution(id, facts.dpiX);
  GetVerticalResolution(id, facts.dpiY);
  return facts;
}

// The source's pixels converted into buffer by the library's lock.
GpStatus ReadPixelsInto(GpImage* source, const SourceFacts& facts, PixelFormat format, std::int32_t stride,
                        BYTE* buffer) {
  const GpRect whole{0, 0, facts.width, facts.height};
  BitmapData data;
  data.Width = static_cast<UINT32>(facts.width);
  data.Height = static_cast<UINT32>(facts.height);
  data.Stride = stride;
  data.PixelFormat = format;
  data.Scan0 = buffer;
  const GpStatus status =
      GdipBitmapLockBits(source, &whole, ImageLockModeRead | ImageLockModeUserInputBuf, format, &data);
  if (status == Ok) GdipBitmapUnlockBits(source, &data);
  return status;
}

void CopyPalette(GpImage* source, GpImage* target) {
  INT size = 0;
  if (GdipGetImagePaletteSize(source, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette))) return;
  // Whole ColorPalette records, so that the block is aligned for one.
  const auto records = (static_cast<std::size_t>(size) + sizeof(ColorPalette) - 1) / sizeof(ColorPalette);
  auto palette = std::make_unique<ColorPalette[]>(records);
  if (GdipGetImagePalette(source, palette.get(), size) == Ok) GdipSetImagePalette(target, palette.get());
}

void CopyPropertyItems(GpImage* source, GpImage* target) {
  UINT32 total = 0;
  UINT32 count = 0;
  if (GdipGetPropertySize(source, &total, &count) != Ok || count == 0) return;
  // Whole PropertyItem records, so that the block is aligned for them.
  std::vector<PropertyItem> block((total + sizeof(PropertyItem) - 1) / sizeof(PropertyItem));
  if (GdipGetAllPropertyItems(source, total, count, block.data()) != Ok) return;
  for (UINT32 i = 0; i < count; ++i) GdipSetPropertyItem(target, &block[i]);
}

// The copy of id in format over an engine buffer, registered under copy.
QuorvexStatus CopyOverEngineBuffer(ImageId id, PixelFormat format, bool keepPalette, ImageId& copy) {
  copy = kNoImage;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  const SourceFacts facts = ReadSourceFacts(id);
  if (facts.width < 1 || facts.height < 1) return QuorvexStatus::GenericError;
  const std::int32_t bits = BitsPerPixel(format);
  const std::int32_t stride = StrideForBits(bits != 0 ? bits : 32, facts.width);
  if (stride == 0) return QuorvexStatus::OutOfMemory;
  BYTE* buffer = AllocateEngineBuffer(static_cast<std::size_t>(stride) * static_cast<std::size_t>(facts.height));
  if (buffer == nullptr) return QuorvexStatus::OutOfMemory;

  GpImage* source = NativeHandle(id);
  const GpStatus read = ReadPixelsInto(source, facts, format, stride, buffer);
  if (read != Ok) {
    FreeEngineBuffer(buffer);
    return FromImagingStatus(read);
  }
  const QuorvexStatus made = CreateBitmapFromPixels(facts.width, facts.height, stride, format, buffer, true, copy);
  if (made != QuorvexStatus::OK) {
    FreeEngineBuffer(buffer);
    return made;
  }
  GpImage* target = NativeHandle(copy);
  if (keepPalette && IsIndexedFormat(format)) CopyPalette(source, target);
  if (facts.dpiX > 0 && facts.dpiY > 0) SetResolution(copy, facts.dpiX, facts.dpiY, false);
  CopyPropertyItems(source, target);
  return QuorvexStatus::OK;
}

}  // namespace

QuorvexStatus ConvertPixelFormat(ImageId id, PixelFormat format, bool keepSource, ImageId& newId) {
  ImageId copy = kNoImage;
  newId = kNoImage;
  const QuorvexStatus status = CopyOverEngineBuffer(id, format, false, copy);
  if (status != QuorvexStatus::OK) return status;
  if (keepSource) {
    newId = copy;
    return QuorvexStatus::OK;
  }
  newId = ReplaceImage(id, copy);
  if (newId == kNoImage) {
    ReleaseImage(copy);
    return QuorvexStatus::GenericError;
  }
  return QuorvexStatus::OK;
}

QuorvexStatus CopyIntoEngineBuffer(ImageId id, ImageId& newId) {
  newId = kNoImage;
  PixelFormat format = PixelFormatUndefined;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  GetPixelFormat(id, format);
  return CopyOverEngineBuffer(id, format, true, newId);
}

QuorvexStatus CreateBitmapFromPixels(std::int32_t width, std::int32_t height, std::int32_t stride,
                                     PixelFormat format, BYTE* buffer, bool engineOwned, ImageId& id) {
  id = kNoImage;
  GpBitmap* bitmap = nullptr;
  const GpStatus status = GdipCreateBitmapFromScan0(width, height, stride, format, buffer, &bitmap);
  if (status != Ok) return FromImagingStatus(status);
  const SourceKind kind = engineOwned ? SourceKind::EngineBuffer : SourceKind::ForeignPixels;
  const std::int32_t index = RegisterImage(bitmap, "", "", kind, id);
  if (index < 0) {
    GdipDisposeImage(bitmap);
    return QuorvexStatus::OutOfMemory;
  }
  ImageSlot& slot = Images().Slots[static_cast<std::size_t>(index)];
  slot.PixelBuffer = buffer;
  slot.OwnsPixelBuffer = engineOwned;
  return QuorvexStatus::OK;
}

QuorvexStatus PrepareIndexedImage(ImageId id) {
  PixelFormat format = PixelFormatUndefined;
  const QuorvexStatus status = GetPixelFormat(id, format);
  if (status != QuorvexStatus::OK) return status;
  // Libraries before version 6 could neither draw on indexed images nor
  // convert them while writing through a lock.
  if (!IsIndexedFormat(format) || GdiplusMajorVersion() >= 6) return QuorvexStatus::OK;
  ImageId converted = kNoImage;
  return ConvertPixelFormat(id, PixelFormat32bppARGB, false, converted);
}

}  // namespace pixavue::engine
