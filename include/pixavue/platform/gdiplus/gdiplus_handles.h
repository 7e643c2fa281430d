#pragma once
// Bitmaps of the imaging library to and from handles of the graphics device
// interface (gdi.h): bitmaps and DIB sections, icons and packed DIBs.

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform {

// Copies the bitmap's pixels; palette, when given, replaces the colour table
// of an indexed bitmap.
GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap);
// A new 32-bit DIB section showing the bitmap composited onto background.
// The caller owns the handle (DeleteObject).
GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background);
GpStatus GdipCreateBitmapFromHICON(HICON hicon, GpBitmap** bitmap);
// A new icon; the caller owns it (DestroyIcon).
GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* hbmReturn);
// A bitmap over a packed DIB: the header and colour table in gdiBitmapInfo,
// the pixel rows in gdiBitmapData. The pixels are not copied, so they must
// outlive the bitmap.
GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* gdiBitmapInfo, void* gdiBitmapData, GpBitmap** bitmap);

}  // namespace pixavue::platform
