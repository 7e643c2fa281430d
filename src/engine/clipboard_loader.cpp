// The clipboard's picture: the first of a DIB, a bitmap and a metafile
// picture, taken through a picture object while the clipboard is open. The
// clipboard keeps owning its handles; the imaging library copies what the
// image needs before the clipboard is closed.

#include <pixavue/engine/image_loaders.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture_dib.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// The picture only names the handle; its owner keeps it.
QuorvexStatus LoadPictureOf(const PICTDESC& description, ImageId& id) {
  ComPtr<IPicture> picture;
  const HRESULT made = OleCreatePictureIndirect(&description, false, picture.ReleaseAndGetAddressOf());
  if (made == E_OUTOFMEMORY) return QuorvexStatus::OutOfMemory;
  if (FAILED(made)) return QuorvexStatus::InvalidParameter;
  return LoadFromPicture(picture.Get(), id);
}

// The packed DIB becomes a bitmap of our own for the time of the load.
QuorvexStatus LoadDib(HGLOBAL memory, ImageId& id) {
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
  if (bytes == nullptr) return QuorvexStatus::GenericError;
  const HBITMAP bitmap = BitmapFromPackedDib(std::span(bytes, GlobalSize(memory)));
  GlobalUnlock(memory);
  if (bitmap == HBITMAP{}) return QuorvexStatus::InvalidParameter;
  PICTDESC description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  const QuorvexStatus status = LoadPictureOf(description, id);
  DeleteObject(ToGdiObject(bitmap));
  return status;
}

QuorvexStatus LoadBitmap(HBITMAP bitmap, ImageId& id) {
  PICTDESC description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  return LoadPictureOf(description, id);
}

QuorvexStatus LoadMetafilePicture(HGLOBAL memory, ImageId& id) {
  const void* bytes = GlobalLock(memory);
  if (bytes == nullptr) return QuorvexStatus::GenericError;
  METAFILEPICT picture;
  const bool complete = GlobalSize(memory) >= sizeof(picture);
  if (complete) std::memcpy(&picture, bytes, sizeof(picture));
  GlobalUnlock(memory);
  if (!complete) return QuorvexStatus::InvalidParameter;
  PICTDESC description;
  description.picType = PICTYPE_METAFILE;
  description.wmf.hmeta = picture.hMF;
  description.wmf.xExt = picture.xExt;
  description.wmf.yExt = picture.yExt;
  return LoadPictureOf(description, id);
}

// A palette on its own has no pixels, so it is not a picture: it is passed
// over for the formats that are.
QuorvexStatus LoadFirstPicture(ImageId& id) {
  if (const HANDLE dib = GetClipboardData(CF_DIB); dib != HANDLE{}) return LoadDib(FromHandle<HGLOBAL>(dib), id);
  if (const HANDLE bitmap = GetClipboardData(CF_BITMAP); bitmap != HANDLE{}) {
    return LoadBitmap(FromHandle<HBITMAP>(bitmap), id);
  }
  if (const HANDLE metafile = GetClipboardData(CF_METAFILEPICT); metafile != HANDLE{}) {
    return LoadMetafilePicture(FromHandle<HGLOBAL>(metafile), id);
  }
  return QuorvexStatus::GenericError;
}

}  // namespace

QuorvexStatus LoadFromClipboard(ImageId& id) {
  id = kNoImage;
  if (!OpenClipboard(kNoWindow)) return QuorvexStatus::GenericError;
  QuorvexStatus status = QuorvexStatus::GenericError;
  try {
    status = LoadFirstPicture(id);
  } catch (const std::bad_alloc&) {
    status = QuorvexStatus::OutOfMemory;
  }
  CloseClipboard();
  return status;
}

}  // namespace pixavue::engine
