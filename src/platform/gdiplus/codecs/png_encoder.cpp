// PNG encoding through libpng into memory. Indexed frames stay palette
// images of the same depth (tRNS carries palette alpha); 16-bit channels
// stay 16 bits; everything else becomes RGB or RGBA with 8 bits a sample,
// never premultiplied. The resolution goes into pHYs.
#include <algorithm>
#include <new>
#include <vector>

#include "../codec.h"
#include "../pixel_convert.h"
#include "pixels_per_metre.h"
#include "png_common.h"

namespace pixavue::platform::gdiplus {
namespace {

struct PngLayout final {
  int colourType = PNG_COLOR_TYPE_RGB;
  int depth = 8;
};

PngLayout ChooseLayout(PixelFormat format) {
  switch (format) {
    case PixelFormat1bppIndexed: return {PNG_COLOR_TYPE_PALETTE, 1};
    case PixelFormat4bppIndexed: return {PNG_COLOR_TYPE_PALETTE, 4};
    case PixelFormat8bppIndexed: return {PNG_COLOR_TYPE_PALETTE, 8};
    case PixelFormat16bppGrayScale: return {PNG_COLOR_TYPE_GRAY, 16};
    case PixelFormat48bppRGB: return {PNG_COLOR_TYPE_RGB, 16};
    case PixelFormat64bppARGB:
    case PixelFormat64bppPARGB: return {PNG_COLOR_TYPE_RGB_ALPHA, 16};
    default:
      return {IsAlphaPixelFormat(format) ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8};
  }
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  try {
    out->insert(out->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}

// Plain data for the header chunks, so that the setjmp frame below holds
// nothing with a destructor.
struct PngHeader final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  PngLayout layout;
  const png_color* palette = nullptr;
  int paletteSize = 0;
  const png_byte* alphas = nullptr;
  int alphaCount = 0;
  png_uint_32 pixelsPerMetreX = 0;
  png_uint_32 pixelsPerMetreY = 0;
};

bool WriteHeaderGuarded(png_structp png, png_infop info, const PngHeader& header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, header.width, header.height, header.layout.depth, header.layout.colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (header.palette != nullptr) png_set_PLTE(png, info, header.palette, header.paletteSize);
  if (header.alphaCount > 0) png_set_tRNS(png, info, header.alphas, header.alphaCount, nullptr);
  png_set_pHYs(png, info, header.pixelsPerMetreX, header.pixelsPerMetreY, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  return true;
}

// Turns frame row y into PNG samples in `out`.
class RowPacker final {
 public:
  RowPacker(const Frame& frame, PngLayout layout)
      : frame_(frame), layout_(layout), argb_(frame.pixels.width()), argb64_(frame.pixels.width()) {}

  void Pack(std::uint32_t y, std::uint8_t* out) {
    const std::uint32_t width = frame_.pixels.width();
    if (layout_.colourType == PNG_COLOR_TYPE_PALETTE) {
      const std::size_t bytes = (std::size_t{width} * static_cast<std::size_t>(layout_.depth) + 7) / 8;
      std::copy_n(frame_.pixels.Row(y), bytes, out);
    } else if (layout_.colourType == PNG_COLOR_TYPE_GRAY) {
      const std::uint8_t* in = frame_.pixels.Row(y);
      for (std::uint32_t x = 0; x < width; ++x, in += 2, out += 2) {
        out[0] = in[1];  // stored little-endian, PNG is big-endian
        out[1] = in[0];
      }
    } else if (layout_.depth == 16) {
      ReadArgb64(frame_, 0, y, width, argb64_.data());
      for (const std::uint64_t pixel : argb64_) out = PutSamples16(pixel, out);
    } else {
      ReadArgb32(frame_, 0, y, width, argb_.data());
      for (const ARGB pixel : argb_) out = PutSamples8(pixel, out);
    }
  }

  std::size_t RowBytes() const {
    const std::size_t channels = layout_.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                 : layout_.colourType == PNG_COLOR_TYPE_RGB     ? 3
                                                                                : 1;
    return (std::size_t{frame_.pixels.width()} * channels * static_cast<std::size_t>(layout_.depth) + 7) / 8;
  }

 private:
  bool alpha() const { return layout_.colourType == PNG_COLOR_TYPE_RGB_ALPHA; }

  std::uint8_t* PutSamples8(ARGB pixel, std::uint8_t* out) const {
    *out++ = static_cast<std::uint8_t>(pixel >> 16);
    *out++ = static_cast<std::uint8_t>(pixel >> 8);
    *out++ = static_cast<std::uint8_t>(pixel);
    if (alpha()) *out++ = static_cast<std::uint8_t>(pixel >> 24);
    return out;
  }

  std::uint8_t* PutSamples16(std::uint64_t pixel, std::uint8_t* out) const {
    const int channels = alpha() ? 4 : 3;
    static constexpr int kShifts[4] = {32, 16, 0, 48};  // R, G, B, A
    for (int c = 0; c < channels; ++c) {
      const auto sample = static_cast<std::uint16_t>(pixel >> kShifts[c]);
      *out++ = static_cast<std::uint8_t>(sample >> 8);
      *out++ = static_cast<std::uint8_t>(sample);
    }
    return out;
  }

  const Frame& frame_;
  PngLayout layout_;
  std::vector<ARGB> argb_;
  std::vector<std::uint64_t> argb64_;
};

bool WriteRowGuarded(png_structp png, png_const_bytep row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_row(png, row);
  return true;
}

bool WriteEndGuarded(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

// Largest palette index used by the frame's pixels.
std::size_t HighestIndex(const Frame& frame, int depth) {
  const PixelBuffer& pixels = frame.pixels;
  const unsigned mask = (1u << depth) - 1;
  unsigned highest = 0;
  for (std::uint32_t y = 0; y < pixels.height() && highest < mask; ++y) {
    const std::uint8_t* row = pixels.Row(y);
    for (std::uint32_t x = 0; x < pixels.width(); ++x) {
      const std::size_t bit = std::size_t{x} * static_cast<std::size_t>(depth);
      const unsigned index = (row[bit / 8] >> (8 - depth - bit % 8)) & mask;
      highest = std::max(highest, index);
    }
  }
  return highest;
}

// The frame's palette as PLTE and tRNS entries (at most 2^depth). Indices
// past its end read as opaque black, so such entries are added: PLTE must
// cover every index used and may not be empty. tRNS stops after the last
// entry with alpha below 255.
struct PaletteChunks final {
  std::vector<png_color> colours;
  std::vector<png_byte> alphas;
};

PaletteChunks MakePaletteChunks(const Frame& frame, int depth) {
  PaletteChunks chunks;
  const std::size_t kept = std::min(frame.palette.size(), std::size_t{1} << depth);
  const std::size_t count = std::max(kept, HighestIndex(frame, depth) + 1);
  for (std::size_t i = 0; i < count; ++i) {
    const ARGB c = i < kept ? frame.palette[i] : 0xFF000000u;
    chunks.colours.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    chunks.alphas.push_back(static_cast<png_byte>(c >> 24));
  }
  while (!chunks.alphas.empty() && chunks.alphas.back() == 0xFF) chunks.alphas.pop_back();
  return chunks;
}

}  // namespace

GpStatus EncodePng(const EncodeSource& source, const EncoderParameters*, std::vector<std::uint8_t>& out) {
  const Frame& frame = source.frame;
  if (frame.pixels.empty()) return InvalidParameter;
  PngWriteStructs writer;
  if (!writer.valid()) return OutOfMemory;
  std::vector<std::uint8_t> encoded;
  png_set_write_fn(writer.png(), &encoded, AppendToVector, FlushNothing);

  PngHeader header;
  header.width = frame.pixels.width();
  header.height = frame.pixels.height();
  header.layout = ChooseLayout(frame.pixels.format());
  header.pixelsPerMetreX = PixelsPerMetreFromDpi(frame.dpiX);
  header.pixelsPerMetreY = PixelsPerMetreFromDpi(frame.dpiY);
  PaletteChunks palette;
  if (header.layout.colourType == PNG_COLOR_TYPE_PALETTE) {
    palette = MakePaletteChunks(frame, header.layout.depth);
    header.palette = palette.colours.data();
    header.paletteSize = static_cast<int>(palette.colours.size());
    header.alphas = palette.alphas.data();
    header.alphaCount = static_cast<int>(palette.alphas.size());
  }
  if (!WriteHeaderGuarded(writer.png(), writer.info(), header)) return InvalidParameter;

  RowPacker packer(frame, header.layout);
  std::vector<std::uint8_t> row(packer.RowBytes());
  for (std::uint32_t y = 0; y < header.height; ++y) {
    packer.Pack(y, row.data());
    if (!WriteRowGuarded(writer.png(), row.data())) return OutOfMemory;
  }
  if (!WriteEndGuarded(writer.png(), writer.info())) return OutOfMemory;
  out = std::move(encoded);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
