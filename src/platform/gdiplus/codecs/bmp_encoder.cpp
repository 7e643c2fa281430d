// BMP encoding: a 14-byte file header and a 40-byte BITMAPINFOHEADER, rows
// bottom-up and padded to 4 bytes. Indexed frames keep their depth and
// palette (BMP colour tables have no alpha); 16-bit 555 and 565 stay 16
// bits (565 through BI_BITFIELDS masks); opaque formats become 24 bits.
// Formats with alpha become 32-bit BI_RGB with the (not premultiplied)
// alpha in the fourth byte of each pixel, the most widely readable form:
// readers that honour it get the alpha, the others an opaque image.
#include <algorithm>
#include <cstring>
#include <vector>

#include "../codec.h"
#include "../pixel_convert.h"
#include "pixels_per_metre.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct BmpLayout final {
  std::uint16_t bitCount = 24;
  std::uint32_t compression = kBiRgb;
  bool copyRows = false;  // the frame's rows are already BMP rows
};

BmpLayout ChooseLayout(PixelFormat format) {
  switch (format) {
    case PixelFormat1bppIndexed: return {1, kBiRgb, true};
    case PixelFormat4bppIndexed: return {4, kBiRgb, true};
    case PixelFormat8bppIndexed: return {8, kBiRgb, true};
    case PixelFormat16bppRGB555: return {16, kBiRgb, true};
    case PixelFormat16bppRGB565: return {16, kBiBitfields, true};
    case PixelFormat24bppRGB: return {24, kBiRgb, true};
    default: return {static_cast<std::uint16_t>(IsAlphaPixelFormat(format) ? 32 : 24), kBiRgb, false};
  }
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

// Colour table entries: the palette (opaque B, G, R, 0), at least one.
std::vector<ARGB> TableEntries(const Frame& frame, std::uint16_t bitCount) {
  if (bitCount > 8) return {};
  std::vector<ARGB> entries(frame.palette.begin(),
                            frame.palette.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                        frame.palette.size(), std::size_t{1} << bitCount)));
  if (entries.empty()) entries.push_back(0);
  return entries;
}

void PutHeaders(const Frame& frame, const BmpLayout& layout, std::size_t tableEntries, std::uint32_t imageBytes,
                std::vector<std::uint8_t>& out) {
  const std::uint32_t masksBytes = layout.compression == kBiBitfields ? 12 : 0;
  const auto bitsOffset = static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + masksBytes + 4 * tableEntries);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, bitsOffset + imageBytes);
  PutU32(out, 0);
  PutU32(out, bitsOffset);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, frame.pixels.width());
  PutU32(out, frame.pixels.height());  // positive: bottom-up
  PutU16(out, 1);
  PutU16(out, layout.bitCount);
  PutU32(out, layout.compression);
  PutU32(out, imageBytes);
  PutU32(out, PixelsPerMetreFromDpi(frame.dpiX));
  PutU32(out, PixelsPerMetreFromDpi(frame.dpiY));
  PutU32(out, static_cast<std::uint32_t>(tableEntries));
  PutU32(out, 0);
  if (masksBytes != 0) {
    PutU32(out, 0xF800);
    PutU32(out, 0x07E0);
    PutU32(out, 0x001F);
  }
}

// Row y of the frame as BMP bytes (B, G, R[, A]) in `out`.
void ConvertRow(const Frame& frame, std::uint32_t y, std::uint16_t bitCount, std::vector<ARGB>& argb,
                std::uint8_t* out) {
  ReadArgb32(frame, 0, y, frame.pixels.width(), argb.data());
  if (bitCount == 32) {
    for (const ARGB pixel : argb) {
      for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<std::uint8_t>(pixel >> shift);
    }
    return;
  }
  for (const ARGB pixel : argb) {
    for (int shift = 0; shift < 24; shift += 8) *out++ = static_cast<std::uint8_t>(pixel >> shift);
  }
}

}  // namespace

GpStatus EncodeBmp(const EncodeSource& source, const EncoderParameters*, std::vector<std::uint8_t>& out) {
  const Frame& frame = source.frame;
  if (frame.pixels.empty()) return InvalidParameter;
  const BmpLayout layout = ChooseLayout(frame.pixels.format());
  const std::uint64_t rowBytes = (std::uint64_t{frame.pixels.width()} * layout.bitCount + 31) / 32 * 4;
  const std::uint64_t imageBytes = rowBytes * frame.pixels.height();
  if (imageBytes > 0x7FFFFFFF) return InvalidParameter;

  const std::vector<ARGB> table = TableEntries(frame, layout.bitCount);
  std::vector<std::uint8_t> encoded;
  encoded.reserve(kFileHeaderSize + kInfoHeaderSize + 12 + 4 * table.size() + imageBytes);
  PutHeaders(frame, layout, table.size(), static_cast<std::uint32_t>(imageBytes), encoded);
  for (const ARGB entry : table) PutU32(encoded, entry & 0x00FFFFFF);

  const std::size_t rowOffset = encoded.size();
  encoded.resize(rowOffset + imageBytes);
  std::vector<ARGB> argb(layout.copyRows ? 0 : frame.pixels.width());
  for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
    std::uint8_t* row = encoded.data() + rowOffset + (frame.pixels.height() - 1 - y) * rowBytes;
    if (layout.copyRows) {
      std::memcpy(row, frame.pixels.Row(y), (std::size_t{frame.pixels.width()} * layout.bitCount + 7) / 8);
    } else {
      ConvertRow(frame, y, layout.bitCount, argb, row);
    }
  }
  out = std::move(encoded);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
