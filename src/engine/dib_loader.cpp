// Images over packed DIBs in global memory blocks: a 40-byte header, the
// colour masks and table, and the pixel rows. The bitmap reads the block's
// rows in place, so the block must live as long as the image (or be handed
// to it); only a white-first 1-bit DIB, whose bits are inverted, is copied.

#include <pixavue/engine/image_loaders.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include <pixavue/engine/image_filter.h>
#include <pixavue/engine/image_resolution.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "new_image.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

constexpr std::size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr DWORD kAlphaBitfields = 6;
constexpr ARGB kOpaqueBlack = 0xFF000000u;
constexpr ARGB kOpaqueWhite = 0xFFFFFFFFu;

// Colour masks stored after a 40-byte header.
std::size_t MaskBytes(const BITMAPINFOHEADER& header) {
  if (header.biCompression == BI_BITFIELDS) return 12;
  if (header.biCompression == kAlphaBitfields) return 16;
  return 0;
}

// Entries of the colour table: biClrUsed, or the full table of an indexed
// depth when it is 0 or larger than the depth can use. Deeper DIBs may
// carry an optional table of biClrUsed entries.
std::uint64_t ColourTableEntries(const BITMAPINFOHEADER& header) {
  if (header.biBitCount > 8) return header.biClrUsed;
  const std::uint64_t full = std::uint64_t{1} << header.biBitCount;
  return header.biClrUsed == 0 || header.biClrUsed > full ? full : header.biClrUsed;
}

// Bytes of pixel data the imaging library reads for this header: the
// compressed size of RLE rows, else the padded rows.
std::uint64_t PixelBytes(const BITMAPINFOHEADER& header) {
  if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) return header.biSizeImage;
  const std::uint64_t rowBytes = (std::uint64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const std::int64_t height = header.biHeight;
  return rowBytes * static_cast<std::uint64_t>(height < 0 ? -height : height);
}

// Where the rows start: after the header, the masks and the colour table
// (exactly what the imaging library reads before the rows), once the block
// is known to hold the rows too; InvalidParameter otherwise.
QuorvexStatus LocatePixels(const BITMAPINFOHEADER& header, std::size_t blockBytes, std::size_t& pixelOffset) {
  if (header.biSize != kHeaderBytes || header.biWidth <= 0 || header.biHeight == 0) {
    return QuorvexStatus::InvalidParameter;
  }
  const std::uint64_t offset = kHeaderBytes + MaskBytes(header) + 4 * ColourTableEntries(header);
  if (offset > blockBytes || PixelBytes(header) > blockBytes - offset) return QuorvexStatus::InvalidParameter;
  pixelOffset = static_cast<std::size_t>(offset);
  return QuorvexStatus::OK;
}

QuorvexStatus MakeBitmapOverBlock(BYTE* block, std::size_t blockBytes, BITMAPINFOHEADER& header, ImageId& id) {
  if (blockBytes < kHeaderBytes) return QuorvexStatus::InvalidParameter;
  std::memcpy(&header, block, kHeaderBytes);
  std::size_t pixelOffset = 0;
  const QuorvexStatus located = LocatePixels(header, blockBytes, pixelOffset);
  if (located != QuorvexStatus::OK) return located;
  GpBitmap* bitmap = nullptr;
  const GpStatus status =
      GdipCreateBitmapFromGdiDib(reinterpret_cast<const BITMAPINFO*>(block), block + pixelOffset, &bitmap);
  if (status != Ok) return FromImagingStatus(status);
  return RegisterNewImage(bitmap, SourceKind::PackedDib, id);
}

bool IsWhiteFirstOneBit(GpImage* image) {
  PixelFormat format = PixelFormatUndefined;
  INT size = 0;
  if (GdipGetImagePixelFormat(image, &format) != Ok || format != PixelFormat1bppIndexed) return false;
  if (GdipGetImagePaletteSize(image, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette))) return false;
  // Whole ColorPalette records, so that the block is aligned for one.
  auto palette = std::make_unique<ColorPalette[]>(static_cast<std::size_t>(size) / sizeof(ColorPalette) + 1);
  return GdipGetImagePalette(image, palette.get(), size) == Ok && palette[0].Count >= 1 &&
         palette[0].Entries[0] == kOpaqueWhite;
}

// Black becomes index 0: the palette is rewritten and every bit inverted,
// so the picture looks the same.
void PutBlackFirst(ImageId id) {
  GpImage* image = NativeHandle(id);
  // A ColorPalette with two entries: flags, count, black, white.
  alignas(ColorPalette) const UINT32 palette[4] = {PaletteFlagsGrayScale, 2, kOpaqueBlack, kOpaqueWhite};
  if (GdipSetImagePalette(image, reinterpret_cast<const ColorPalette*>(palette)) != Ok) return;
  UINT32 width = 0, height = 0;
  GdipGetImageWidth(image, &width);
  GdipGetImageHeight(image, &height);
  const GpRect whole{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  ApplyImageFilter(kInvertFilter, id, whole, 0.5f, 1.0f);
}

// The bitmap reads the caller's rows in place, and the caller's block must
// stay as the caller wrote it: the image becomes a copy of its own before
// its bits are inverted. On failure nothing is left registered.
QuorvexStatus PutBlackFirstOnACopy(ImageId& id) {
  ImageId copy = kNoImage;
  const QuorvexStatus status = CopyIntoEngineBuffer(id, copy);
  ReleaseImage(id);
  id = copy;
  if (status != QuorvexStatus::OK) return status;
  PutBlackFirst(id);
  ClearModified(id);  // still the image the caller handed in
  return status;
}

// Dots per inch from pixels per metre, to 3 decimals or whole dots.
float DotsPerInch(LONG pixelsPerMetre, bool wholeDots) {
  const double dpi = pixelsPerMetre / 100.0 * 2.54;
  return static_cast<float>(wholeDots ? std::nearbyint(dpi) : std::nearbyint(dpi * 1000.0) / 1000.0);
}

}  // namespace

QuorvexStatus LoadFromGdiDib(HGLOBAL memory, bool takeOwnership, bool wholeDots, ImageId& id) {
  id = kNoImage;
  if (memory == kNullHglobal) return QuorvexStatus::InvalidParameter;
  auto* block = static_cast<BYTE*>(GlobalLock(memory));
  if (block == nullptr) return QuorvexStatus::GenericError;
  BITMAPINFOHEADER header;
  QuorvexStatus status = QuorvexStatus::OK;
  try {
    status = MakeBitmapOverBlock(block, GlobalSize(memory), header, id);
    if (status == QuorvexStatus::OK && IsWhiteFirstOneBit(NativeHandle(id))) status = PutBlackFirstOnACopy(id);
  } catch (const std::bad_alloc&) {
    if (id != kNoImage) ReleaseImage(id);
    id = kNoImage;
    status = QuorvexStatus::OutOfMemory;
  }
  GlobalUnlock(memory);
  if (id == kNoImage) return status;

  // A handed-over block goes with the image that reads it; a copy does not
  // need it any more.
  if (takeOwnership && SlotOf(id)->Kind == SourceKind::PackedDib) SlotOf(id)->DibMemory = memory;
  if (takeOwnership && SlotOf(id)->Kind != SourceKind::PackedDib) GlobalFree(memory);
  const float dpiX = DotsPerInch(header.biXPelsPerMeter, wholeDots);
  const float dpiY = DotsPerInch(header.biYPelsPerMeter, wholeDots);
  // The load's own resolution is not a change to the image.
  if (dpiX > 0 && dpiY > 0) SetResolution(id, dpiX, dpiY, true);
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
