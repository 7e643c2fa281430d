// Changes to images and documents: the modified flag, and one image taking
// the place of another (or of the current page of a split document).

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "document_kind.h"
#include "page_files.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// An in-place document of the imaging library's decoder whose frames have
// dropped below two becomes a single image.
void RecountDecoderFrames(ImageSlot& slot) {
  if (slot.Kind != SourceKind::GdiplusFile || !slot.IsDocument() || !slot.InPlacePages) return;
  UINT32 frames = 0;
  const GUID& dimension = FrameDimensionOf(KindOfDocument(slot));
  if (GdipImageGetFrameCount(slot.Handle, &dimension, &frames) != Ok || frames >= 2) return;
  slot.IsMultiPageTiff = false;
  slot.PageImages.clear();
  slot.PageBitDepths.clear();
  slot.PageFiles.clear();
}

void SetModified(ImageId id, bool modified) {
  if (ImageSlot* target = SlotOf(ResolvePage(id))) target->Modified = modified;
}

bool IsSplitDocument(const ImageSlot& slot) { return slot.IsDocument() && !slot.InPlacePages; }

// The current page of a split document becomes `replacement`, stored in a
// new page file.
ImageId ReplaceCurrentPage(ImageId document, ImageId replacement) {
  ImageSlot* slot = SlotOf(document);
  const std::int32_t current = slot->CurrentPageIndex;
  const auto p = static_cast<std::size_t>(current);
  if (current < 0 || p >= slot->PageImages.size() || p >= slot->PageFiles.size() ||
      p >= slot->PageBitDepths.size()) {
    return kNoImage;
  }
  const DocumentKind kind = KindOfDocument(*slot);
  const ImageId previous = slot->PageImages[p];
  slot->PageImages[p] = kNoImage;
  if (previous != kNoImage && previous != replacement) ReleaseImage(previous);
  slot = SlotOf(document);
  if (!slot->PageFiles[p].empty()) {
    DeleteFileIgnoringErrors(slot->PageFiles[p]);
    slot->PageFiles[p].clear();
    slot->PageBitDepths[p] = 0;
  }
  std::string path;
  if (SavePageToTempFile(replacement, kind, path) != QuorvexStatus::OK) return document;
  slot = SlotOf(document);
  slot->PageFiles[p] = path;
  slot->PageImages[p] = replacement;
  PixelFormat format = PixelFormatUndefined;
  GetPixelFormat(replacement, format);
  SlotOf(document)->PageBitDepths[p] = BitsPerPixel(format);
  ClearModified(replacement);
  return document;
}

}  // namespace

void MarkModified(ImageId id) {
  ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return;
  RecountDecoderFrames(*slot);
  SetModified(id, true);
}

void ClearModified(ImageId id) { SetModified(id, false); }

ImageId ReplaceImage(ImageId old, ImageId replacement) {
  const ImageSlot* slot = SlotOf(old);
  // Nothing to replace, or nothing to replace it with: not done.
  if (slot == nullptr || FindSlot(replacement) < 0) return kNoImage;
  if (old == replacement) return old;
  if (IsSplitDocument(*slot)) return ReplaceCurrentPage(old, replacement);
  ReleaseImage(old);
  ImageSlot* taking = SlotOf(replacement);
  if (taking == nullptr) return kNoImage;  // it was a page of old and went with it
  taking->Id = old;
  return old;
}

}  // namespace pixavue::engine
