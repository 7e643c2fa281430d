#pragma once
// Locking an area of a bitmap for direct access: a view into the image's
// own buffer when the format and alignment allow it, else converted pixels
// in a buffer of the lock or of the caller, written back at the unlock.

#include <cstdint>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "image.h"

namespace pixavue::platform::gdiplus {

// Starts a lock of `rect` (the whole image when null) and describes the
// pixels in `data`. InvalidParameter for a rect that is empty or not inside
// the image, flags without Read or Write, an unsupported format, an indexed
// format other than the image's, or an unusable caller buffer; WrongState
// when a lock is already held. The image is unchanged on failure.
GpStatus LockBits(GpImage& image, const GpRect* rect, std::uint32_t flags, PixelFormat format, BitmapData& data);

// Ends the lock, converting the pixels back into the image when it was
// locked for writing; colours written into an indexed image take the
// nearest palette entry. WrongState when the image is not locked.
GpStatus UnlockBits(GpImage& image);

}  // namespace pixavue::platform::gdiplus
