#include "tiff_scanline_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "../image_limits.h"
#include "../load_budget.h"

namespace pixavue::platform::gdiplus {
namespace {

// A band or chunk never needs more than the largest image's pixels at
// 8 bytes each.
constexpr std::uint64_t kMaxBufferBytes = std::uint64_t{1} << 31;

// Working memory for decoded chunks, reserved against the load's budget
// before it is allocated. Some codecs report a whole chunk yet fill less of
// it (JPEG data narrower than its page), so every chunk is cleared before
// it is decoded and such parts read as zero.
class ByteBuffer final {
 public:
  bool Allocate(std::uint64_t bytes) {
    if (bytes == 0 || bytes > kMaxBufferBytes) return false;
    auto reservation = BudgetReservation::Take(bytes);
    if (!reservation) return false;
    data_.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (!data_) return false;
    size_ = bytes;
    reservation_ = std::move(*reservation);
    return true;
  }
  std::uint8_t* data() const { return data_.get(); }
  tmsize_t size() const { return static_cast<tmsize_t>(size_); }
  void Clear() const { std::memset(data_.get(), 0, static_cast<std::size_t>(size_)); }

 private:
  BudgetReservation reservation_;  // declared first: given back after the bytes are freed
  std::unique_ptr<std::uint8_t[]> data_;
  std::uint64_t size_ = 0;
};

std::uint64_t RowBytes(std::uint64_t pixels, std::uint64_t bitsPerPixel) { return (pixels * bitsPerPixel + 7) / 8; }

// Strips of interleaved samples are read a row at a time, so a page stored
// as one huge strip needs one row of working memory. Tiles and separate
// planes go through bands as tall as a strip or a tile: every chunk
// (strip or tile, of one plane when planes are separate) of a band is
// decoded and placed in the band before its rows go to the sink; a tile as
// wide as the page hands its rows over directly.
class ScanlineReader final {
 public:
  ScanlineReader(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink)
      : tif_(tif),
        info_(info),
        sink_(sink),
        shape_(TiffChunkShapeOf(info)),
        rowBytes_(RowBytes(info.width, std::uint64_t{info.bitsPerSample} * info.samplesPerPixel)),
        chunkRowBytes_(
            RowBytes(shape_.width, std::uint64_t{info.bitsPerSample} * (shape_.separate ? 1 : info.samplesPerPixel))) {}

  GpStatus Read() {
    if (ReadsRows()) return ReadRows();
    const GpStatus status = AllocateBuffers();
    if (status != Ok) return status;
    return ForEachTiffBand(
        info_, shape_,
        [this](std::uint32_t x0, std::uint32_t top, std::uint16_t plane, std::uint32_t rows) {
          return ReadChunk(x0, top, plane, rows);
        },
        [this](std::uint32_t top, std::uint32_t rows) {
          const ByteBuffer& rowsFrom = BandIsChunk() ? chunk_ : band_;
          const std::uint64_t stride = BandIsChunk() ? chunkRowBytes_ : rowBytes_;
          for (std::uint32_t r = 0; r < rows; ++r) sink_(top + r, rowsFrom.data() + r * stride);
        });
  }

 private:
  // Strips of one plane are read row by row, never whole.
  bool ReadsRows() const { return !info_.tiled && !shape_.separate; }
  // One tile across a page of interleaved samples already holds whole rows.
  bool BandIsChunk() const { return info_.tiled && !shape_.separate && shape_.width >= info_.width; }

  GpStatus ReadRows() {
    const tmsize_t scanline = TIFFScanlineSize(tif_);
    if (scanline <= 0) return InvalidParameter;
    if (!chunk_.Allocate(std::max<std::uint64_t>(static_cast<std::uint64_t>(scanline), rowBytes_))) {
      return OutOfMemory;
    }
    for (std::uint32_t y = 0; y < info_.height; ++y) {
      // Work past the allowance means data far beyond what the page shows.
      if (!ChargeLoadWork(static_cast<std::uint64_t>(scanline))) return InvalidParameter;
      chunk_.Clear();
      if (TIFFReadScanline(tif_, chunk_.data(), y, 0) < 0) return InvalidParameter;
      sink_(y, chunk_.data());
    }
    return Ok;
  }

  GpStatus AllocateBuffers() {
    if (info_.tiled && CheckImageSize(info_.tileWidth, info_.tileLength) != Ok) return OutOfMemory;
    const tmsize_t libtiffChunk = info_.tiled ? TIFFTileSize(tif_) : TIFFStripSize(tif_);
    if (libtiffChunk <= 0) return InvalidParameter;
    if (!chunk_.Allocate(chunkRowBytes_ * shape_.length)) return OutOfMemory;
    if (BandIsChunk()) return Ok;
    const std::uint64_t bandRows = std::min(shape_.length, info_.height);
    return band_.Allocate(rowBytes_ * bandRows) ? Ok : OutOfMemory;
  }

  GpStatus ReadChunk(std::uint32_t x0, std::uint32_t y0, std::uint16_t plane, std::uint32_t rows) {
    if (!ChargeLoadWork(chunkRowBytes_ * rows)) return InvalidParameter;
    const ByteBuffer& target = chunk_;
    target.Clear();
    tmsize_t decoded = -1;
    if (info_.tiled) {
      const std::uint32_t tile = TIFFComputeTile(tif_, x0, y0, 0, plane);
      if (tile >= TIFFNumberOfTiles(tif_)) return InvalidParameter;
      decoded = TIFFReadEncodedTile(tif_, tile, target.data(), target.size());
    } else {
      const std::uint32_t strip = TIFFComputeStrip(tif_, y0, plane);
      if (strip >= TIFFNumberOfStrips(tif_)) return InvalidParameter;
      decoded = TIFFReadEncodedStrip(tif_, strip, target.data(), target.size());
    }
    if (decoded < 0 || static_cast<std::uint64_t>(decoded) < chunkRowBytes_ * rows) return InvalidParameter;
    if (!BandIsChunk()) Place(x0, plane, rows);
    return Ok;
  }

  void Place(std::uint32_t x0, std::uint16_t plane, std::uint32_t rows) {
    const std::uint32_t columns = std::min(shape_.width, info_.width - x0);
    if (!shape_.separate) {
      const std::uint64_t offset = std::uint64_t{x0} * info_.bitsPerSample * info_.samplesPerPixel / 8;
      const std::uint64_t bytes = std::min(chunkRowBytes_, rowBytes_ - offset);
      for (std::uint32_t r = 0; r < rows; ++r) {
        std::memcpy(band_.data() + r * rowBytes_ + offset, chunk_.data() + r * chunkRowBytes_, bytes);
      }
      return;
    }
    const std::size_t sampleBytes = info_.bitsPerSample / 8;
    for (std::uint32_t r = 0; r < rows; ++r) {
      std::uint8_t* out = band_.data() + r * rowBytes_ + (std::size_t{x0} * info_.samplesPerPixel + plane) * sampleBytes;
      const std::uint8_t* in = chunk_.data() + r * chunkRowBytes_;
      for (std::uint32_t x = 0; x < columns; ++x, out += info_.samplesPerPixel * sampleBytes, in += sampleBytes) {
        std::memcpy(out, in, sampleBytes);
      }
    }
  }

  TIFF* tif_;
  const TiffPageInfo& info_;
  const TiffScanlineSink& sink_;
  TiffChunkShape shape_;
  std::uint64_t rowBytes_;
  std::uint64_t chunkRowBytes_;
  ByteBuffer band_;
  ByteBuffer chunk_;
};

}  // namespace

TiffChunkShape TiffChunkShapeOf(const TiffPageInfo& info) {
  TiffChunkShape shape;
  shape.separate = info.planarConfig == PLANARCONFIG_SEPARATE && info.samplesPerPixel > 1;
  shape.width = info.tiled ? info.tileWidth : info.width;
  shape.length = info.tiled ? info.tileLength : std::min(info.rowsPerStrip, info.height);
  shape.planes = shape.separate ? info.samplesPerPixel : 1;
  return shape;
}

GpStatus ForEachTiffBand(const TiffPageInfo& info, const TiffChunkShape& shape, const TiffChunkVisitor& chunk,
                         const TiffBandVisitor& band) {
  for (std::uint64_t y0 = 0; y0 < info.height; y0 += shape.length) {
    const auto top = static_cast<std::uint32_t>(y0);
    const auto rows = static_cast<std::uint32_t>(std::min<std::uint64_t>(shape.length, info.height - y0));
    for (std::uint16_t plane = 0; plane < shape.planes; ++plane) {
      for (std::uint64_t x0 = 0; x0 < info.width; x0 += shape.width) {
        const GpStatus status = chunk(static_cast<std::uint32_t>(x0), top, plane, rows);
        if (status != Ok) return status;
      }
    }
    band(top, rows);
  }
  return Ok;
}

GpStatus ReadTiffScanlines(TIFF* tif, const TiffPageInfo& info, const TiffScanlineSink& sink) {
  return ScanlineReader(tif, info, sink).Read();
}

}  // namespace pixavue::platform::gdiplus
