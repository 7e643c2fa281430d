#pragma once
// Registration of an image a loader has just made.

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Registers handle (not null) under a new ImageId written to id. When the
// table cannot take it, the handle is disposed and OutOfMemory returned with
// id 0, so the caller never keeps an unregistered image.
QuorvexStatus RegisterNewImage(platform::GpImage* handle, SourceKind kind, ImageId& id);

}  // namespace pixavue::engine
