#pragma once
// OLE picture objects: a bitmap, icon, Windows metafile or enhanced
// metafile handle of the graphics table (gdi.h) together with its size in
// HIMETRIC units (0.01 mm), shared by reference count.
//
// A picture made with `own` deletes its handle when its last reference goes
// (DeleteObject, DestroyIcon, DeleteMetaFile or DeleteEnhMetaFile). The
// palette of a bitmap picture is never owned: its creator keeps and deletes
// it. A picture without `own` only names the handle, which its creator must
// keep alive while the picture is used.

#include <cstdint>

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/ref_counted.h>
#include <pixavue/platform/ole/types.h>

namespace pixavue::platform {

using SHORT = std::int16_t;
// A handle handed out by a picture: the value of an HBITMAP, HICON,
// HMETAFILE, HENHMETAFILE or HPALETTE, to be turned back with the handle
// type its picture type implies.
using OLE_HANDLE = std::uintptr_t;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;

inline constexpr SHORT PICTYPE_UNINITIALIZED = -1;
inline constexpr SHORT PICTYPE_NONE = 0;
inline constexpr SHORT PICTYPE_BITMAP = 1;
inline constexpr SHORT PICTYPE_METAFILE = 2;
inline constexpr SHORT PICTYPE_ICON = 3;
inline constexpr SHORT PICTYPE_ENHMETAFILE = 4;

// What a new picture shows. Handles are 64 bits wide on this platform, so
// the structure is 24 bytes; OleCreatePictureIndirect accepts that size and
// also 20, the size of the same layout with 32-bit handles, which callers
// written for that layout pass.
struct PICTDESC_BITMAP {
  HBITMAP hbitmap;
  HPALETTE hpal;  // 0 for none
};
struct PICTDESC_METAFILE {
  HMETAFILE hmeta;
  LONG xExt;  // HIMETRIC
  LONG yExt;
};
struct PICTDESC_ICON {
  HICON hicon;
};
struct PICTDESC_ENHMETAFILE {
  HENHMETAFILE hemf;
};

struct PICTDESC {
  UINT cbSizeofstruct = sizeof(PICTDESC);
  UINT picType = static_cast<UINT>(PICTYPE_NONE);
  union {
    PICTDESC_BITMAP bmp;
    PICTDESC_METAFILE wmf;
    PICTDESC_ICON icon;
    PICTDESC_ENHMETAFILE emf;
  };
  PICTDESC() : bmp{} {}
};
static_assert(sizeof(PICTDESC) == 24);

inline constexpr UINT kPictDescSize32 = 20;

class IPicture : public IRefCounted {
 public:
  // The handle of the picture's kind; 0 for an empty or uninitialised one.
  virtual HRESULT get_Handle(OLE_HANDLE* handle) noexcept = 0;
  // The palette of a bitmap picture, 0 for none; E_FAIL for other kinds.
  virtual HRESULT get_hPal(OLE_HANDLE* palette) noexcept = 0;
  virtual HRESULT get_Type(SHORT* type) noexcept = 0;
  virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) noexcept = 0;
  virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) noexcept = 0;

 protected:
  ~IPicture() override = default;
};

// Deletes a handle as a picture of that type owning it does on its last
// release (nothing for other types).
void DeletePictureHandle(SHORT type, OLE_HANDLE handle) noexcept;

// HIMETRIC of a length in pixels at 96 dots an inch, rounded.
LONG HimetricFromPixels(LONG pixels) noexcept;

// A new picture. A null description makes an uninitialised picture
// (PICTYPE_UNINITIALIZED). Sizes: bitmaps and icons from their pixel size at
// 96 dpi; Windows metafiles from xExt and yExt; enhanced metafiles from the
// frame of their header. E_POINTER for a null `picture`; E_INVALIDARG for
// another structure size, an unknown type, or a handle that is not a live
// object of the type's kind (nothing is owned then); E_OUTOFMEMORY.
HRESULT OleCreatePictureIndirect(const PICTDESC* description, bool own, IPicture** picture) noexcept;

}  // namespace pixavue::platform
