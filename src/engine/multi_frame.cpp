// Multi-frame GIF and multi-page TIFF images become documents: either the
// decoder keeps every frame and pages are its active frames (in place), or
// each frame is saved to a page file of its own and the decoded image is
// released (split).

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "document_kind.h"
#include "page_files.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// Hundredths of a second shown for a GIF frame whose delay is 0 or less.
constexpr std::int32_t kDefaultFrameDelay = 25;

// What a document takes over from its decoded image, prepared before any
// slot is touched.
struct DocumentPages {
  DocumentKind kind = DocumentKind::Tiff;
  std::int32_t count = 0;
  std::vector<std::int32_t> delays;
  std::int32_t loopCount = 0;
  std::string comment;
};

// The value bytes of a property item, empty when the image has none.
std::vector<std::uint8_t> PropertyValue(GpImage* image, PROPID tag, WORD& type) {
  type = 0;
  UINT32 size = 0;
  if (GdipGetPropertyItemSize(image, tag, &size) != Ok || size < sizeof(PropertyItem)) return {};
  std::vector<std::uint64_t> block((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  auto* item = reinterpret_cast<PropertyItem*>(block.data());
  if (GdipGetPropertyItem(image, tag, size, item) != Ok || item->value == nullptr) return {};
  if (item->length > size - sizeof(PropertyItem)) return {};
  type = item->type;
  const auto* bytes = static_cast<const std::uint8_t*>(item->value);
  return {bytes, bytes + item->length};
}

// One delay per frame, in hundredths of a second; missing or non-positive
// delays become the default.
std::vector<std::int32_t> FrameDelays(GpImage* image, std::int32_t count) {
  std::vector<std::int32_t> delays(static_cast<std::size_t>(count), 0);
  WORD type = 0;
  const std::vector<std::uint8_t> value = PropertyValue(image, PropertyTagFrameDelay, type);
  if (type == PropertyTagTypeLong) {
    const std::size_t stored = std::min(delays.size(), value.size() / sizeof(std::uint32_t));
    std::memcpy(delays.data(), value.data(), stored * sizeof(std::uint32_t));
  }
  for (std::int32_t& delay : delays) {
    if (delay <= 0) delay = kDefaultFrameDelay;
  }
  return delays;
}

// The loop count when the item holds exactly one value.
std::int32_t LoopCount(GpImage* image) {
  WORD type = 0;
  const std::vector<std::uint8_t> value = PropertyValue(image, PropertyTagLoopCount, type);
  if (type == PropertyTagTypeShort && value.size() == sizeof(std::uint16_t)) {
    std::uint16_t loops = 0;
    std::memcpy(&loops, value.data(), sizeof(loops));
    return loops;
  }
  if (type == PropertyTagTypeLong && value.size() == sizeof(std::uint32_t)) {
    std::int32_t loops = 0;
    std::memcpy(&loops, value.data(), sizeof(loops));
    return loops;
  }
  return 0;
}

// The comment text, up to its first null.
std::string Comment(GpImage* image) {
  WORD type = 0;
  const std::vector<std::uint8_t> value = PropertyValue(image, PropertyTagExifUserComment, type);
  std::string text(value.begin(), value.end());
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::optional<DocumentKind> DocumentKindOfFormat(const std::string& formatName) {
  if (formatName == "TIFF") return DocumentKind::Tiff;
  if (formatName == "GIF") return DocumentKind::Gif;
  return std::nullopt;
}

std::int32_t FrameCount(ImageId image, DocumentKind kind) {
  std::int32_t count = 0;
  if (kind == DocumentKind::Tiff) {
    GetTiffFrameCount(image, count);
  } else {
    GetGifFrameCount(image, count);
  }
  return count;
}

// May throw std::bad_alloc.
DocumentPages ReadDocumentPages(ImageId image, DocumentKind kind, std::int32_t count) {
  DocumentPages pages;
  pages.kind = kind;
  pages.count = count;
  if (kind == DocumentKind::Gif) {
    GpImage* handle = NativeHandle(image);
    pages.delays = FrameDelays(handle, count);
    pages.loopCount = LoopCount(handle);
    pages.comment = Comment(handle);
  } else {
    pages.delays.assign(static_cast<std::size_t>(count), 0);
  }
  return pages;
}

// Makes the slot of `document` a document of those pages, with no current
// page. The page vectors are allocated here; may throw std::bad_alloc before
// the slot is changed.
void MakeDocument(ImageId document, DocumentPages& pages) {
  const auto count = static_cast<std::size_t>(pages.count);
  std::vector<ImageId> images(count, kNoImage);
  std::vector<std::string> files(count);
  std::vector<std::int32_t> depths(count, 0);
  ImageSlot& slot = *SlotOf(document);
  slot.PageCount = pages.count;
  slot.PageImages = std::move(images);
  slot.PageFiles = std::move(files);
  slot.PageBitDepths = std::move(depths);
  slot.PageDelays = std::move(pages.delays);
  if (pages.kind == DocumentKind::Tiff) {
    slot.IsMultiPageTiff = true;
  } else {
    slot.LoopCount = pages.loopCount;
    slot.GifComment = std::move(pages.comment);
    slot.IsAnimatedGif = true;
  }
  slot.CurrentPageIndex = -1;
}

std::int32_t BitsOfActiveFrame(ImageId image) {
  PixelFormat format = PixelFormatUndefined;
  GetPixelFormat(image, format);
  return BitsPerPixel(format);
}

// Saves every frame of `source` to a page file of `document`; the number of
// frames stored.
std::int32_t StoreFrames(ImageId source, ImageId document, DocumentKind kind, std::int32_t count) {
  std::int32_t stored = 0;
  for (std::int32_t frame = 0; frame < count; ++frame) {
    const GpStatus selected =
        GdipImageSelectActiveFrame(NativeHandle(source), &FrameDimensionOf(kind), static_cast<UINT32>(frame));
    if (selected != Ok) continue;
    std::string path;
    if (SavePageToTempFile(source, kind, path) != QuorvexStatus::OK) continue;
    ImageSlot& slot = *SlotOf(document);
    const auto p = static_cast<std::size_t>(frame);
    slot.PageFiles[p] = std::move(path);
    slot.PageBitDepths[p] = BitsOfActiveFrame(source);
    ++stored;
  }
  return stored;
}

QuorvexStatus AdoptInPlace(ImageId loaded, DocumentPages& pages, ImageId& id) {
  MakeDocument(loaded, pages);
  SlotOf(loaded)->InPlacePages = true;
  SelectPage(loaded, 0, pages.kind);
  id = loaded;
  return QuorvexStatus::OK;
}

// The source is released in every case.
QuorvexStatus AdoptSplit(const std::string& sourcePath, ImageId loaded, DocumentPages& pages, ImageId& id) {
  const DocumentKind kind = pages.kind;
  const std::int32_t count = pages.count;
  ImageId document = kNoImage;
  RegisterImage(nullptr, kind == DocumentKind::Tiff ? "TIFF" : "GIF", sourcePath, SourceKind::Plain, document);
  if (document == kNoImage) {
    ReleaseImage(loaded);
    return QuorvexStatus::OutOfMemory;
  }
  try {
    MakeDocument(document, pages);
  } catch (const std::bad_alloc&) {
    ReleaseImage(document);
    ReleaseImage(loaded);
    return QuorvexStatus::OutOfMemory;
  }
  const std::int32_t stored = StoreFrames(loaded, document, kind, count);
  ReleaseImage(loaded);
  if (stored == 0) {
    ReleaseImage(document);
    return QuorvexStatus::UnknownImageFormat;
  }
  SelectPage(document, 0, kind);
  id = document;
  return QuorvexStatus::OK;
}

}  // namespace

QuorvexStatus AdoptMultiFrame(const std::string& sourcePath, ImageId loaded, bool inPlaceTiff, bool inPlaceGif,
                              ImageId& id) {
  id = kNoImage;
  const std::optional<DocumentKind> kind = DocumentKindOfFormat(GetFormatName(loaded));
  const std::int32_t count = kind ? FrameCount(loaded, *kind) : 0;
  if (count < 2) {
    id = loaded;
    return QuorvexStatus::OK;
  }
  DocumentPages pages;
  try {
    pages = ReadDocumentPages(loaded, *kind, count);
  } catch (const std::bad_alloc&) {
    ReleaseImage(loaded);
    return QuorvexStatus::OutOfMemory;
  }
  const bool inPlace = *kind == DocumentKind::Tiff ? inPlaceTiff : inPlaceGif;
  if (!inPlace) return AdoptSplit(sourcePath, loaded, pages, id);
  try {
    return AdoptInPlace(loaded, pages, id);
  } catch (const std::bad_alloc&) {
    ReleaseImage(loaded);
    return QuorvexStatus::OutOfMemory;
  }
}

}  // namespace pixavue::engine
