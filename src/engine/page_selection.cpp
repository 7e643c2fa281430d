// Pages of documents: selecting one, and releasing the current one (storing
// it first when a page of a split document was changed).

#include <cstdint>
#include <vector>

#include <pixavue/engine/image_store.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "document_kind.h"
#include "page_files.h"
#include "plugin_bridge.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

bool InRange(std::int32_t index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// The page image of a split document, loaded from its page file when it is
// not loaded yet.
QuorvexStatus LoadSplitPage(ImageId document, std::int32_t index) {
  const ImageSlot* slot = SlotOf(document);
  const auto p = static_cast<std::size_t>(index);
  if (InRange(index, slot->PageImages.size()) && slot->PageImages[p] != kNoImage) return QuorvexStatus::OK;
  if (!InRange(index, slot->PageFiles.size()) || slot->PageFiles[p].empty()) return QuorvexStatus::GenericError;
  const std::string path = slot->PageFiles[p];
  ImageId page = kNoImage;
  const QuorvexStatus status = LoadPageFile(path, page);  // may grow the table
  if (status != QuorvexStatus::OK) return status;
  ImageSlot* same = SlotOf(document);
  if (!InRange(index, same->PageImages.size())) same->PageImages.resize(p + 1, kNoImage);
  same->PageImages[p] = page;
  return QuorvexStatus::OK;
}

QuorvexStatus ChangePage(ImageId document, std::int32_t index, DocumentKind kind) {
  ReleaseCurrentPage(document, kind);
  ImageSlot* slot = SlotOf(document);
  slot->CurrentPageIndex = index;
  if (!slot->InPlacePages) return LoadSplitPage(document, index);
  if (slot->Kind == SourceKind::PluginBitmap) return SelectPluginPage(document, index);
  // The decoder keeps every frame: the page becomes its active frame.
  return FromImagingStatus(
      GdipImageSelectActiveFrame(slot->Handle, &FrameDimensionOf(kind), static_cast<UINT32>(index)));
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// Frame delays, loop count and comment of a GIF document, written onto the
// image of its current page so that they travel with it. Not a change of
// the image.
void WriteAnimationProperties(ImageId document) {
  const ImageSlot* slot = SlotOf(document);
  GpImage* image = NativeHandle(document);
  if (slot == nullptr || image == nullptr) return;
  std::vector<std::uint32_t> delays(slot->PageDelays.begin(), slot->PageDelays.end());
  if (!delays.empty()) {
    PropertyItem item{PropertyTagFrameDelay, static_cast<GDIP_ULONG>(delays.size() * sizeof(std::uint32_t)),
                      PropertyTagTypeLong, delays.data()};
    GdipSetPropertyItem(image, &item);
  }
  std::uint16_t loops = static_cast<std::uint16_t>(slot->LoopCount);
  PropertyItem loopItem{PropertyTagLoopCount, sizeof(loops), PropertyTagTypeShort, &loops};
  GdipSetPropertyItem(image, &loopItem);
  if (!IsBlank(slot->GifComment)) {
    std::string text = slot->GifComment;  // written with its terminating null
    PropertyItem comment{PropertyTagExifUserComment, static_cast<GDIP_ULONG>(text.size() + 1), PropertyTagTypeASCII,
                         text.data()};
    GdipSetPropertyItem(image, &comment);
  }
}

}  // namespace

QuorvexStatus SelectPage(ImageId id, std::int32_t index, DocumentKind kind) {
  const ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return QuorvexStatus::InvalidParameter;
  if (!IsDocumentOf(*slot, kind)) return QuorvexStatus::UnsupportedImageFormat;
  if (index < 0 || index >= slot->PageCount) return QuorvexStatus::InvalidParameter;
  QuorvexStatus status = QuorvexStatus::OK;
  if (index != slot->CurrentPageIndex) status = ChangePage(id, index, kind);
  if (kind == DocumentKind::Gif && status == QuorvexStatus::OK) WriteAnimationProperties(id);
  return status;
}

void ReleaseCurrentPage(ImageId id, DocumentKind kind) {
  ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return;
  const std::int32_t current = slot->CurrentPageIndex;
  const auto p = static_cast<std::size_t>(current);
  if (slot->PageCount > 0 && InRange(current, slot->PageImages.size()) && slot->PageImages[p] != kNoImage &&
      slot->PageImages[p] != id) {
    const ImageId page = slot->PageImages[p];
    const ImageSlot* pageSlot = SlotOf(page);
    std::string stored;
    QuorvexStatus saved = QuorvexStatus::GenericError;
    // A changed page of a split document is kept in a new page file; pages
    // of in-place documents are read again from their decoder.
    if (!slot->InPlacePages && pageSlot != nullptr && pageSlot->Modified) {
      saved = SavePageToTempFile(page, kind, stored);
    }
    ReleaseImage(page);
    slot = SlotOf(id);
    if (saved == QuorvexStatus::OK && InRange(current, slot->PageFiles.size())) {
      DeleteFileIgnoringErrors(slot->PageFiles[p]);
      slot->PageFiles[p] = stored;
    } else if (saved == QuorvexStatus::OK) {
      DeleteFileIgnoringErrors(stored);
    }
    slot->PageImages[p] = kNoImage;
  }
  slot->CurrentPageIndex = -1;
}

}  // namespace pixavue::engine
