// Images from COM streams. The imaging library reads the whole stream during
// the call; multi-frame images become split documents, because the stream
// need not outlive the call.

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_stream.h>

#include "new_image.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// The status of a run-time failure while the stream was read.
constexpr auto kStreamRunTimeError = static_cast<QuorvexStatus>(23);

}  // namespace

QuorvexStatus LoadFromStream(IStream* stream, bool colorManaged, ImageId& id) {
  id = kNoImage;
  if (stream == nullptr) return QuorvexStatus::InvalidParameter;
  GpImage* image = nullptr;
  GpStatus status = Ok;
  try {
    status = colorManaged ? GdipLoadImageFromStreamICM(stream, &image) : GdipLoadImageFromStream(stream, &image);
  } catch (...) {
    return kStreamRunTimeError;
  }
  if (image == nullptr) return status == Ok ? QuorvexStatus::GenericError : FromImagingStatus(status);
  // An image handed out with a failure is not kept: a failed load leaves
  // nothing in the table.
  if (status != Ok) {
    GdipDisposeImage(image);
    return FromImagingStatus(status);
  }
  ImageId loaded = kNoImage;
  const QuorvexStatus registered = RegisterNewImage(image, SourceKind::Plain, loaded);
  if (registered != QuorvexStatus::OK) return registered;
  return AdoptMultiFrame("", loaded, false, false, id);
}

}  // namespace pixavue::engine
