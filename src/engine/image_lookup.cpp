// Finding images in the thread's table, and following documents to the
// image of their current page.

#include <pixavue/engine/image_store.h>

namespace pixavue::engine {
namespace {

using platform::GpImage;

thread_local ImageTable tImages;

// One step from a document to its current page: the page's id, or the id
// itself when the slot is no document or the imaging library's decoder
// holds the page as its active frame. 0 when the document has no current
// page.
ImageId PageStep(const ImageSlot& slot) {
  if (!slot.IsDocument()) return slot.Id;
  if (slot.PageCount <= 0) return kNoImage;
  if (slot.InPlacePages && slot.Kind == SourceKind::GdiplusFile) return slot.Id;
  const std::int32_t page = slot.CurrentPageIndex;
  if (page < 0 || static_cast<std::size_t>(page) >= slot.PageImages.size()) return kNoImage;
  return slot.PageImages[static_cast<std::size_t>(page)];
}

}  // namespace

ImageTable& Images() { return tImages; }

std::int32_t FindSlot(ImageId id) {
  if (id == kNoImage) return -1;
  const auto& slots = tImages.Slots;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].Id == id) return static_cast<std::int32_t>(i);
  }
  return -1;
}

ImageSlot* SlotOf(ImageId id) {
  const std::int32_t index = FindSlot(id);
  return index < 0 ? nullptr : &tImages.Slots[static_cast<std::size_t>(index)];
}

GpImage* NativeHandle(ImageId id) {
  // A page is itself looked up again; the walk is bounded by the table's
  // size, so a damaged table cannot make it loop.
  for (std::size_t steps = 0; steps <= tImages.Slots.size(); ++steps) {
    const ImageSlot* slot = SlotOf(id);
    if (slot == nullptr) return nullptr;
    const ImageId next = PageStep(*slot);
    if (next == id) return slot->Handle;
    id = next;
  }
  return nullptr;
}

ImageId ResolvePage(ImageId id) {
  const ImageSlot* slot = SlotOf(id);
  return slot == nullptr ? id : PageStep(*slot);
}

}  // namespace pixavue::engine
