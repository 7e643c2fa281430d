// OLE picture objects over handles of the graphics table.

#include <pixavue/platform/ole/picture.h>

#include <optional>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/com_ptr.h>

namespace pixavue::platform {
namespace {

struct PictureContent final {
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  OLE_HANDLE palette = 0;
  LONG width = 0;  // HIMETRIC
  LONG height = 0;
};

class Picture final : public RefCounted<IPicture> {
 public:
  Picture(const PictureContent& content, bool own) : content_(content), own_(own) {}

  HRESULT get_Handle(OLE_HANDLE* handle) noexcept override { return Out(handle, content_.handle); }

  HRESULT get_hPal(OLE_HANDLE* palette) noexcept override {
    if (palette == nullptr) return E_POINTER;
    if (content_.type != PICTYPE_BITMAP) return E_FAIL;
    *palette = content_.palette;
    return S_OK;
  }

  HRESULT get_Type(SHORT* type) noexcept override { return Out(type, content_.type); }
  HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) noexcept override { return Out(width, content_.width); }
  HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) noexcept override { return Out(height, content_.height); }

 private:
  ~Picture() override {
    if (own_) DeletePictureHandle(content_.type, content_.handle);
  }

  template <class T>
  static HRESULT Out(T* out, T value) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }

  PictureContent content_;
  bool own_;
};

std::optional<PictureContent> BitmapContent(HBITMAP bitmap, HPALETTE palette) {
  BITMAP info;
  if (GetObjectType(ToGdiObject(bitmap)) != OBJ_BITMAP ||
      GetObject(ToGdiObject(bitmap), sizeof(info), &info) != static_cast<int>(sizeof(info))) {
    return std::nullopt;
  }
  if (palette != HPALETTE{} && GetObjectType(ToGdiObject(palette)) != OBJ_PAL) return std::nullopt;
  return PictureContent{PICTYPE_BITMAP, HandleBits(bitmap), HandleBits(palette), HimetricFromPixels(info.bmWidth),
                        HimetricFromPixels(info.bmHeight)};
}

// An icon's size is its colour bitmap's, or half the height of the mask of a
// monochrome icon (AND mask above XOR mask).
std::optional<PictureContent> IconContent(HICON icon) {
  ICONINFO parts;
  if (GetIconInfo(icon, &parts) == 0) return std::nullopt;
  const bool monochrome = parts.hbmColor == HBITMAP{};
  BITMAP info;
  const int got = GetObject(ToGdiObject(monochrome ? parts.hbmMask : parts.hbmColor), sizeof(info), &info);
  DeleteObject(ToGdiObject(parts.hbmMask));
  if (!monochrome) DeleteObject(ToGdiObject(parts.hbmColor));
  if (got != static_cast<int>(sizeof(info))) return std::nullopt;
  const LONG height = monochrome ? info.bmHeight / 2 : info.bmHeight;
  return PictureContent{PICTYPE_ICON, HandleBits(icon), 0, HimetricFromPixels(info.bmWidth),
                        HimetricFromPixels(height)};
}

std::optional<PictureContent> MetafileContent(HMETAFILE metafile, LONG width, LONG height) {
  if (GetObjectType(ToGdiObject(metafile)) != OBJ_METAFILE) return std::nullopt;
  return PictureContent{PICTYPE_METAFILE, HandleBits(metafile), 0, width, height};
}

// The frame of the header record is in HIMETRIC already.
std::optional<PictureContent> EnhMetafileContent(HENHMETAFILE metafile) {
  ENHMETAHEADER header;
  if (GetObjectType(ToGdiObject(metafile)) != OBJ_ENHMETAFILE ||
      GetEnhMetaFileHeader(metafile, sizeof(header), &header) == 0) {
    return std::nullopt;
  }
  const RECT& frame = header.rclFrame;
  return PictureContent{PICTYPE_ENHMETAFILE, HandleBits(metafile), 0, frame.right - frame.left,
                        frame.bottom - frame.top};
}

std::optional<PictureContent> ContentOf(const PICTDESC& description) {
  switch (static_cast<SHORT>(description.picType)) {
    case PICTYPE_UNINITIALIZED:
    case PICTYPE_NONE:
      return PictureContent{static_cast<SHORT>(description.picType)};
    case PICTYPE_BITMAP:
      return BitmapContent(description.bmp.hbitmap, description.bmp.hpal);
    case PICTYPE_METAFILE:
      return MetafileContent(description.wmf.hmeta, description.wmf.xExt, description.wmf.yExt);
    case PICTYPE_ICON:
      return IconContent(description.icon.hicon);
    case PICTYPE_ENHMETAFILE:
      return EnhMetafileContent(description.emf.hemf);
    default:
      return std::nullopt;
  }
}

}  // namespace

void DeletePictureHandle(SHORT type, OLE_HANDLE handle) noexcept {
  switch (type) {
    case PICTYPE_BITMAP:
      DeleteObject(HGDIOBJ{handle});
      break;
    case PICTYPE_ICON:
      DestroyIcon(HICON{handle});
      break;
    case PICTYPE_METAFILE:
      DeleteMetaFile(HMETAFILE{handle});
      break;
    case PICTYPE_ENHMETAFILE:
      DeleteEnhMetaFile(HENHMETAFILE{handle});
      break;
    default:
      break;
  }
}

LONG HimetricFromPixels(LONG pixels) noexcept {
  constexpr std::int64_t kHimetricPerInch = 2540;
  constexpr std::int64_t kPixelsPerInch = 96;
  const std::int64_t scaled = std::int64_t{pixels} * kHimetricPerInch;
  const std::int64_t half = pixels < 0 ? -kPixelsPerInch / 2 : kPixelsPerInch / 2;
  return static_cast<LONG>((scaled + half) / kPixelsPerInch);
}

HRESULT OleCreatePictureIndirect(const PICTDESC* description, bool own, IPicture** picture) noexcept {
  if (picture == nullptr) return E_POINTER;
  *picture = nullptr;
  std::optional<PictureContent> content = PictureContent{};
  if (description != nullptr) {
    if (description->cbSizeofstruct != sizeof(PICTDESC) && description->cbSizeofstruct != kPictDescSize32) {
      return E_INVALIDARG;
    }
    content = ContentOf(*description);
    if (!content) return E_INVALIDARG;
  }
  ComPtr<IPicture> made = MakeComPtr<Picture>(*content, own);
  if (!made) return E_OUTOFMEMORY;
  *picture = made.Detach();
  return S_OK;
}

}  // namespace pixavue::platform
