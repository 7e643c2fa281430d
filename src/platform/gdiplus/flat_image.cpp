// Creating, loading, cloning and disposing images, and the plain queries.

#include <algorithm>
#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "codec_registry.h"
#include "file_name.h"
#include "image.h"
#include "load_budget.h"
#include "session.h"

namespace pixavue::platform {
namespace {

using gdiplus::CheckBitmap;
using gdiplus::CheckImage;

GpStatus LoadFile(const WCHAR* filename, bool useIcm, bool bitmapOnly, GpImage** image) {
  if (image == nullptr) return InvalidParameter;
  *image = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  auto path = gdiplus::PathFromWide(filename);
  if (!path) return InvalidParameter;
  gdiplus::EncodedBytes bytes;
  GpStatus status = gdiplus::ReadWholeFile(*path, bytes);
  if (status != Ok) return status;
  return gdiplus::LoadImageFromBytes(bytes, useIcm, bitmapOnly, image);
}

bool PaletteHasAlpha(const std::vector<ARGB>& palette) {
  return std::any_of(palette.begin(), palette.end(), [](ARGB c) { return (c >> 24) != 0xFF; });
}

}  // namespace

GpStatus gdiplus::LoadImageFromBytes(const EncodedBytes& bytes, bool useIcm, bool bitmapOnly, GpImage** image) {
  gdiplus::DecodeFunction decode = gdiplus::DecoderFor(*bytes);
  if (decode == nullptr) return UnknownImageFormat;
  gdiplus::DecodedImage decoded;
  gdiplus::DecodeOptions options;
  options.useEmbeddedColorManagement = useIcm;
  GpStatus status = Ok;
  try {
    LoadBudgetScope budget;
    status = decode(bytes, options, decoded);
  } catch (const std::bad_alloc&) {
    status = OutOfMemory;
  }
  if (status != Ok) return status;
  // A metafile is not a bitmap; the documented library refuses it there.
  if (bitmapOnly && decoded.isMetafile) return InvalidParameter;
  const bool metafile = decoded.isMetafile;
  auto made = gdiplus::ImageFromDecoded(std::move(decoded));
  if (metafile) made->metafileBytes = bytes;
  *image = gdiplus::RegisterImage(std::move(made));
  return Ok;
}

GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadFile(filename, false, true, bitmap);
}

GpStatus GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadFile(filename, true, true, bitmap);
}

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image) {
  return LoadFile(filename, false, false, image);
}

GpStatus GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image) {
  return LoadFile(filename, true, false, image);
}

GpStatus GdipCloneImage(GpImage* image, GpImage** clone) {
  if (clone == nullptr) return InvalidParameter;
  *clone = nullptr;
  GpStatus status = CheckImage(image);
  if (status != Ok) return status;
  if (image->lock) return WrongState;
  auto copy = std::make_unique<GpImage>();
  copy->type = image->type;
  copy->rawFormat = image->rawFormat;
  copy->properties = image->properties;
  copy->frames = image->frames;
  copy->frameDimension = image->frameDimension;
  copy->activeFrame = image->activeFrame;
  copy->metafile = image->metafile;
  copy->metafileBytes = image->metafileBytes;
  copy->frame.palette = image->frame.palette;
  copy->frame.paletteFlags = image->frame.paletteFlags;
  copy->frame.dpiX = image->frame.dpiX;
  copy->frame.dpiY = image->frame.dpiY;
  copy->frame.flags = image->frame.flags;
  if (!image->frame.pixels.empty()) {
    auto pixels = image->frame.pixels.Clone();
    if (!pixels) return OutOfMemory;
    copy->frame.pixels = std::move(*pixels);
  }
  *clone = gdiplus::RegisterImage(std::move(copy));
  return Ok;
}

GpStatus GdipDisposeImage(GpImage* image) {
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  return gdiplus::DisposeRegisteredImage(image) ? Ok : InvalidParameter;
}

// Images are decoded completely when they are loaded.
GpStatus GdipImageForceValidation(GpImage* image) { return CheckImage(image); }

GpStatus GdipGetImageRawFormat(GpImage* image, GUID* format) {
  GpStatus status = format == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *format = image->rawFormat;
  return status;
}

GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
  GpStatus status = format == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *format = image->type == ImageTypeMetafile ? PixelFormat32bppRGB : image->pixelFormat();
  return status;
}

GpStatus GdipGetImageWidth(GpImage* image, UINT32* width) {
  GpStatus status = width == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *width = image->width();
  return status;
}

GpStatus GdipGetImageHeight(GpImage* image, UINT32* height) {
  GpStatus status = height == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *height = image->height();
  return status;
}

GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height) {
  GpStatus status = width == nullptr || height == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) {
    *width = static_cast<REAL>(image->width());
    *height = static_cast<REAL>(image->height());
  }
  return status;
}

GpStatus GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution) {
  GpStatus status = resolution == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *resolution = image->type == ImageTypeMetafile ? image->metafile.dpiX : image->frame.dpiX;
  return status;
}

GpStatus GdipGetImageVerticalResolution(GpImage* image, REAL* resolution) {
  GpStatus status = resolution == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *resolution = image->type == ImageTypeMetafile ? image->metafile.dpiY : image->frame.dpiY;
  return status;
}

GpStatus GdipGetImageType(GpImage* image, ImageType* type) {
  GpStatus status = type == nullptr ? InvalidParameter : CheckImage(image);
  if (status == Ok) *type = image->type;
  return status;
}

GpStatus GdipGetImageFlags(GpImage* image, UINT32* flags) {
  GpStatus status = flags == nullptr ? InvalidParameter : CheckImage(image);
  if (status != Ok) return status;
  UINT32 result = image->frame.flags;
  if (image->type == ImageTypeMetafile) result |= ImageFlagsScalable;
  const PixelFormat format = image->pixelFormat();
  if (IsAlphaPixelFormat(format) || (IsIndexedPixelFormat(format) && PaletteHasAlpha(image->frame.palette))) {
    result |= ImageFlagsHasAlpha;
  }
  constexpr UINT32 kColorSpaces = ImageFlagsColorSpaceRGB | ImageFlagsColorSpaceCMYK | ImageFlagsColorSpaceGRAY |
                                  ImageFlagsColorSpaceYCBCR | ImageFlagsColorSpaceYCCK;
  if ((result & kColorSpaces) == 0) result |= ImageFlagsColorSpaceRGB;
  *flags = result;
  return Ok;
}

GpStatus GdipGetImagePaletteSize(GpImage* image, INT* size) {
  GpStatus status = size == nullptr ? InvalidParameter : CheckImage(image);
  if (status != Ok) return status;
  // An empty palette still reports room for the header and one entry.
  const std::size_t entries = std::max<std::size_t>(1, image->frame.palette.size());
  *size = static_cast<INT>(offsetof(ColorPalette, Entries) + entries * sizeof(ARGB));
  return Ok;
}

GpStatus GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size) {
  GpStatus status = palette == nullptr ? InvalidParameter : CheckImage(image);
  if (status != Ok) return status;
  const auto& entries = image->frame.palette;
  const std::size_t needed = offsetof(ColorPalette, Entries) + entries.size() * sizeof(ARGB);
  if (size < 0 || static_cast<std::size_t>(size) < needed) return InvalidParameter;
  palette->Flags = image->frame.paletteFlags;
  palette->Count = static_cast<UINT32>(entries.size());
  if (!entries.empty()) std::memcpy(palette->Entries, entries.data(), entries.size() * sizeof(ARGB));
  return Ok;
}

GpStatus GdipSetImagePalette(GpImage* image, const ColorPalette* palette) {
  GpStatus status = palette == nullptr ? InvalidParameter : CheckBitmap(image);
  if (status != Ok) return status;
  if (palette->Count == 0 || palette->Count > 256) return InvalidParameter;
  image->frame.palette.assign(palette->Entries, palette->Entries + palette->Count);
  image->frame.paletteFlags = palette->Flags;
  return Ok;
}

GpStatus GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi) {
  GpStatus status = CheckBitmap(bitmap);
  if (status != Ok) return status;
  if (!(xdpi > 0) || !(ydpi > 0)) return InvalidParameter;
  bitmap->frame.dpiX = xdpi;
  bitmap->frame.dpiY = ydpi;
  return Ok;
}

}  // namespace pixavue::platform
