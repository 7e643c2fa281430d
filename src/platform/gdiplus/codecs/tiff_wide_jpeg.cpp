#include "tiff_wide_jpeg.h"

#include <algorithm>
#include <span>

#include "jpeg_wide_decoder.h"
#include "reserved_array.h"

namespace pixavue::platform::gdiplus {
namespace {

// Bands as tall as a strip or a tile, filled chunk by chunk (of one plane
// when planes are separate) before their rows go to the sink.
class WideJpegPageReader final {
 public:
  WideJpegPageReader(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink)
      : tif_(tif), info_(info), sink_(sink), shape_(TiffChunkShapeOf(info)) {}

  GpStatus Read() {
    std::uint32_t count = 0;
    void* tables = nullptr;
    if (TIFFGetField(tif_, TIFFTAG_JPEGTABLES, &count, &tables) && tables != nullptr) {
      tables_ = std::span(static_cast<const std::uint8_t*>(tables), count);
    }
    const std::uint64_t rowSamples = std::uint64_t{info_.width} * info_.samplesPerPixel;
    const std::uint64_t chunkSamples = std::uint64_t{shape_.width} * (shape_.separate ? 1 : info_.samplesPerPixel);
    if (!band_.Allocate(rowSamples * std::min(shape_.length, info_.height)) || !line_.Allocate(chunkSamples)) {
      return OutOfMemory;
    }
    return ForEachTiffBand(
        info_, shape_,
        [this](std::uint32_t x0, std::uint32_t top, std::uint16_t plane, std::uint32_t rows) {
          return ReadChunk(x0, top, plane, rows);
        },
        [&](std::uint32_t top, std::uint32_t rows) {
          for (std::uint32_t r = 0; r < rows; ++r) {
            sink_(top + r, reinterpret_cast<const std::uint8_t*>(band_.data() + r * rowSamples));
          }
        });
  }

 private:
  GpStatus ReadRaw(std::uint32_t x0, std::uint32_t y0, std::uint16_t plane) {
    const std::uint32_t chunk =
        info_.tiled ? TIFFComputeTile(tif_, x0, y0, 0, plane) : TIFFComputeStrip(tif_, y0, plane);
    if (chunk >= (info_.tiled ? TIFFNumberOfTiles(tif_) : TIFFNumberOfStrips(tif_))) return InvalidParameter;
    const std::uint64_t bytes = TIFFGetStrileByteCount(tif_, chunk);
    if (bytes == 0) return InvalidParameter;
    if (!raw_.Allocate(bytes)) return OutOfMemory;
    const auto size = static_cast<tmsize_t>(bytes);
    const tmsize_t read = info_.tiled ? TIFFReadRawTile(tif_, chunk, raw_.data(), size)
                                      : TIFFReadRawStrip(tif_, chunk, raw_.data(), size);
    return read == size ? Ok : InvalidParameter;
  }

  GpStatus ReadChunk(std::uint32_t x0, std::uint32_t y0, std::uint16_t plane, std::uint32_t rows) {
    GpStatus status = ReadRaw(x0, y0, plane);
    if (status != Ok) return status;
    const std::uint32_t columns = std::min(shape_.width, info_.width - x0);
    WideJpegExpectation expected;
    expected.minWidth = columns;
    expected.maxWidth = shape_.width;
    expected.minHeight = rows;
    expected.maxHeight = shape_.length;
    expected.components = shape_.separate ? 1 : info_.samplesPerPixel;
    expected.maxPrecision = static_cast<std::uint8_t>(info_.bitsPerSample);
    WideJpegImage image;
    status = DecodeWideJpeg(tables_, std::span(raw_.data(), raw_.size()), expected, image);
    raw_.Allocate(0);  // the coded bytes are no longer needed
    if (status != Ok) return status;
    const std::size_t spp = info_.samplesPerPixel;
    for (std::uint32_t r = 0; r < rows; ++r) {
      std::uint16_t* out = band_.data() + (std::size_t{r} * info_.width + x0) * spp;
      if (!shape_.separate) {
        image.ReadRow(r, columns, info_.ycbcrJpeg, out);
        continue;
      }
      image.ReadRow(r, columns, false, line_.data());
      for (std::uint32_t x = 0; x < columns; ++x) out[x * spp + plane] = line_.data()[x];
    }
    return Ok;
  }

  TIFF* tif_;
  const TiffPageInfo& info_;
  const TiffScanlineSink& sink_;
  TiffChunkShape shape_;
  std::span<const std::uint8_t> tables_;
  ReservedArray<std::uint16_t> band_;
  ReservedArray<std::uint16_t> line_;
  ReservedArray<std::uint8_t> raw_;
};

}  // namespace

GpStatus ReadWideJpegRows(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink) {
  return WideJpegPageReader(tif, info, sink).Read();
}

}  // namespace pixavue::platform::gdiplus
