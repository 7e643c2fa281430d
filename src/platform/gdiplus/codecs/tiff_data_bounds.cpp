#include "tiff_data_bounds.h"

namespace pixavue::platform::gdiplus {
namespace {

// Bytes libtiff decodes for the whole page, in all its chunks.
std::uint64_t DecodedPageBytes(TIFF* tif, const TiffPageInfo& info) {
  if (info.tiled) return static_cast<std::uint64_t>(TIFFTileSize64(tif)) * TIFFNumberOfTiles(tif);
  const bool separate = info.planarConfig == PLANARCONFIG_SEPARATE;
  const std::uint64_t planes = separate ? info.samplesPerPixel : 1;
  return static_cast<std::uint64_t>(TIFFScanlineSize64(tif)) * info.height * planes;
}

}  // namespace

std::uint64_t TiffExpansionBound(std::uint16_t compression) noexcept {
  switch (compression) {
    case COMPRESSION_NONE:
      return 1;
    case COMPRESSION_PACKBITS:
      return 64;  // two bytes repeat one byte 128 times
    case COMPRESSION_LZW:
      return 2731;  // a 12-bit code gives at most 4096 bytes
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return 1032;  // deflate's own limit for one long run
    default:
      return 0;
  }
}

GpStatus CheckTiffPageData(TIFF* tif, const TiffPageInfo& info, std::uint64_t fileSize) {
  const std::uint32_t chunks = info.tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  if (chunks == 0) return InvalidParameter;
  std::uint64_t present = 0;
  for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
    int error = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tif, chunk, &error);
    const std::uint64_t bytes = error == 0 ? TIFFGetStrileByteCountWithErr(tif, chunk, &error) : 0;
    if (error != 0) return InvalidParameter;
    // A chunk with no bytes is missing: libtiff reads it as blank or fails.
    if (bytes == 0) continue;
    if (offset > fileSize || bytes > fileSize - offset) return InvalidParameter;
    present += bytes;
  }
  const std::uint64_t ratio = TiffExpansionBound(info.compression);
  if (ratio == 0) return Ok;
  const std::uint64_t needed = DecodedPageBytes(tif, info);
  return needed / ratio > present ? InvalidParameter : Ok;
}

}  // namespace pixavue::platform::gdiplus
