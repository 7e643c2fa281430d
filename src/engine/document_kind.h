#pragma once
// Which document flag a document kind goes with, and its frame dimension.

#include <pixavue/engine/image_slot.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

namespace pixavue::engine {

inline bool IsDocumentOf(const ImageSlot& slot, DocumentKind kind) {
  return kind == DocumentKind::Tiff ? slot.IsMultiPageTiff : slot.IsAnimatedGif;
}

// TIFF documents page through the page dimension, GIF documents through time.
inline const platform::GUID& FrameDimensionOf(DocumentKind kind) {
  return kind == DocumentKind::Tiff ? platform::FrameDimensionPage : platform::FrameDimensionTime;
}

// The kind of a document slot (TIFF when it is a multi-page TIFF).
inline DocumentKind KindOfDocument(const ImageSlot& slot) {
  return slot.IsMultiPageTiff ? DocumentKind::Tiff : DocumentKind::Gif;
}

}  // namespace pixavue::engine
