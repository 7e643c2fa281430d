#include "tiff_encode_layout.h"

#include <cstring>
#include <memory>

#include <tiffio.h>

#include "../pixel_convert.h"
#include "tiff_colour_indexer.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr ARGB kOpaque = 0xFF000000u;
constexpr ARGB kBlack = 0xFF000000u;
constexpr ARGB kWhite = 0xFFFFFFFFu;

std::uint64_t RowBytes(std::uint32_t width, std::uint32_t bitsPerPixel) {
  return (std::uint64_t{width} * bitsPerPixel + 7) / 8;
}

// Colour maps have 2^bits entries; missing ones are black.
std::vector<ARGB> FullColourMap(std::vector<ARGB> palette, std::uint16_t bits) {
  palette.resize(std::size_t{1} << bits, kBlack);
  for (ARGB& entry : palette) entry |= kOpaque;
  return palette;
}

void CopyIndexedRows(const Frame& frame, TiffEncodeLayout& layout) {
  layout.packRow = [&frame, bytes = layout.rowBytes](std::uint32_t y, std::uint8_t* out) {
    std::memcpy(out, frame.pixels.Row(y), bytes);
  };
}

std::uint32_t Luminance(ARGB c) {
  return (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF) + 500) / 1000;
}

void PlanBilevel(const Frame& frame, TiffEncodeLayout& layout) {
  layout.bitsPerSample = 1;
  layout.rowBytes = RowBytes(frame.pixels.width(), 1);
  if (frame.pixels.format() == PixelFormat1bppIndexed) {
    const std::vector<ARGB> pair = FullColourMap(frame.palette, 1);
    if (pair[0] == kBlack && pair[1] == kWhite) {
      layout.photometric = PHOTOMETRIC_MINISBLACK;
    } else if (pair[0] == kWhite && pair[1] == kBlack) {
      layout.photometric = PHOTOMETRIC_MINISWHITE;
    } else {
      layout.photometric = PHOTOMETRIC_PALETTE;
      layout.colourMap = pair;
    }
    CopyIndexedRows(frame, layout);
    return;
  }
  layout.photometric = PHOTOMETRIC_MINISBLACK;
  layout.packRow = [&frame, row = std::vector<ARGB>(frame.pixels.width())](std::uint32_t y,
                                                                          std::uint8_t* out) mutable {
    ReadArgb32(frame, 0, y, static_cast<std::uint32_t>(row.size()), row.data());
    std::memset(out, 0, (row.size() + 7) / 8);
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (Luminance(row[x]) >= 128) out[x / 8] = static_cast<std::uint8_t>(out[x / 8] | (0x80 >> (x % 8)));
    }
  };
}

void PlanPalette(const Frame& frame, std::uint16_t bits, TiffEncodeLayout& layout) {
  layout.bitsPerSample = bits;
  layout.photometric = PHOTOMETRIC_PALETTE;
  layout.rowBytes = RowBytes(frame.pixels.width(), bits);
  const PixelFormat same = bits == 4 ? PixelFormat4bppIndexed : PixelFormat8bppIndexed;
  if (frame.pixels.format() == same) {
    layout.colourMap = FullColourMap(frame.palette, bits);
    CopyIndexedRows(frame, layout);
    return;
  }
  auto indexer = std::make_shared<TiffColourIndexer>(frame, 1u << bits);
  layout.colourMap = FullColourMap(indexer->palette(), bits);
  layout.packRow = [&frame, bits, indexer, row = std::vector<ARGB>(frame.pixels.width())](std::uint32_t y,
                                                                                         std::uint8_t* out) mutable {
    ReadArgb32(frame, 0, y, static_cast<std::uint32_t>(row.size()), row.data());
    for (std::size_t x = 0; x < row.size(); ++x) {
      const std::uint8_t index = indexer->IndexOf(row[x]);
      if (bits == 8) {
        out[x] = index;
      } else if (x % 2 == 0) {
        out[x / 2] = static_cast<std::uint8_t>(index << 4);
      } else {
        out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | index);
      }
    }
  };
}

void PlanRgb8(const Frame& frame, bool alpha, TiffEncodeLayout& layout) {
  const std::size_t channels = alpha ? 4 : 3;
  layout.samplesPerPixel = static_cast<std::uint16_t>(channels);
  layout.unassociatedAlpha = alpha;
  layout.rowBytes = std::uint64_t{frame.pixels.width()} * channels;
  layout.packRow = [&frame, channels, row = std::vector<ARGB>(frame.pixels.width())](std::uint32_t y,
                                                                                    std::uint8_t* out) mutable {
    ReadArgb32(frame, 0, y, static_cast<std::uint32_t>(row.size()), row.data());
    for (ARGB pixel : row) {
      // R, G, B, A sit at bits 16, 8, 0 and 24.
      constexpr int kShifts[] = {16, 8, 0, 24};
      for (std::size_t c = 0; c < channels; ++c) *out++ = static_cast<std::uint8_t>(pixel >> kShifts[c]);
    }
  };
}

void PlanRgb16(const Frame& frame, bool alpha, TiffEncodeLayout& layout) {
  const std::size_t channels = alpha ? 4 : 3;
  layout.bitsPerSample = 16;
  layout.samplesPerPixel = static_cast<std::uint16_t>(channels);
  layout.unassociatedAlpha = alpha;
  layout.rowBytes = std::uint64_t{frame.pixels.width()} * channels * 2;
  layout.packRow = [&frame, channels, row = std::vector<std::uint64_t>(frame.pixels.width())](
                       std::uint32_t y, std::uint8_t* out) mutable {
    ReadArgb64(frame, 0, y, static_cast<std::uint32_t>(row.size()), row.data());
    for (std::uint64_t pixel : row) {
      // R, G, B, A sit at bits 32, 16, 0 and 48.
      constexpr int kShifts[] = {32, 16, 0, 48};
      for (std::size_t c = 0; c < channels; ++c, out += 2) {
        const auto sample = static_cast<std::uint16_t>(pixel >> kShifts[c]);
        std::memcpy(out, &sample, 2);
      }
    }
  };
}

}  // namespace

GpStatus PlanTiffEncoding(const Frame& frame, std::uint32_t depth, TiffEncodeLayout& layout) {
  if (frame.pixels.empty()) return InvalidParameter;
  layout = TiffEncodeLayout{};
  layout.photometric = PHOTOMETRIC_RGB;
  switch (depth) {
    case 1:
      PlanBilevel(frame, layout);
      return Ok;
    case 4:
    case 8:
      PlanPalette(frame, static_cast<std::uint16_t>(depth), layout);
      return Ok;
    case 24:
    case 32:
      PlanRgb8(frame, depth == 32, layout);
      return Ok;
    case 48:
    case 64:
      PlanRgb16(frame, depth == 64, layout);
      return Ok;
    default:
      return InvalidParameter;
  }
}

}  // namespace pixavue::platform::gdiplus
