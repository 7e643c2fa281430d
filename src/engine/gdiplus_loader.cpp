// The file chain's imaging-library step: the library's decoder (plain or
// colour-managed) reads the file, and multi-frame files become documents.

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "new_image.h"
#include "wide_path.h"

namespace pixavue::engine {

using namespace pixavue::platform;

QuorvexStatus LoadWithGdiplus(const std::string& path, bool colorManaged, bool inPlaceTiff, bool inPlaceGif,
                              ImageId& id) {
  id = kNoImage;
  const std::u16string name = WidePath(path);
  GpBitmap* bitmap = nullptr;
  const GpStatus status = colorManaged ? GdipCreateBitmapFromFileICM(name.c_str(), &bitmap)
                                       : GdipCreateBitmapFromFile(name.c_str(), &bitmap);
  if (status != Ok) return FromImagingStatus(status);

  ImageId loaded = kNoImage;
  const QuorvexStatus registered = RegisterNewImage(bitmap, SourceKind::GdiplusFile, loaded);
  if (registered != QuorvexStatus::OK) return registered;
  const QuorvexStatus adopted = AdoptMultiFrame(path, loaded, inPlaceTiff, inPlaceGif, id);
  if (adopted != QuorvexStatus::OK) return adopted;

  // A decoded image without a pixel format cannot be shown.
  PixelFormat format = PixelFormatUndefined;
  GetPixelFormat(id, format);
  if (format == PixelFormatUndefined) {
    ReleaseImage(id);
    id = kNoImage;
    return QuorvexStatus::UnknownImageFormat;
  }
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
