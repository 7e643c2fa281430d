// The file chain's imaging-library step: the library's decoder (plain or
// colour-managed) reads the file's bytes, and multi-frame files become
// documents.

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_stream.h>

#include "new_image.h"

namespace pixavue::engine {

using namespace pixavue::platform;

// The file's bytes go to the library as a stream: the same decoders, format
// detection and statuses as its file load, without opening the path again.
QuorvexStatus LoadWithGdiplus(const OpenedFile& file, bool colorManaged, bool inPlaceTiff, bool inPlaceGif,
                              ImageId& id) {
  id = kNoImage;
  IStream* contents = FromStart(file);
  if (contents == nullptr) return QuorvexStatus::FileNotFound;
  GpBitmap* bitmap = nullptr;
  const GpStatus status = colorManaged ? GdipCreateBitmapFromStreamICM(contents, &bitmap)
                                       : GdipCreateBitmapFromStream(contents, &bitmap);
  if (status != Ok) return FromImagingStatus(status);

  ImageId loaded = kNoImage;
  const QuorvexStatus registered = RegisterNewImage(bitmap, SourceKind::GdiplusFile, loaded);
  if (registered != QuorvexStatus::OK) return registered;
  const QuorvexStatus adopted = AdoptMultiFrame(file.path, loaded, inPlaceTiff, inPlaceGif, id);
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
