#pragma once
// Pictures made from bitmaps of the imaging library: what a control shows as
// its background and mask picture.

#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// A new bitmap picture owning a 32-bit DIB section with the bitmap's pixels,
// premultiplied, alpha kept (transparent pixels stay transparent). The
// bitmap stays the caller's. On failure `picture` is null and no handle is
// left behind: InvalidParameter for a null or dead bitmap, OutOfMemory, or
// the imaging library's status.
QuorvexStatus PictureFromBitmap(platform::GpBitmap* bitmap, platform::ComPtr<platform::IPicture>& picture);

}  // namespace pixavue::engine
