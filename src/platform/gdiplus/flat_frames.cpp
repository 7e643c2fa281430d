// Frame dimensions and the active frame of multi-page and animated images.

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "image.h"
#include "load_budget.h"
#include "session.h"

namespace pixavue::platform {
namespace {

// Single-frame images list the page dimension unless their decoder named
// another (GIF files list time even with one frame).
GUID DimensionOf(const GpImage& image) {
  return image.frameDimension == GUID{} ? FrameDimensionPage : image.frameDimension;
}

UINT32 FrameCountOf(const GpImage& image) { return image.frames ? image.frames->FrameCount() : 1; }

}  // namespace

GpStatus GdipImageGetFrameDimensionsCount(GpImage* image, UINT32* count) {
  GpStatus status = count == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status == Ok) *count = 1;
  return status;
}

GpStatus GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensions, UINT32 count) {
  GpStatus status = dimensions == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (count != 1) return InvalidParameter;
  dimensions[0] = DimensionOf(*image);
  return Ok;
}

GpStatus GdipImageGetFrameCount(GpImage* image, const GUID* dimension, UINT32* count) {
  GpStatus status = dimension == nullptr || count == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (*dimension != DimensionOf(*image)) {
    *count = 0;
    return InvalidParameter;
  }
  *count = FrameCountOf(*image);
  return Ok;
}

GpStatus GdipImageSelectActiveFrame(GpImage* image, const GUID* dimension, UINT32 index) {
  GpStatus status = dimension == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (*dimension != DimensionOf(*image) || index >= FrameCountOf(*image)) return InvalidParameter;
  if (image->lock) return WrongState;
  if (!image->frames) return Ok;
  gdiplus::Frame frame;
  gdiplus::PropertyStore properties;
  try {
    gdiplus::LoadBudgetScope budget;
    // The active frame stays until the new one replaces it, so this decode
    // counts its pixels as well.
    const gdiplus::PixelBuffer& active = image->frame.pixels;
    const auto kept = gdiplus::BudgetReservation::Take(
        active.owns_pixels() ? static_cast<std::uint64_t>(active.stride()) * active.height() : 0);
    status = kept ? image->frames->DecodeFrame(index, frame, properties) : OutOfMemory;
  } catch (const std::bad_alloc&) {
    status = OutOfMemory;
  }
  if (status != Ok) return status;
  image->frame = std::move(frame);
  image->properties = std::move(properties);
  image->activeFrame = index;
  return Ok;
}

}  // namespace pixavue::platform
