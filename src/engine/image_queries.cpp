// Questions about registered images: size, resolution, pixel format, frame
// and page counts, and the state of documents.

#include <pixavue/engine/image_queries.h>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "document_kind.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// Asks the imaging library about the image's current page; the output is
// 0 unless the call succeeds.
template <typename Value, typename Call>
QuorvexStatus Ask(ImageId id, Value& out, Call call) {
  out = Value{};
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  Value value{};
  const GpStatus status = call(NativeHandle(id), &value);
  if (status == Ok) out = value;
  return FromImagingStatus(status);
}

QuorvexStatus FrameCount(ImageId id, std::string_view formatName, const GUID& dimension, std::int32_t& count) {
  count = 0;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  if (GetFormatName(id) != formatName) return QuorvexStatus::OK;
  UINT32 frames = 0;
  const GpStatus status = GdipImageGetFrameCount(NativeHandle(id), &dimension, &frames);
  if (status == Ok) count = static_cast<std::int32_t>(frames);
  return FromImagingStatus(status);
}

QuorvexStatus PageCount(ImageId id, DocumentKind kind, std::int32_t& count) {
  count = 0;
  const ImageSlot* slot = SlotOf(id);
  if (slot == nullptr || !IsDocumentOf(*slot, kind)) return QuorvexStatus::UnsupportedImageFormat;
  count = slot->PageCount;
  return QuorvexStatus::OK;
}

std::int32_t CurrentPage(ImageId id, DocumentKind kind) {
  const ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return 0;
  return IsDocumentOf(*slot, kind) ? slot->CurrentPageIndex : -1;
}

bool IsSplit(ImageId id, DocumentKind kind) {
  const ImageSlot* slot = SlotOf(id);
  return slot != nullptr && IsDocumentOf(*slot, kind) && !slot->InPlacePages;
}

}  // namespace

QuorvexStatus GetImageWidth(ImageId id, std::int32_t& width) {
  UINT32 value = 0;
  const QuorvexStatus status = Ask(id, value, GdipGetImageWidth);
  width = static_cast<std::int32_t>(value);
  return status;
}

QuorvexStatus GetImageHeight(ImageId id, std::int32_t& height) {
  UINT32 value = 0;
  const QuorvexStatus status = Ask(id, value, GdipGetImageHeight);
  height = static_cast<std::int32_t>(value);
  return status;
}

QuorvexStatus GetHorizontalResolution(ImageId id, float& dpi) {
  return Ask(id, dpi, GdipGetImageHorizontalResolution);
}

QuorvexStatus GetVerticalResolution(ImageId id, float& dpi) { return Ask(id, dpi, GdipGetImageVerticalResolution); }

QuorvexStatus GetPixelFormat(ImageId id, PixelFormat& format) { return Ask(id, format, GdipGetImagePixelFormat); }

QuorvexStatus GetTiffFrameCount(ImageId id, std::int32_t& count) {
  return FrameCount(id, "TIFF", FrameDimensionPage, count);
}

QuorvexStatus GetGifFrameCount(ImageId id, std::int32_t& count) {
  return FrameCount(id, "GIF", FrameDimensionTime, count);
}

QuorvexStatus GetTiffPageCount(ImageId id, std::int32_t& count) { return PageCount(id, DocumentKind::Tiff, count); }

QuorvexStatus GetGifPageCount(ImageId id, std::int32_t& count) { return PageCount(id, DocumentKind::Gif, count); }

QuorvexStatus GetGifFrameDelays(ImageId id, std::vector<std::int32_t>& delays) {
  delays.clear();
  const ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return QuorvexStatus::InvalidParameter;
  if (slot->IsAnimatedGif && slot->PageCount > 0) delays = slot->PageDelays;
  return QuorvexStatus::OK;
}

std::int32_t CurrentTiffPage(ImageId id) { return CurrentPage(id, DocumentKind::Tiff); }
std::int32_t CurrentGifFrame(ImageId id) { return CurrentPage(id, DocumentKind::Gif); }

bool IsMultiPageTiff(ImageId id) {
  const ImageSlot* slot = SlotOf(id);
  return slot != nullptr && slot->IsMultiPageTiff;
}

bool IsAnimatedGif(ImageId id) {
  const ImageSlot* slot = SlotOf(id);
  return slot != nullptr && slot->IsAnimatedGif;
}

bool IsSplitTiff(ImageId id) { return IsSplit(id, DocumentKind::Tiff); }
bool IsSplitGif(ImageId id) { return IsSplit(id, DocumentKind::Gif); }

}  // namespace pixavue::engine
