#pragma once
// Reading a TIFF page whose JPEG data (Compression 7) has other than 8
// bits a sample, which libtiff's JPEG codec cannot decode here: every
// strip or tile is read raw and decoded by the layer's own JPEG decoder,
// after the page's JPEGTables when it has them.

#include <tiffio.h>

#include "tiff_page_layout.h"
#include "tiff_scanline_reader.h"

namespace pixavue::platform::gdiplus {

// Hands the rows over as 16-bit samples in the machine's byte order,
// interleaved, scaled from the JPEG data's own precision to 0..65535;
// YCbCr data comes out as R, G, B. InvalidParameter for a missing chunk
// or JPEG data that is damaged or does not fit its chunk (size, component
// count, a precision above BitsPerSample); UnknownImageFormat for JPEG
// processes not read; OutOfMemory past the load's budget.
GpStatus ReadWideJpegRows(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink);

}  // namespace pixavue::platform::gdiplus
