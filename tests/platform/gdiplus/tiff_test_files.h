#pragma once
// TIFF files for the TIFF suites: pages written with libtiff from sample
// arrays (strips or tiles, either planar configuration, any compression),
// hand-laid files with chosen tag values for the hostile cases, and the
// rows of a decoded frame without their padding.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <tiffio.h>

#include "codec.h"
#include "codecs/tiff_io.h"

namespace pixavue::platform::test {

struct TiffPageSpec {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  std::uint16_t bitsPerSample = 8;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint32_t rowsPerStrip = 0;  // 0: the whole page in one strip
  std::uint32_t tileWidth = 0;     // tiles when both are set
  std::uint32_t tileLength = 0;
  std::vector<std::uint16_t> extraSamples;
  std::uint16_t ycbcrSubsampling = 0;    // both directions, written when set
  std::vector<std::uint16_t> colourMap;  // all red values, then green, then blue
  float xResolution = 0.0f;              // written when > 0
  float yResolution = 0.0f;
  std::uint16_t resolutionUnit = RESUNIT_INCH;
  std::vector<std::uint8_t> iccProfile;  // written when not empty
  // Contiguous pages: rows of interleaved samples, each row padded to a
  // byte. Separate planes: every plane's rows, one plane after the other.
  // 16-bit samples in the machine's byte order.
  std::vector<std::uint8_t> samples;
};

inline std::uint64_t TiffRowBytes(const TiffPageSpec& page, bool onePlane) {
  const std::uint32_t samples = onePlane ? 1 : page.samplesPerPixel;
  return (std::uint64_t{page.width} * page.bitsPerSample * samples + 7) / 8;
}

namespace detail {

inline bool Separate(const TiffPageSpec& page) {
  return page.planar == PLANARCONFIG_SEPARATE && page.samplesPerPixel > 1;
}

inline void WriteTags(TIFF* tif, const TiffPageSpec& page) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, page.planar);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
  if (page.compression == COMPRESSION_JPEG && page.photometric == PHOTOMETRIC_YCBCR) {
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
  }
  if (page.ycbcrSubsampling != 0) {
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, page.ycbcrSubsampling, page.ycbcrSubsampling);
  }
  if (!page.extraSamples.empty()) {
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, static_cast<std::uint16_t>(page.extraSamples.size()),
                 page.extraSamples.data());
  }
  if (!page.colourMap.empty()) {
    const std::size_t n = page.colourMap.size() / 3;
    TIFFSetField(tif, TIFFTAG_COLORMAP, page.colourMap.data(), page.colourMap.data() + n,
                 page.colourMap.data() + 2 * n);
  }
  if (page.xResolution > 0) {
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, page.xResolution);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, page.yResolution);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, page.resolutionUnit);
  }
  if (!page.iccProfile.empty()) {
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(page.iccProfile.size()), page.iccProfile.data());
  }
  if (page.tileWidth != 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, page.tileWidth);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, page.tileLength);
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip == 0 ? page.height : page.rowsPerStrip);
  }
}

inline bool WriteStrips(TIFF* tif, const TiffPageSpec& page) {
  const std::uint16_t planes = Separate(page) ? page.samplesPerPixel : 1;
  const std::uint64_t rowBytes = TiffRowBytes(page, Separate(page));
  std::vector<std::uint8_t> row(rowBytes);
  for (std::uint16_t plane = 0; plane < planes; ++plane) {
    for (std::uint32_t y = 0; y < page.height; ++y) {
      std::memcpy(row.data(), page.samples.data() + (std::uint64_t{plane} * page.height + y) * rowBytes, rowBytes);
      if (TIFFWriteScanline(tif, row.data(), y, plane) < 0) return false;
    }
  }
  return true;
}

// Tiles are cut from the sample rows; parts past the page stay zero.
inline bool WriteTiles(TIFF* tif, const TiffPageSpec& page) {
  const bool separate = Separate(page);
  const std::uint16_t planes = separate ? page.samplesPerPixel : 1;
  const std::uint64_t rowBytes = TiffRowBytes(page, separate);
  const std::uint64_t bitsPerPixel = std::uint64_t{page.bitsPerSample} * (separate ? 1 : page.samplesPerPixel);
  const std::uint64_t tileRowBytes = page.tileWidth * bitsPerPixel / 8;
  std::vector<std::uint8_t> tile(TIFFTileSize(tif));
  for (std::uint16_t plane = 0; plane < planes; ++plane) {
    for (std::uint32_t y0 = 0; y0 < page.height; y0 += page.tileLength) {
      for (std::uint32_t x0 = 0; x0 < page.width; x0 += page.tileWidth) {
        std::fill(tile.begin(), tile.end(), 0);
        const std::uint64_t offset = x0 * bitsPerPixel / 8;
        const std::uint64_t bytes = std::min(tileRowBytes, rowBytes - offset);
        for (std::uint32_t r = 0; r < page.tileLength && y0 + r < page.height; ++r) {
          const std::uint64_t source = (std::uint64_t{plane} * page.height + y0 + r) * rowBytes + offset;
          std::memcpy(tile.data() + r * tileRowBytes, page.samples.data() + source, bytes);
        }
        const std::uint32_t index = TIFFComputeTile(tif, x0, y0, 0, plane);
        if (TIFFWriteEncodedTile(tif, index, tile.data(), static_cast<tmsize_t>(tile.size())) < 0) return false;
      }
    }
  }
  return true;
}

}  // namespace detail

// A TIFF file with these pages, or an empty vector when libtiff refused one.
inline std::vector<std::uint8_t> WriteTiffPages(const std::vector<TiffPageSpec>& pages) {
  gdiplus::TiffMemorySink sink;
  {
    gdiplus::TiffHandle tif = gdiplus::OpenTiffWriter(sink);
    if (!tif) return {};
    for (const TiffPageSpec& page : pages) {
      detail::WriteTags(tif.get(), page);
      const bool written = page.tileWidth != 0 ? detail::WriteTiles(tif.get(), page) : detail::WriteStrips(tif.get(), page);
      if (!written || !TIFFWriteDirectory(tif.get())) return {};
    }
  }
  if (sink.failed) return {};
  return sink.bytes;
}

inline std::vector<std::uint8_t> WriteTiffPage(const TiffPageSpec& page) { return WriteTiffPages({page}); }

inline gdiplus::EncodedBytes Shared(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

// The rows of a frame without their padding.
inline std::vector<std::uint8_t> FrameBytes(const gdiplus::Frame& frame) {
  const auto& pixels = frame.pixels;
  const std::uint64_t rowBytes = (std::uint64_t{pixels.width()} * GetPixelFormatSize(pixels.format()) + 7) / 8;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    bytes.insert(bytes.end(), pixels.Row(y), pixels.Row(y) + rowBytes);
  }
  return bytes;
}

// A little-endian classic TIFF laid out by hand: header, `data` at offset
// 8, then one directory with `entries` (tags in the order given) whose
// next-directory offset is `nextDirectory`.
struct RawTiffEntry {
  std::uint16_t tag;
  std::uint16_t type;  // TIFF_SHORT or TIFF_LONG
  std::vector<std::uint32_t> values;
};

inline std::vector<std::uint8_t> RawTiff(const std::vector<std::uint8_t>& data, const std::vector<RawTiffEntry>& entries,
                                         std::uint32_t nextDirectory = 0) {
  std::vector<std::uint8_t> out{'I', 'I', 42, 0, 0, 0, 0, 0};
  auto put = [](std::vector<std::uint8_t>& to, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  out.insert(out.end(), data.begin(), data.end());
  if (out.size() % 2 != 0) out.push_back(0);
  const auto ifd = static_cast<std::uint32_t>(out.size());
  std::memcpy(out.data() + 4, &ifd, 4);
  std::vector<std::uint8_t> outOfLine;
  const std::uint32_t outOfLineStart = ifd + 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
  put(out, entries.size(), 2);
  for (const RawTiffEntry& entry : entries) {
    const int size = entry.type == TIFF_SHORT ? 2 : 4;
    std::vector<std::uint8_t> value;
    for (std::uint32_t v : entry.values) put(value, v, size);
    put(out, entry.tag, 2);
    put(out, entry.type, 2);
    put(out, entry.values.size(), 4);
    if (value.size() <= 4) {
      value.resize(4, 0);
      out.insert(out.end(), value.begin(), value.end());
    } else {
      put(out, outOfLineStart + outOfLine.size(), 4);
      outOfLine.insert(outOfLine.end(), value.begin(), value.end());
    }
  }
  put(out, nextDirectory, 4);
  out.insert(out.end(), outOfLine.begin(), outOfLine.end());
  return out;
}

}  // namespace pixavue::platform::test
