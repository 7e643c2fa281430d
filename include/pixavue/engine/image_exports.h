#pragma once
// Handing registered images out of the engine: GDI bitmap handles, bitmap
// pictures, the clipboard and copies of an area. What is handed out is not
// tracked by the engine.

#include <cstdint>

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// A new GDI bitmap of the image (the current page of a document), drawn on
// background; the caller owns it (DeleteObject). bitmap is 0 on failure:
// InvalidParameter for an unknown image, else the imaging library's status.
QuorvexStatus MakeHBitmap(ImageId id, platform::ARGB background, platform::HBITMAP& bitmap);

// A bitmap picture of the image on transparent black; the picture owns its
// bitmap. picture is null on failure (InvalidParameter for an unknown image).
QuorvexStatus MakePicture(ImageId id, platform::ComPtr<platform::IPicture>& picture);
// The same picture, or null on any failure.
platform::ComPtr<platform::IPicture> MakePicture(ImageId id);

// Replaces the clipboard's content with a bitmap (CF_BITMAP) of the image.
// The picture's status when none can be made; OutOfMemory when memory runs
// out on the way, GenericError for any other failure (the clipboard cannot
// be opened, the bitmap is refused).
QuorvexStatus CopyToClipboard(ImageId id);

// The area (image pixels) of the image copied into a new image in format,
// registered as Plain under copy. The imaging library's status for an area
// that is empty or reaches outside the image (nothing is registered then);
// InvalidParameter for an unknown image.
QuorvexStatus CopyImageArea(ImageId id, std::int32_t left, std::int32_t top, std::int32_t width,
                            std::int32_t height, platform::PixelFormat format, ImageId& copy);

}  // namespace pixavue::engine
