#pragma once
// Decoding of a device-independent bitmap body: the BITMAPINFOHEADER (or
// the 12-byte core header and its larger successors), colour masks, colour
// table and pixel bits. Shared by the BMP decoder (a 14-byte file header in
// front) and the icon decoder (DIB images inside an icon directory).

#include <cstddef>
#include <cstdint>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "../frame.h"

namespace pixavue::platform::gdiplus {

struct DibOptions final {
  // Offset of the pixel bits from the start of the DIB when the container
  // says where they are (a BMP file's bfOffBits minus 14); 0 = right after
  // the colour table. The colour table is cut short where the bits begin,
  // unless tableMayOverlapBits says otherwise.
  std::size_t bitsOffset = 0;
  // With bitsOffset: a colour table that runs past it into the bits is read
  // whole when the DIB holds it (as BMP readers do) instead of cut short.
  bool tableMayOverlapBits = false;
  // An icon or cursor image: the header's height counts the XOR image and
  // the AND mask, so the image is half as high. A 32-bit BI_RGB image then
  // decodes to 32bppARGB (its fourth byte is alpha). The AND mask is not
  // applied here; DibLayout tells the caller where it starts.
  bool icon = false;
};

// Where things are in a decoded DIB, for callers that read more of it.
struct DibLayout final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;  // of the image (half the header's for icons)
  std::uint16_t bitCount = 0;
  bool topDown = false;        // rows of the bits (and of an icon's mask) run top to bottom
  std::size_t bitsOffset = 0;  // start of the pixel bits in the DIB
  std::size_t bitsSize = 0;    // bytes of pixel bits as stored (compressed size for RLE)
  // Icons: start of the AND mask, which follows the XOR bits: 1 bit a pixel,
  // most significant bit first, rows padded to 4 bytes, in the same row
  // order as the bits. Equal to bitsOffset + bitsSize; it may lie at or past
  // the end of the DIB when a file omits the mask, so check before reading.
  std::size_t maskOffset = 0;
};

// Decodes the DIB `dib` (starting at its header) into `out` in the pixel
// format closest to the stored one: 1/4/8 bits → 1/4/8bppIndexed with the
// colour table as palette (opaque); RLE8/RLE4 → 8/4bppIndexed; 16 bits →
// 16bppRGB555, 16bppRGB565 (5-6-5 masks), 24bppRGB (other masks) or
// 32bppARGB (masks with alpha); 24 → 24bppRGB; 32 → 32bppRGB, or 32bppARGB
// with an alpha mask. Resolution comes from the pixels-per-metre fields
// when both are set. `layout`, when given, is filled on success.
//
// Returns Ok; InvalidParameter for a corrupt, truncated or inconsistent DIB;
// UnknownImageFormat for a variant not supported (embedded JPEG/PNG, CMYK,
// OS/2 Huffman or RLE24, unusual bit counts); OutOfMemory above the image
// size limits or when memory runs out.
GpStatus DecodeDib(std::span<const std::uint8_t> dib, const DibOptions& options, Frame& out,
                   DibLayout* layout = nullptr);

// What a DIB's header and colour table say about the frame, without its
// pixels, for callers that keep the bits apart from the header (packed DIBs
// handed over as a BITMAPINFO and separate rows).
struct DibDescription final {
  PixelFormat format = PixelFormatUndefined;  // as DecodeDib would decode it
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool topDown = false;
  std::size_t rowBytes = 0;   // of a stored, uncompressed row (padded to 4 bytes)
  bool rowsAsStored = false;  // uncompressed rows already laid out as `format`
  std::size_t bitsOffset = 0;  // end of the colour table in `headerAndTable`
  Frame frame;                 // palette, palette flags and resolution; no pixels
};

// Reads the header, masks and colour table in `headerAndTable` with the same
// checks and results as DecodeDib (the size limits included).
GpStatus DescribeDib(std::span<const std::uint8_t> headerAndTable, DibDescription& out);

}  // namespace pixavue::platform::gdiplus
