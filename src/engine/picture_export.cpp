// Bitmaps to pictures: a DIB section of the bitmap's pixels handed to a new
// picture object that owns it.

#include <pixavue/engine/picture_export.h>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_handles.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// Background 0 (transparent black): the DIB keeps the bitmap's alpha,
// premultiplied.
constexpr ARGB kKeepAlpha = 0;

}  // namespace

QuorvexStatus PictureFromBitmap(GpBitmap* bitmap, ComPtr<IPicture>& picture) {
  picture.Reset();
  if (bitmap == nullptr) return QuorvexStatus::InvalidParameter;
  HBITMAP handle{};
  const GpStatus made = GdipCreateHBITMAPFromBitmap(bitmap, &handle, kKeepAlpha);
  if (made != Ok) {
    if (handle != HBITMAP{}) DeleteObject(ToGdiObject(handle));
    return FromImagingStatus(made);
  }
  PICTDESC description;
  description.picType = static_cast<UINT>(PICTYPE_BITMAP);
  description.bmp.hbitmap = handle;
  IPicture* created = nullptr;
  const HRESULT result = OleCreatePictureIndirect(&description, true, &created);
  if (FAILED(result) || created == nullptr) {
    // The picture did not take the handle.
    DeleteObject(ToGdiObject(handle));
    return result == E_OUTOFMEMORY ? QuorvexStatus::OutOfMemory : QuorvexStatus::GenericError;
  }
  picture.Attach(created);
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
