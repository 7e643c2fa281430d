// Placeholder until the pixel functions land.
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::platform {

GpStatus GdipCreateBitmapFromScan0(INT, INT, INT, PixelFormat, BYTE*, GpBitmap**) { return NotImplemented; }
GpStatus GdipCloneBitmapAreaI(INT, INT, INT, INT, PixelFormat, GpBitmap*, GpBitmap**) { return NotImplemented; }
GpStatus GdipCloneBitmapArea(REAL, REAL, REAL, REAL, PixelFormat, GpBitmap*, GpBitmap**) { return NotImplemented; }
GpStatus GdipBitmapLockBits(GpBitmap*, const GpRect*, UINT32, PixelFormat, BitmapData*) { return NotImplemented; }
GpStatus GdipBitmapUnlockBits(GpBitmap*, BitmapData*) { return NotImplemented; }
GpStatus GdipBitmapGetPixel(GpBitmap*, INT, INT, ARGB*) { return NotImplemented; }
GpStatus GdipBitmapSetPixel(GpBitmap*, INT, INT, ARGB) { return NotImplemented; }
GpStatus GdipImageRotateFlip(GpImage*, RotateFlipType) { return NotImplemented; }

}  // namespace pixavue::platform
