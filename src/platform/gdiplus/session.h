#pragma once
// The library session: open between the first GdiplusStartup and the
// matching last GdiplusShutdown, process-wide.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

bool SessionActive() noexcept;

// GdiplusNotInitialized without a session, InvalidParameter for an image
// that is not live, else Ok.
GpStatus CheckImage(const GpImage* image) noexcept;
// As CheckImage, and InvalidParameter for a metafile.
GpStatus CheckBitmap(const GpImage* image) noexcept;

}  // namespace pixavue::platform::gdiplus
