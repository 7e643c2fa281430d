#include "new_image.h"

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine {

QuorvexStatus RegisterNewImage(platform::GpImage* handle, SourceKind kind, ImageId& id) {
  if (RegisterImage(handle, "", "", kind, id) >= 0) return QuorvexStatus::OK;
  platform::GdipDisposeImage(handle);
  id = kNoImage;
  return QuorvexStatus::OutOfMemory;
}

}  // namespace pixavue::engine
