#pragma once
// Small files that declare large images, for the hostile-input tests of the
// JPEG, PNG and icon decoders and for their benchmark: JPEG headers with no
// scan data or hundreds of empty scans, PNG files whose zlib stream of zero
// rows inflates to a large image, chunk lengths far past the end of the
// file, and icons wrapping such PNG files.

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "jpeg_memory_writer.h"

namespace pixavue::platform::test {

// ---- JPEG ----

enum class JpegScans {
  Baseline,          // one interleaved scan
  Progressive,       // libjpeg's progression, the first scan the DC of all components
  OneComponentEach,  // sequential, a scan for each component
};

// A 16 x 16 grey-blue JPEG with 2 x 2 chroma, written by libjpeg.
inline std::vector<std::uint8_t> SmallJpeg(JpegScans scans) {
  JpegMemoryWriter writer(16, 16, 3, JCS_RGB);
  jpeg_compress_struct& cinfo = writer.cinfo();
  static const jpeg_scan_info kOneEach[3] = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
  if (scans == JpegScans::Progressive) jpeg_simple_progression(&cinfo);
  if (scans == JpegScans::OneComponentEach) {
    cinfo.scan_info = kOneEach;
    cinfo.num_scans = 3;
  }
  writer.Start();
  std::array<JSAMPLE, 16 * 3> row{};
  for (std::size_t i = 0; i < row.size(); i += 3) row[i] = 60, row[i + 1] = 90, row[i + 2] = 160;
  while (writer.WantsRow()) writer.WriteRow(row.data());
  return writer.Finish();
}

// Where the first marker FF `first`..`last` starts, or the file's size.
inline std::size_t FindJpegMarker(const std::vector<std::uint8_t>& file, std::uint8_t first, std::uint8_t last) {
  for (std::size_t i = 2; i + 1 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] >= first && file[i + 1] <= last) return i;
  }
  return file.size();
}

// The tables and frame header of a small JPEG made to declare `width` x
// `height`, then its first scan header (for a progressive file the DC scan
// of all three components) `scans` times with no data, then EOI: libjpeg
// decodes every scan over the whole image from nothing.
inline std::vector<std::uint8_t> LargeJpegHeader(std::uint16_t width, std::uint16_t height, JpegScans kind,
                                                 int scans = 1) {
  std::vector<std::uint8_t> small = SmallJpeg(kind);
  const std::size_t frame = FindJpegMarker(small, 0xC0, 0xC2);
  const std::size_t scan = FindJpegMarker(small, 0xDA, 0xDA);
  if (frame + 9 > small.size() || scan + 4 > small.size()) return {};
  small[frame + 5] = static_cast<std::uint8_t>(height >> 8);
  small[frame + 6] = static_cast<std::uint8_t>(height);
  small[frame + 7] = static_cast<std::uint8_t>(width >> 8);
  small[frame + 8] = static_cast<std::uint8_t>(width);
  const std::size_t scanHeaderBytes = 2 + ((std::size_t{small[scan + 2]} << 8) | small[scan + 3]);
  std::vector<std::uint8_t> file(small.begin(), small.begin() + static_cast<std::ptrdiff_t>(scan));
  for (int i = 0; i < scans; ++i) {
    file.insert(file.end(), small.begin() + static_cast<std::ptrdiff_t>(scan),
                small.begin() + static_cast<std::ptrdiff_t>(scan + scanHeaderBytes));
  }
  file.insert(file.end(), {0xFF, 0xD9});
  return file;
}

// ---- PNG ----

inline void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutPngChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const auto crc = crc32(0, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
  PutBigEndian32(out, static_cast<std::uint32_t>(crc));
}

struct ZeroPngSpec final {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  std::uint8_t depth = 8;
  std::uint8_t colourType = 6;  // RGBA
  bool interlaced = false;
  bool wholeData = true;  // false: the IDAT holds one zero byte and ends early
};

inline std::uint64_t PngChannels(std::uint8_t colourType) {
  switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}

// Bytes of the filtered image before compression: a filter byte and the
// samples of each row, of each interlace pass.
inline std::uint64_t PngRawBytes(const ZeroPngSpec& spec) {
  const std::uint64_t bitsPerPixel = PngChannels(spec.colourType) * spec.depth;
  const auto passBytes = [&](std::uint64_t width, std::uint64_t height) {
    return width == 0 || height == 0 ? 0 : height * (1 + (width * bitsPerPixel + 7) / 8);
  };
  if (!spec.interlaced) return passBytes(spec.width, spec.height);
  static constexpr std::array<std::array<std::uint32_t, 4>, 7> kAdam7{
      {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
  std::uint64_t total = 0;
  for (const auto& [x0, y0, dx, dy] : kAdam7) {
    const std::uint64_t width = spec.width > x0 ? (spec.width - x0 + dx - 1) / dx : 0;
    const std::uint64_t height = spec.height > y0 ? (spec.height - y0 + dy - 1) / dy : 0;
    total += passBytes(width, height);
  }
  return total;
}

// A zlib stream of `count` bytes of `value`, compressed a block at a time.
inline std::vector<std::uint8_t> DeflatedRepeats(std::uint64_t count, std::uint8_t value = 0) {
  z_stream stream{};
  deflateInit(&stream, Z_BEST_COMPRESSION);
  const std::vector<std::uint8_t> kZeros(1 << 20, value);
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> piece(1 << 16);
  std::uint64_t left = count;
  int flush = Z_NO_FLUSH;
  do {
    const std::uint64_t take = left < kZeros.size() ? left : kZeros.size();
    stream.next_in = const_cast<Bytef*>(kZeros.data());
    stream.avail_in = static_cast<uInt>(take);
    left -= take;
    flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = piece.data();
      stream.avail_out = static_cast<uInt>(piece.size());
      deflate(&stream, flush);
      out.insert(out.end(), piece.data(), piece.data() + (piece.size() - stream.avail_out));
    } while (stream.avail_out == 0);
  } while (flush != Z_FINISH);
  deflateEnd(&stream);
  return out;
}

inline std::vector<std::uint8_t> PngSignature() { return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}; }

inline std::vector<std::uint8_t> PngHeaderChunkData(const ZeroPngSpec& spec) {
  std::vector<std::uint8_t> data;
  PutBigEndian32(data, spec.width);
  PutBigEndian32(data, spec.height);
  data.insert(data.end(), {spec.depth, spec.colourType, 0, 0, static_cast<std::uint8_t>(spec.interlaced ? 1 : 0)});
  return data;
}

// A PNG of all-zero samples (palette files get a two-colour palette).
inline std::vector<std::uint8_t> ZeroPng(const ZeroPngSpec& spec) {
  std::vector<std::uint8_t> file = PngSignature();
  PutPngChunk(file, "IHDR", PngHeaderChunkData(spec));
  if (spec.colourType == 3) PutPngChunk(file, "PLTE", {10, 20, 30, 200, 100, 50});
  PutPngChunk(file, "IDAT", DeflatedRepeats(spec.wholeData ? PngRawBytes(spec) : 1));
  PutPngChunk(file, "IEND", {});
  return file;
}

// A PNG of the given filtered rows (`raw`: a filter byte before each row).
inline std::vector<std::uint8_t> PngOfRows(const ZeroPngSpec& spec, const std::vector<std::uint8_t>& raw,
                                           const std::vector<std::uint8_t>& palette = {},
                                           const std::vector<std::uint8_t>& transparency = {}) {
  std::vector<std::uint8_t> file = PngSignature();
  PutPngChunk(file, "IHDR", PngHeaderChunkData(spec));
  if (!palette.empty()) PutPngChunk(file, "PLTE", palette);
  if (!transparency.empty()) PutPngChunk(file, "tRNS", transparency);
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> compressed(size);
  compress(compressed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  compressed.resize(size);
  PutPngChunk(file, "IDAT", compressed);
  PutPngChunk(file, "IEND", {});
  return file;
}

// A 1 x 1 grey PNG with `count` zTXt chunks, each `textBytes` of text that
// compress to a few kilobytes.
inline std::vector<std::uint8_t> PngWithTextBombs(int count, std::uint64_t textBytes) {
  std::vector<std::uint8_t> text{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
  const std::vector<std::uint8_t> compressed = DeflatedRepeats(textBytes, 'a');
  text.insert(text.end(), compressed.begin(), compressed.end());
  ZeroPngSpec spec;
  spec.colourType = 0;
  std::vector<std::uint8_t> file = PngSignature();
  PutPngChunk(file, "IHDR", PngHeaderChunkData(spec));
  for (int i = 0; i < count; ++i) PutPngChunk(file, "zTXt", text);
  PutPngChunk(file, "IDAT", DeflatedRepeats(2));
  PutPngChunk(file, "IEND", {});
  return file;
}

// A 1 x 1 grey PNG whose next chunk, of `type`, declares `length` bytes of
// which the file holds only a hundred: 141 bytes in all.
inline std::vector<std::uint8_t> PngWithOverlongChunk(const char* type, std::uint32_t length) {
  std::vector<std::uint8_t> file = PngSignature();
  ZeroPngSpec spec;
  spec.colourType = 0;
  PutPngChunk(file, "IHDR", PngHeaderChunkData(spec));
  PutBigEndian32(file, length);
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), 100, 'a');
  return file;
}

// ---- ICO ----

// An icon file of one entry holding `png`.
inline std::vector<std::uint8_t> IconOfPng(const std::vector<std::uint8_t>& png) {
  std::vector<std::uint8_t> file{0, 0, 1, 0, 1, 0};
  const auto size = static_cast<std::uint32_t>(png.size());
  file.insert(file.end(), {0, 0, 0, 0, 1, 0, 32, 0});
  for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<std::uint8_t>(size >> shift));
  file.insert(file.end(), {22, 0, 0, 0});
  file.insert(file.end(), png.begin(), png.end());
  return file;
}

}  // namespace pixavue::platform::test
