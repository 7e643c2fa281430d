// Images from bitmap and icon handles of the graphics table. The imaging
// library copies the pixels, so the caller keeps and frees its handles.

#include <pixavue/engine/image_loaders.h>
#include <pixavue/platform/gdiplus/gdiplus_handles.h>

#include "new_image.h"

namespace pixavue::engine {

using namespace pixavue::platform;

QuorvexStatus LoadFromHBitmap(HBITMAP bitmap, ImageId& id) {
  id = kNoImage;
  GpBitmap* image = nullptr;
  if (GdipCreateBitmapFromHBITMAP(bitmap, HPALETTE{}, &image) == Ok) {
    return RegisterNewImage(image, SourceKind::GdiBitmap, id);
  }
  // Callers that hold one handle value of either kind pass it here.
  return LoadFromHIcon(HICON{HandleBits(bitmap)}, id);
}

QuorvexStatus LoadFromHIcon(HICON icon, ImageId& id) {
  id = kNoImage;
  GpBitmap* image = nullptr;
  const GpStatus status = GdipCreateBitmapFromHICON(icon, &image);
  if (status != Ok) return FromImagingStatus(status);
  return RegisterNewImage(image, SourceKind::Icon, id);
}

}  // namespace pixavue::engine
