#include "tiff_page_decoder.h"

#include <cmath>
#include <cstring>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "../exif.h"
#include "../icc.h"
#include "../load_budget.h"
#include "pixels_per_metre.h"
#include "tiff_coded_rows.h"
#include "tiff_data_bounds.h"
#include "tiff_page_layout.h"
#include "tiff_scanline_reader.h"
#include "tiff_wide_jpeg.h"

namespace pixavue::platform::gdiplus {
namespace {

GpStatus ReadConvertedRows(TIFF* tif, const TiffPageInfo& info, const TiffPixelPlan& plan, PixelBuffer& pixels) {
  switch (plan.coding) {
    case TiffSampleCoding::SignedFlip:
      return ReadSignedRows(tif, info, plan, pixels);
    case TiffSampleCoding::Float:
      return ReadFloatRows(tif, info, pixels);
    case TiffSampleCoding::Lab:
      return ReadLabRows(tif, info, pixels);
    case TiffSampleCoding::WideJpeg:
      return ReadWideJpegRows(tif, info, [&](std::uint32_t y, const std::uint8_t* samples) {
        ConvertTiffRow(plan.row, samples, info.width, pixels.Row(y));
      });
    case TiffSampleCoding::Unsigned:
      break;
  }
  return ReadTiffScanlines(tif, info, [&](std::uint32_t y, const std::uint8_t* samples) {
    ConvertTiffRow(plan.row, samples, info.width, pixels.Row(y));
  });
}

// libtiff's raster holds R in the low byte (A, B, G, R from the top); the
// frame holds B there. Rows come out as stored, like the direct path; the
// Orientation tag stays a property. libtiff decodes through a buffer of
// one strip or tile, which is counted before it allocates it.
GpStatus ReadRgbaRaster(TIFF* tif, const TiffPageInfo& info, PixelBuffer& pixels) {
  const tmsize_t chunk = info.tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
  if (chunk <= 0) return InvalidParameter;
  const auto working = BudgetReservation::Take(static_cast<std::uint64_t>(chunk));
  if (!working) return OutOfMemory;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_BOTLEFT) orientation = ORIENTATION_TOPLEFT;
  auto* raster = reinterpret_cast<std::uint32_t*>(pixels.scan0());
  if (!TIFFReadRGBAImageOriented(tif, info.width, info.height, raster, orientation, 1)) return InvalidParameter;
  for (std::uint32_t y = 0; y < info.height; ++y) {
    std::uint8_t* row = pixels.Row(y);
    for (std::uint32_t x = 0; x < info.width; ++x) std::swap(row[4 * x], row[4 * x + 2]);
  }
  return Ok;
}

bool UsableResolution(float value) { return std::isfinite(value) && value > 0.0f; }

// ResolutionUnit "none" makes the values a mere aspect ratio: such pages
// keep the default resolution, like pages without resolution tags.
void ReadResolution(TIFF* tif, Frame& frame) {
  float x = 0.0f;
  float y = 0.0f;
  const bool hasX = TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) && UsableResolution(x);
  const bool hasY = TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) && UsableResolution(y);
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if ((!hasX && !hasY) || unit == RESUNIT_NONE) return;
  const float scale = unit == RESUNIT_CENTIMETER ? kCentimetresPerInch : 1.0f;
  frame.dpiX = (hasX ? x : y) * scale;
  frame.dpiY = (hasY ? y : x) * scale;
  frame.flags |= ImageFlagsHasRealDPI;
}

void ApplyEmbeddedProfile(TIFF* tif, Frame& frame) {
  std::uint32_t size = 0;
  void* profile = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &size, &profile) || profile == nullptr || size == 0) return;
  ApplyIccProfile(frame, std::span(static_cast<const std::uint8_t*>(profile), size));
}

}  // namespace

GpStatus DecodeTiffPage(TIFF* tif, std::span<const std::uint8_t> file, const DecodeOptions& options, Frame& frame,
                        PropertyStore& properties) {
  TiffPageInfo info;
  GpStatus status = ReadTiffPageInfo(tif, info);
  if (status != Ok) return status;
  TiffPixelPlan plan;
  status = PlanTiffPixels(tif, info, plan);
  if (status != Ok) return status;
  status = CheckTiffPageData(tif, info, file.size());
  if (status != Ok) return status;
  auto pixels = PixelBuffer::Allocate(plan.format, info.width, info.height);
  if (!pixels) return OutOfMemory;
  status = plan.rgbaFallback ? ReadRgbaRaster(tif, info, *pixels) : ReadConvertedRows(tif, info, plan, *pixels);
  if (status != Ok) return status;

  Frame decoded;
  decoded.pixels = std::move(*pixels);
  decoded.palette = std::move(plan.palette);
  decoded.paletteFlags = plan.paletteFlags;
  decoded.flags = plan.imageFlags;
  ReadResolution(tif, decoded);
  if (options.useEmbeddedColorManagement) ApplyEmbeddedProfile(tif, decoded);

  PropertyStore tags;
  // Damaged tags are skipped by the reader; the page stands without them.
  // The property reader knows classic directories only, so a BigTIFF page
  // has no property items.
  if (!TIFFIsBigTIFF(tif)) ReadTiffDirectoryProperties(file, TIFFCurrentDirOffset(tif), tags);
  // The profile item describes the pixels only while they are still in its
  // colour space: not once converted to sRGB, nor after CMYK became RGB.
  if (options.useEmbeddedColorManagement || (decoded.flags & ImageFlagsColorSpaceCMYK) != 0) {
    tags.Remove(PropertyTagICCProfile);
  }
  frame = std::move(decoded);
  properties = std::move(tags);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
