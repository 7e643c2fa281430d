#include "tiff_coded_rows.h"

#include <cstring>

#include "reserved_array.h"
#include "tiff_float_samples.h"
#include "tiff_lab.h"
#include "tiff_scanline_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

std::uint64_t InterleavedRowBytes(const TiffPageInfo& info) {
  return std::uint64_t{info.width} * info.samplesPerPixel * (info.bitsPerSample / 8);
}

void FlipSignBits(const std::uint8_t* in, std::uint64_t bytes, std::uint16_t bitsPerSample, std::uint8_t* out) {
  std::memcpy(out, in, bytes);
  if (bitsPerSample == 8) {
    for (std::uint64_t i = 0; i < bytes; ++i) out[i] ^= 0x80;
    return;
  }
  for (std::uint64_t i = 0; i + 1 < bytes; i += 2) {
    std::uint16_t value;
    std::memcpy(&value, out + i, sizeof value);
    value ^= 0x8000;
    std::memcpy(out + i, &value, sizeof value);
  }
}

TiffFloatLayout FloatLayoutOf(const TiffPageInfo& info) {
  TiffFloatLayout layout;
  layout.bytesPerSample = static_cast<std::uint16_t>(info.bitsPerSample / 8);
  layout.samplesPerPixel = info.samplesPerPixel;
  layout.channels = info.photometric == PHOTOMETRIC_RGB ? 3 : 1;
  layout.minIsWhite = info.photometric == PHOTOMETRIC_MINISWHITE;
  return layout;
}

std::optional<TiffFloatRange> StatedFloatRange(TIFF* tif) {
  double low = 0.0;
  double high = 0.0;
  if (!TIFFGetField(tif, TIFFTAG_SMINSAMPLEVALUE, &low) || !TIFFGetField(tif, TIFFTAG_SMAXSAMPLEVALUE, &high)) {
    return std::nullopt;
  }
  return UsableFloatRange(low, high);
}

}  // namespace

GpStatus ReadSignedRows(TIFF* tif, const TiffPageInfo& info, const TiffPixelPlan& plan, PixelBuffer& pixels) {
  const std::uint64_t rowBytes = InterleavedRowBytes(info);
  ReservedArray<std::uint8_t> flipped;
  if (!flipped.Allocate(rowBytes)) return OutOfMemory;
  return ReadTiffScanlines(tif, info, [&](std::uint32_t y, const std::uint8_t* samples) {
    FlipSignBits(samples, rowBytes, info.bitsPerSample, flipped.data());
    ConvertTiffRow(plan.row, flipped.data(), info.width, pixels.Row(y));
  });
}

GpStatus ReadFloatRows(TIFF* tif, const TiffPageInfo& info, PixelBuffer& pixels) {
  const TiffFloatLayout layout = FloatLayoutOf(info);
  std::optional<TiffFloatRange> range = StatedFloatRange(tif);
  if (!range) {
    TiffFloatRangeScan scan(layout);
    const GpStatus status = ReadTiffScanlines(
        tif, info, [&](std::uint32_t, const std::uint8_t* samples) { scan.Add(samples, info.width); });
    if (status != Ok) return status;
    range = scan.Result();
  }
  return ReadTiffScanlines(tif, info, [&](std::uint32_t y, const std::uint8_t* samples) {
    ConvertFloatRow(layout, *range, samples, info.width, pixels.Row(y));
  });
}

GpStatus ReadLabRows(TIFF* tif, const TiffPageInfo& info, PixelBuffer& pixels) {
  const TiffLabLayout layout{info.photometric, info.bitsPerSample, info.samplesPerPixel};
  const auto converter = TiffLabToSrgb::Create(layout);
  if (!converter) return OutOfMemory;
  ReservedArray<LabValue> line;
  if (!line.Allocate(info.width)) return OutOfMemory;
  return ReadTiffScanlines(tif, info, [&](std::uint32_t y, const std::uint8_t* samples) {
    converter->Convert(samples, info.width, line.data(), pixels.Row(y));
  });
}

}  // namespace pixavue::platform::gdiplus
