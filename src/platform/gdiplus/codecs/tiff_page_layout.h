#pragma once
// What one TIFF directory holds and how its samples become pixels: the
// frame's pixel format (the file's own depth), its palette and the row
// conversion, or the RGBA fallback for what only libtiff can interpret.

#include <cstdint>
#include <vector>

#include <tiffio.h>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "tiff_row_convert.h"

namespace pixavue::platform::gdiplus {

struct TiffPageInfo final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bitsPerSample = 1;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
  std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
  std::uint16_t inkSet = INKSET_CMYK;
  bool hasAlpha = false;      // the first extra sample is alpha
  bool associatedAlpha = false;
  bool tiled = false;
  bool ycbcrJpeg = false;  // YCbCr JPEG data, read as RGB
  std::uint32_t rowsPerStrip = 0;
  std::uint32_t tileWidth = 0;
  std::uint32_t tileLength = 0;
};

// Reads the fields of the current directory. New-style JPEG pages in YCbCr
// are switched to RGB output here, so they read as RGB pages. Size limits
// are checked (OutOfMemory); a missing or impossible field gives
// InvalidParameter.
GpStatus ReadTiffPageInfo(TIFF* tif, TiffPageInfo& info);

// How the stored samples are read before the row conversion.
enum class TiffSampleCoding {
  Unsigned,    // as they are
  SignedFlip,  // two's complement: the sign bit flipped keeps their order
  Float,       // IEEE half, single or double, scaled to 16-bit
  Lab,         // L*a*b* of one of the TIFF encodings, converted to sRGB
  WideJpeg,    // JPEG data of other than 8 bits, decoded to 16-bit samples
};

struct TiffPixelPlan final {
  PixelFormat format = PixelFormatUndefined;
  bool rgbaFallback = false;  // read through TIFFReadRGBAImageOriented
  TiffSampleCoding coding = TiffSampleCoding::Unsigned;
  TiffRowFormat row;
  std::vector<ARGB> palette;
  std::uint32_t paletteFlags = 0;
  std::uint32_t imageFlags = 0;  // colour space and alpha
};

// Chooses how the page is stored. UnknownImageFormat for sample layouts
// neither this reader nor libtiff's RGBA interface understands. JPEG data
// of other than 8 bits, which the JPEG library here cannot decode, is read
// by the layer's own decoder as 16-bit grey, RGB or CMYK.
GpStatus PlanTiffPixels(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan);

}  // namespace pixavue::platform::gdiplus
