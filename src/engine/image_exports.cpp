// Bitmaps, pictures, clipboard data and area copies made from registered
// images.

#include <pixavue/engine/image_exports.h>

#include <new>
#include <optional>
#include <vector>

#include <pixavue/engine/image_store.h>
#include <pixavue/engine/picture_export.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_handles.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/picture_dib.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// The clipboard deletes the bitmaps it holds; the picture deletes its own.
// The clipboard therefore gets a copy of the picture's bitmap.
HBITMAP CopyOfPictureBitmap(IPicture& picture) {
  OLE_HANDLE handle = 0;
  if (FAILED(picture.get_Handle(&handle))) return HBITMAP{};
  const std::optional<std::vector<std::uint8_t>> dib = PackedDibFromBitmap(HBITMAP{handle});
  return dib ? BitmapFromPackedDib(*dib) : HBITMAP{};
}

QuorvexStatus PutBitmapOnClipboard(HBITMAP bitmap) {
  if (!OpenClipboard(kNoWindow)) {
    DeleteObject(ToGdiObject(bitmap));
    return QuorvexStatus::GenericError;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_BITMAP, ToHandle(bitmap)) != HANDLE{};
  CloseClipboard();
  if (taken) return QuorvexStatus::OK;
  DeleteObject(ToGdiObject(bitmap));
  return QuorvexStatus::GenericError;
}

}  // namespace

QuorvexStatus MakeHBitmap(ImageId id, ARGB background, HBITMAP& bitmap) {
  bitmap = HBITMAP{};
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  const GpStatus status = GdipCreateHBITMAPFromBitmap(NativeHandle(id), &bitmap, background);
  if (status != Ok && bitmap != HBITMAP{}) {
    DeleteObject(ToGdiObject(bitmap));
    bitmap = HBITMAP{};
  }
  return FromImagingStatus(status);
}

QuorvexStatus MakePicture(ImageId id, ComPtr<IPicture>& picture) {
  picture.Reset();
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  return PictureFromBitmap(NativeHandle(id), picture);
}

ComPtr<IPicture> MakePicture(ImageId id) {
  ComPtr<IPicture> picture;
  MakePicture(id, picture);
  return picture;
}

QuorvexStatus CopyToClipboard(ImageId id) {
  try {
    ComPtr<IPicture> picture;
    const QuorvexStatus made = MakePicture(id, picture);
    if (made != QuorvexStatus::OK) return made;
    const HBITMAP copy = CopyOfPictureBitmap(*picture);
    if (copy == HBITMAP{}) return QuorvexStatus::OutOfMemory;
    return PutBitmapOnClipboard(copy);
  } catch (const std::bad_alloc&) {
    return QuorvexStatus::OutOfMemory;
  }
}

QuorvexStatus CopyImageArea(ImageId id, std::int32_t left, std::int32_t top, std::int32_t width,
                            std::int32_t height, PixelFormat format, ImageId& copy) {
  copy = kNoImage;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  GpBitmap* area = nullptr;
  const GpStatus status = GdipCloneBitmapAreaI(left, top, width, height, format, NativeHandle(id), &area);
  if (status != Ok) return FromImagingStatus(status);
  if (RegisterImage(area, "", "", SourceKind::Plain, copy) < 0) {
    GdipDisposeImage(area);
    return QuorvexStatus::OutOfMemory;
  }
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
