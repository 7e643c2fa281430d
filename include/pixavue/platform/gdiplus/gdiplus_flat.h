#pragma once
// The imaging library's flat interface: the functions the engine and the
// control call, with the documented names, argument orders and statuses.
// Every function returns GdiplusNotInitialized while no session is open,
// InvalidParameter for a null or unknown object or an out-of-range
// argument, and never throws.
//
// File names are UTF-16 (WCHAR) as in the documented interface; they are
// converted to UTF-8 paths.

#include <pixavue/platform/gdiplus/gdiplus_types.h>
// Drawing, handles, streams and metafiles have headers of their own, included
// here so that one include gives the whole interface.
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>
#include <pixavue/platform/gdiplus/gdiplus_handles.h>
#include <pixavue/platform/gdiplus/gdiplus_metafile.h>
#include <pixavue/platform/gdiplus/gdiplus_stream.h>

namespace pixavue::platform {

// Session. Start-ups are counted; the library stays usable until as many
// shut-downs have been made. A shut-down with a token that is not open is
// ignored.
GpStatus GdiplusStartup(GDIP_ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(GDIP_ULONG_PTR token);

// Creation and loading. The file is read whole when the call is made; the
// image does not keep the file open or locked.
GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap);
GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
GpStatus GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image);
// With scan0, the bitmap uses the caller's buffer (never copied) with the
// given stride, which must be a multiple of 4 and may be negative; the
// buffer must outlive the bitmap. Without scan0, stride is ignored and the
// bitmap owns zeroed pixels.
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap);
GpStatus GdipCloneImage(GpImage* image, GpImage** clone);
GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* source,
                              GpBitmap** clone);
GpStatus GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* source,
                             GpBitmap** clone);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipImageForceValidation(GpImage* image);

// Queries.
GpStatus GdipGetImageRawFormat(GpImage* image, GUID* format);
GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
GpStatus GdipGetImageWidth(GpImage* image, UINT32* width);
GpStatus GdipGetImageHeight(GpImage* image, UINT32* height);
GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
GpStatus GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
GpStatus GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
GpStatus GdipGetImageType(GpImage* image, ImageType* type);
GpStatus GdipGetImageFlags(GpImage* image, UINT32* flags);
GpStatus GdipGetImagePaletteSize(GpImage* image, INT* size);
GpStatus GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size);
GpStatus GdipSetImagePalette(GpImage* image, const ColorPalette* palette);

// Frames: pages of TIFF documents (FrameDimensionPage), frames of GIF
// animations (FrameDimensionTime). Selecting a frame replaces the pixels
// and properties of the image with those of the frame; changes made to the
// previous frame are lost.
GpStatus GdipImageGetFrameDimensionsCount(GpImage* image, UINT32* count);
GpStatus GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensions, UINT32 count);
GpStatus GdipImageGetFrameCount(GpImage* image, const GUID* dimension, UINT32* count);
GpStatus GdipImageSelectActiveFrame(GpImage* image, const GUID* dimension, UINT32 index);

// Pixels.
GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT32 flags, PixelFormat format,
                            BitmapData* lockedData);
GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedData);
GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);

// Changes.
GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType type);
GpStatus GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);

// Property items. Values are in the machine's byte order.
GpStatus GdipGetPropertyCount(GpImage* image, UINT32* numOfProperty);
GpStatus GdipGetPropertyIdList(GpImage* image, UINT32 numOfProperty, PROPID* list);
GpStatus GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT32* size);
GpStatus GdipGetPropertyItem(GpImage* image, PROPID propId, UINT32 propSize, PropertyItem* buffer);
GpStatus GdipGetPropertySize(GpImage* image, UINT32* totalBufferSize, UINT32* numProperties);
GpStatus GdipGetAllPropertyItems(GpImage* image, UINT32 totalBufferSize, UINT32 numProperties,
                                 PropertyItem* allItems);
GpStatus GdipSetPropertyItem(GpImage* image, const PropertyItem* item);
GpStatus GdipRemovePropertyItem(GpImage* image, PROPID propId);

// Codecs. The arrays are followed in the same block by the strings and
// signatures they point to; size is the whole block in bytes.
GpStatus GdipGetImageEncodersSize(UINT32* numEncoders, UINT32* size);
GpStatus GdipGetImageEncoders(UINT32 numEncoders, UINT32 size, ImageCodecInfo* encoders);
GpStatus GdipGetImageDecodersSize(UINT32* numDecoders, UINT32* size);
GpStatus GdipGetImageDecoders(UINT32 numDecoders, UINT32 size, ImageCodecInfo* decoders);
GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* encoderParams);

}  // namespace pixavue::platform
