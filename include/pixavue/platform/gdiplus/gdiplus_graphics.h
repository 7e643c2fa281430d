#pragma once
// Drawing with the imaging library: graphics objects over bitmaps and device
// contexts, image drawing with interpolation and image attributes, and
// thumbnails.
//
// Drawing composites source-over onto the destination. Coordinates are
// pixels (the only source unit accepted is UnitPixel). A draw samples only
// inside its source rectangle: pixels at its edges are clamped to it.

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform {

// Graphics objects. Indexed bitmaps cannot be drawn into (OutOfMemory, as
// the documented library answers). A graphics object on a device context
// draws into the bitmap selected into it at the time of each call.
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color);

GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
GpStatus GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode);
GpStatus GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
GpStatus GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
GpStatus GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);

// Image drawing from every pixel format, and of metafiles.
GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                                INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                                const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                                void* callbackData);
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth,
                               REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                               const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                               void* callbackData);

// Image attributes.
GpStatus GdipCreateImageAttributes(GpImageAttributes** imageAttributes);
GpStatus GdipDisposeImageAttributes(GpImageAttributes* imageAttributes);
GpStatus GdipSetImageAttributesGamma(GpImageAttributes* imageAttributes, ColorAdjustType type, BOOL enableFlag,
                                     REAL gamma);
GpStatus GdipSetImageAttributesRemapTable(GpImageAttributes* imageAttributes, ColorAdjustType type,
                                          BOOL enableFlag, UINT32 mapSize, const ColorMap* map);
GpStatus GdipSetImageAttributesColorKeys(GpImageAttributes* imageAttributes, ColorAdjustType type,
                                         BOOL enableFlag, ARGB colorLow, ARGB colorHigh);

// A new bitmap of the given size showing the whole image (0 x 0 asks for
// 120 x 120).
GpStatus GdipGetImageThumbnail(GpImage* image, UINT32 thumbWidth, UINT32 thumbHeight, GpImage** thumbImage,
                               GetThumbnailImageAbort callback, void* callbackData);

}  // namespace pixavue::platform
