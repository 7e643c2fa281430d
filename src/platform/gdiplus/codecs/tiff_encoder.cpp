// TIFF encoding of the active frame as a one-page file: uncompressed, LZW
// (the default) or, for 1-bit pages, CCITT RLE, Group 3 or Group 4; the
// depth is the frame's own unless EncoderColorDepth asks for another.

#include <algorithm>
#include <cmath>
#include <memory>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "../codec.h"
#include "tiff_encode_layout.h"
#include "tiff_io.h"

namespace pixavue::platform::gdiplus {
namespace {

// Strips of about this many bytes keep memory small and reading random.
constexpr std::uint64_t kStripBytes = 64 * 1024;

struct TiffEncodeSettings final {
  std::uint16_t compression = COMPRESSION_LZW;
  std::uint32_t depth = 24;
};

// The value of a parameter that must be one LONG, or nullptr when absent;
// `valid` is false for any other shape.
const std::uint32_t* SingleLong(const EncoderParameters* params, const GUID& guid, bool& valid) {
  const EncoderParameter* parameter = FindEncoderParameter(params, guid);
  if (parameter == nullptr) return nullptr;
  valid = parameter->Type == EncoderParameterValueTypeLong && parameter->NumberOfValues == 1 &&
          parameter->Value != nullptr;
  return valid ? static_cast<const std::uint32_t*>(parameter->Value) : nullptr;
}

std::uint32_t OwnDepth(PixelFormat format) {
  switch (format) {
    case PixelFormat1bppIndexed:
      return 1;
    case PixelFormat4bppIndexed:
      return 4;
    case PixelFormat8bppIndexed:
      return 8;
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
      return 32;
    case PixelFormat48bppRGB:
      return 48;
    case PixelFormat64bppARGB:
    case PixelFormat64bppPARGB:
      return 64;
    default:
      return 24;  // 16-bit formats, 24bppRGB, 32bppRGB, CMYK
  }
}

bool CompressionFromValue(std::uint32_t value, std::uint16_t& compression) {
  switch (value) {
    case EncoderValueCompressionLZW:
      compression = COMPRESSION_LZW;
      return true;
    case EncoderValueCompressionCCITT3:
      compression = COMPRESSION_CCITTFAX3;
      return true;
    case EncoderValueCompressionCCITT4:
      compression = COMPRESSION_CCITTFAX4;
      return true;
    case EncoderValueCompressionRle:
      compression = COMPRESSION_CCITTRLE;
      return true;
    case EncoderValueCompressionNone:
      compression = COMPRESSION_NONE;
      return true;
    default:
      return false;
  }
}

GpStatus ReadSettings(const EncoderParameters* params, PixelFormat format, TiffEncodeSettings& settings) {
  bool valid = true;
  settings.depth = OwnDepth(format);
  if (const std::uint32_t* depth = SingleLong(params, EncoderColorDepth, valid)) {
    if (*depth != 1 && *depth != 4 && *depth != 8 && *depth != 24 && *depth != 32) return InvalidParameter;
    settings.depth = *depth;
  }
  if (!valid) return InvalidParameter;
  if (const std::uint32_t* compression = SingleLong(params, EncoderCompression, valid)) {
    if (!CompressionFromValue(*compression, settings.compression)) return InvalidParameter;
  }
  if (!valid) return InvalidParameter;
  const bool fax = settings.compression == COMPRESSION_CCITTFAX3 || settings.compression == COMPRESSION_CCITTFAX4 ||
                   settings.compression == COMPRESSION_CCITTRLE;
  return fax && settings.depth != 1 ? InvalidParameter : Ok;
}

float Dpi(float value) { return std::isfinite(value) && value > 0.0f ? value : kDefaultDpi; }

bool WriteTags(TIFF* tif, const Frame& frame, const TiffEncodeLayout& layout, std::uint16_t compression,
               std::uint32_t rowsPerStrip) {
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, frame.pixels.width()) &&
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, frame.pixels.height()) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample) &&
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, compression) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) &&
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, Dpi(frame.dpiX)) &&
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, Dpi(frame.dpiY)) &&
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  if (ok && layout.unassociatedAlpha) {
    const std::uint16_t kind = EXTRASAMPLE_UNASSALPHA;
    ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
  }
  if (ok && !layout.colourMap.empty()) {
    const std::size_t entries = layout.colourMap.size();
    std::vector<std::uint16_t> map(3 * entries);
    for (std::size_t i = 0; i < entries; ++i) {
      const ARGB c = layout.colourMap[i];
      map[i] = static_cast<std::uint16_t>(((c >> 16) & 0xFF) * 257);
      map[entries + i] = static_cast<std::uint16_t>(((c >> 8) & 0xFF) * 257);
      map[2 * entries + i] = static_cast<std::uint16_t>((c & 0xFF) * 257);
    }
    ok = TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + entries, map.data() + 2 * entries);
  }
  return ok;
}

bool WriteStrips(TIFF* tif, const Frame& frame, const TiffEncodeLayout& layout, std::uint32_t rowsPerStrip) {
  std::vector<std::uint8_t> strip(layout.rowBytes * rowsPerStrip);
  const std::uint32_t height = frame.pixels.height();
  for (std::uint32_t y0 = 0, index = 0; y0 < height; y0 += rowsPerStrip, ++index) {
    const std::uint32_t rows = std::min(rowsPerStrip, height - y0);
    for (std::uint32_t r = 0; r < rows; ++r) layout.packRow(y0 + r, strip.data() + r * layout.rowBytes);
    const auto bytes = static_cast<tmsize_t>(layout.rowBytes * rows);
    if (TIFFWriteEncodedStrip(tif, index, strip.data(), bytes) != bytes) return false;
  }
  return true;
}

}  // namespace

GpStatus EncodeTiff(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out) {
  const Frame& frame = source.frame;
  TiffEncodeSettings settings;
  GpStatus status = ReadSettings(params, frame.pixels.format(), settings);
  if (status != Ok) return status;
  TiffEncodeLayout layout;
  status = PlanTiffEncoding(frame, settings.depth, layout);
  if (status != Ok) return status;
  const auto rowsPerStrip = static_cast<std::uint32_t>(
      std::clamp<std::uint64_t>(kStripBytes / std::max<std::uint64_t>(layout.rowBytes, 1), 1, frame.pixels.height()));

  TiffMemorySink sink;
  {
    TiffHandle tif = OpenTiffWriter(sink);
    if (!tif) return GenericError;
    if (!WriteTags(tif.get(), frame, layout, settings.compression, rowsPerStrip) ||
        !WriteStrips(tif.get(), frame, layout, rowsPerStrip) || !TIFFWriteDirectory(tif.get())) {
      return GenericError;
    }
  }
  if (sink.failed) return GenericError;
  out = std::move(sink.bytes);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
