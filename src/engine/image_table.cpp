// Registering images under random ids, and releasing them with everything
// they own.

#include <new>

#include <pixavue/engine/image_store.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "engine_buffer.h"
#include "format_names.h"
#include "plugin_bridge.h"
#include "random_source.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

constexpr ImageId kLargestImageId = 100'000'000;

ImageId NewImageId() {
  ImageId id = kNoImage;
  do {
    id = RandomInRange(1, kLargestImageId);
  } while (FindSlot(id) >= 0);
  return id;
}

// The first free slot, or a new one at the end.
std::size_t TakeFreeSlot(std::vector<ImageSlot>& slots) {
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].Id == kNoImage) return i;
  }
  slots.emplace_back();
  return slots.size() - 1;
}

// Decodes the image completely now, so that drawing never waits, and reads
// what the slot keeps about it.
void DescribeHandle(ImageSlot& slot) {
  GdipImageForceValidation(slot.Handle);
  if (slot.FormatName.empty()) slot.FormatName = FormatNameOfHandle(slot.Handle);
  PixelFormat format = PixelFormatUndefined;
  if (GdipGetImagePixelFormat(slot.Handle, &format) == Ok) slot.BitDepth = BitsPerPixel(format);
}

// Releases the loaded page images of a document and deletes its page files.
// The status of the last page image released, or OK.
QuorvexStatus ReleasePages(std::size_t index) {
  QuorvexStatus result = QuorvexStatus::OK;
  const std::int32_t pageCount = Images().Slots[index].PageCount;
  for (std::int32_t page = 0; page < pageCount; ++page) {
    // Looked up again each time: releasing a page may shrink the table
    // (never below this slot, so the index stays valid).
    ImageSlot& slot = Images().Slots[index];
    const auto p = static_cast<std::size_t>(page);
    if (p < slot.PageImages.size() && slot.PageImages[p] != kNoImage && slot.PageImages[p] != slot.Id) {
      const ImageId pageImage = slot.PageImages[p];
      slot.PageImages[p] = kNoImage;
      result = ReleaseImage(pageImage);
    }
    ImageSlot& same = Images().Slots[index];
    if (p < same.PageFiles.size() && !same.PageFiles[p].empty()) DeleteFileIgnoringErrors(same.PageFiles[p]);
  }
  return result;
}

void ReleaseKindResources(const ImageSlot& slot) {
  switch (slot.Kind) {
    case SourceKind::PackedDib:
      if (slot.DibMemory != kNullHglobal) GlobalFree(slot.DibMemory);
      break;
    case SourceKind::PluginBitmap:
    case SourceKind::PluginPage:
      ReleasePluginImage(slot);
      break;
    default:
      break;
  }
}

void FreeSlot(std::size_t index) {
  auto& slots = Images().Slots;
  if (index + 1 == slots.size()) {
    slots.pop_back();
  } else {
    slots[index] = ImageSlot{};
  }
}

}  // namespace

std::int32_t RegisterImage(GpImage* handle, std::string_view formatName, std::string_view sourcePath,
                           SourceKind kind, ImageId& id) {
  id = kNoImage;
  try {
    ImageSlot slot;
    slot.Id = NewImageId();
    slot.Handle = handle;
    slot.Kind = kind;
    slot.FormatName = formatName;
    if (!sourcePath.empty()) slot.SourcePath = sourcePath;
    if (handle != nullptr) DescribeHandle(slot);
    auto& slots = Images().Slots;
    const std::size_t index = TakeFreeSlot(slots);
    slots[index] = std::move(slot);
    id = slots[index].Id;
    return static_cast<std::int32_t>(index);
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

QuorvexStatus ReleaseImage(ImageId id) {
  const std::int32_t found = FindSlot(id);
  if (found < 0) return QuorvexStatus::InvalidParameter;
  const auto index = static_cast<std::size_t>(found);
  QuorvexStatus result = QuorvexStatus::OK;
  if (Images().Slots[index].IsDocument()) result = ReleasePages(index);

  const ImageSlot& slot = Images().Slots[index];
  // When the library has moved the pixels elsewhere, the buffer was freed
  // when that was noticed (ReleaseMovedPixelBuffer) and is not freed again.
  BYTE* buffer = OwnedBufferInUse(slot);
  if (slot.PluginFile != 0) ClosePluginFile(slot.PluginFile);
  if (slot.Handle != nullptr) result = FromImagingStatus(GdipDisposeImage(slot.Handle));
  FreeEngineBuffer(buffer);
  ReleaseKindResources(slot);
  if (slot.DeleteFileOnRelease) DeleteFileIgnoringErrors(slot.SourcePath);
  FreeSlot(index);
  return result;
}

void ReleaseAllImages() {
  auto& slots = Images().Slots;
  while (!slots.empty()) {
    const ImageId last = slots.back().Id;
    if (last != kNoImage) {
      ReleaseImage(last);
    } else {
      slots.pop_back();
    }
  }
}

}  // namespace pixavue::engine
