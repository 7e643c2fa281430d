// Images from OLE pictures: bitmaps and icons through the imaging
// library's handle functions, metafiles rendered onto white at their own
// size. The picture keeps its handle; nothing here deletes it.

#include <pixavue/engine/image_loaders.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include <pixavue/engine/image_resolution.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/picture_io.h>

#include "new_image.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

constexpr double kHimetricPerInch = 2540.0;
constexpr double kScreenDpi = 96.0;
constexpr double kLargestPlaceableUnits = 32767.0;
constexpr ARGB kOpaqueWhite = 0xFFFFFFFFu;

// A side of a metafile picture in pixels at 96 dpi (positive HIMETRIC
// sizes give at least one pixel).
double ScreenPixels(LONG himetric) {
  if (himetric <= 0) return 0;
  return std::max(1.0, std::nearbyint(himetric * kScreenDpi / kHimetricPerInch));
}

// The placeable header of a Windows metafile picture: the box is the
// picture's size as the screen shows it, at 96 units an inch, so that the
// metafile reports (and is rendered at) that many pixels. A side that does
// not fit the header's 16 bits lowers the units per inch instead.
WmfPlaceableFileHeader PlaceableHeader(LONG widthHimetric, LONG heightHimetric) {
  const double width = ScreenPixels(widthHimetric), height = ScreenPixels(heightHimetric);
  const double shrink = std::min(1.0, kLargestPlaceableUnits / std::max({width, height, 1.0}));
  WmfPlaceableFileHeader header;
  header.BoundingBoxRight = static_cast<INT16>(std::nearbyint(width * shrink));
  header.BoundingBoxBottom = static_cast<INT16>(std::nearbyint(height * shrink));
  header.Inch = static_cast<INT16>(std::max(1.0, std::nearbyint(kScreenDpi * shrink)));
  return header;
}

// A memory context with a screen-compatible bitmap selected into it.
struct Canvas final {
  HDC dc{};
  HBITMAP bitmap{};
  HGDIOBJ previous{};
};

void ReleaseCanvas(Canvas& canvas) {
  if (canvas.previous != HGDIOBJ{}) SelectObject(canvas.dc, canvas.previous);
  if (canvas.dc != HDC{}) DeleteDC(canvas.dc);
  if (canvas.bitmap != HBITMAP{}) DeleteObject(ToGdiObject(canvas.bitmap));
  canvas = Canvas{};
}

bool MakeCanvas(INT width, INT height, Canvas& canvas) {
  const HDC screen = GetDC(kNoWindow);
  if (screen == HDC{}) return false;
  canvas.dc = CreateCompatibleDC(screen);
  canvas.bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(kNoWindow, screen);
  if (canvas.dc != HDC{} && canvas.bitmap != HBITMAP{}) {
    canvas.previous = SelectObject(canvas.dc, ToGdiObject(canvas.bitmap));
  }
  if (canvas.previous != HGDIOBJ{}) return true;
  ReleaseCanvas(canvas);
  return false;
}

GpStatus DrawOnWhite(HDC dc, GpMetafile* metafile, INT width, INT height) {
  GpGraphics* graphics = nullptr;
  GpStatus status = GdipCreateFromHDC(dc, &graphics);
  if (status != Ok) return status;
  status = GdipGraphicsClear(graphics, kOpaqueWhite);
  if (status == Ok) status = GdipDrawImageRectI(graphics, metafile, 0, 0, width, height);
  GdipDeleteGraphics(graphics);
  return status;
}

struct MetafileFacts final {
  UINT32 width = 0;
  UINT32 height = 0;
  REAL dpiX = 0;
  REAL dpiY = 0;
};

GpStatus ReadFacts(GpMetafile* metafile, MetafileFacts& facts) {
  GpStatus status = GdipGetImageWidth(metafile, &facts.width);
  if (status == Ok) status = GdipGetImageHeight(metafile, &facts.height);
  if (status == Ok) status = GdipGetImageHorizontalResolution(metafile, &facts.dpiX);
  if (status == Ok) status = GdipGetImageVerticalResolution(metafile, &facts.dpiY);
  return status;
}

// Plays the metafile onto white in a screen-compatible bitmap of its size
// and registers a copy of that bitmap with the metafile's resolution. The
// metafile is disposed in every case; every graphics object made here is
// deleted.
QuorvexStatus RenderMetafile(GpMetafile* metafile, ImageId& id) {
  MetafileFacts facts;
  GpStatus status = ReadFacts(metafile, facts);
  Canvas canvas;
  const auto width = static_cast<INT>(facts.width), height = static_cast<INT>(facts.height);
  if (status == Ok && !MakeCanvas(width, height, canvas)) status = OutOfMemory;
  if (status == Ok) status = DrawOnWhite(canvas.dc, metafile, width, height);
  GdipDisposeImage(metafile);
  if (status != Ok) {
    ReleaseCanvas(canvas);
    return FromImagingStatus(status);
  }

  const HBITMAP bitmap = canvas.bitmap;
  canvas.bitmap = HBITMAP{};
  ReleaseCanvas(canvas);
  GpBitmap* copy = nullptr;
  status = GdipCreateBitmapFromHBITMAP(bitmap, HPALETTE{}, &copy);
  DeleteObject(ToGdiObject(bitmap));
  if (status != Ok) return FromImagingStatus(status);
  const QuorvexStatus registered = RegisterNewImage(copy, SourceKind::GdiBitmap, id);
  // The load's own resolution is not a change to the image.
  if (registered == QuorvexStatus::OK && facts.dpiX > 0 && facts.dpiY > 0) {
    SetResolution(id, facts.dpiX, facts.dpiY, true);
  }
  return registered;
}

QuorvexStatus LoadBitmapPicture(IPicture& picture, OLE_HANDLE handle, ImageId& id) {
  OLE_HANDLE palette = 0;
  if (FAILED(picture.get_hPal(&palette))) palette = 0;
  GpBitmap* bitmap = nullptr;
  const GpStatus status = GdipCreateBitmapFromHBITMAP(HBITMAP{handle}, HPALETTE{palette}, &bitmap);
  if (status != Ok) return FromImagingStatus(status);
  return RegisterNewImage(bitmap, SourceKind::GdiBitmap, id);
}

// A picture without a size leaves the metafile its own window extent.
QuorvexStatus LoadWmfPicture(IPicture& picture, OLE_HANDLE handle, ImageId& id) {
  LONG width = 0, height = 0;
  if (FAILED(picture.get_Width(&width)) || FAILED(picture.get_Height(&height))) width = height = 0;
  const WmfPlaceableFileHeader header = PlaceableHeader(width, height);
  const bool sized = header.BoundingBoxRight > 0 && header.BoundingBoxBottom > 0;
  GpMetafile* metafile = nullptr;
  const GpStatus status = GdipCreateMetafileFromWmf(HMETAFILE{handle}, 0, sized ? &header : nullptr, &metafile);
  if (status != Ok) return FromImagingStatus(status);
  return RenderMetafile(metafile, id);
}

QuorvexStatus LoadEmfPicture(OLE_HANDLE handle, ImageId& id) {
  GpMetafile* metafile = nullptr;
  const GpStatus status = GdipCreateMetafileFromEmf(HENHMETAFILE{handle}, 0, &metafile);
  if (status != Ok) return FromImagingStatus(status);
  return RenderMetafile(metafile, id);
}

// An icon the imaging library does not take is saved as an icon file and
// loaded through the file chain; the file then goes with the image.
// A picture that cannot be saved leaves the icon's own status.
QuorvexStatus LoadIconThroughFile(IPicture& picture, QuorvexStatus iconStatus, ImageId& id) {
  std::string path;
  try {
    path = MakeTempFileName();
    if (path.empty() || FAILED(SavePictureFile(&picture, path))) {
      DeleteFileIgnoringErrors(path);
      return iconStatus;
    }
    // No dialog; documents keep their pages in place.
    const QuorvexStatus status = LoadFromFile(path, FileLoadOptions{}, id);
    if (status != QuorvexStatus::OK) {
      DeleteFileIgnoringErrors(path);
      return status;
    }
    AttachTempFile(id, path);
    return status;
  } catch (...) {
    DeleteFileIgnoringErrors(path);
    return iconStatus;
  }
}

QuorvexStatus LoadIconPicture(IPicture& picture, OLE_HANDLE handle, ImageId& id) {
  GpBitmap* bitmap = nullptr;
  const GpStatus status = GdipCreateBitmapFromHICON(HICON{handle}, &bitmap);
  if (status == Ok) return RegisterNewImage(bitmap, SourceKind::Icon, id);
  return LoadIconThroughFile(picture, FromImagingStatus(status), id);
}

}  // namespace

QuorvexStatus LoadFromPicture(IPicture* picture, ImageId& id) {
  id = kNoImage;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (picture == nullptr || FAILED(picture->get_Type(&type)) || FAILED(picture->get_Handle(&handle))) {
    return QuorvexStatus::InvalidParameter;
  }
  switch (type) {
    case PICTYPE_BITMAP:
      return LoadBitmapPicture(*picture, handle, id);
    case PICTYPE_METAFILE:
      return LoadWmfPicture(*picture, handle, id);
    case PICTYPE_ICON:
      return LoadIconPicture(*picture, handle, id);
    case PICTYPE_ENHMETAFILE:
      return LoadEmfPicture(handle, id);
    default:
      return QuorvexStatus::InvalidParameter;
  }
}

}  // namespace pixavue::engine
