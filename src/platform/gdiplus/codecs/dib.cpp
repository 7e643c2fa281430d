#include "dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "../byte_reader.h"
#include "../image_limits.h"
#include "bmp_rle.h"
#include "pixels_per_metre.h"

namespace pixavue::platform::gdiplus {
namespace {

// biCompression values.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

// Header sizes: core (OS/2 1.x), info, info with RGB masks, with RGBA
// masks, OS/2 2.x, V4 and V5.
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRgbMasksHeaderSize = 52;
constexpr std::uint32_t kRgbaMasksHeaderSize = 56;
constexpr std::uint32_t kOs2HeaderSize = 64;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;

using Masks = std::array<std::uint32_t, 4>;  // red, green, blue, alpha
constexpr Masks kMasks555{0x7C00, 0x03E0, 0x001F, 0};
constexpr Masks kMasks1555{0x7C00, 0x03E0, 0x001F, 0x8000};
constexpr Masks kMasks565{0xF800, 0x07E0, 0x001F, 0};
constexpr Masks kMasks888{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
constexpr Masks kMasks8888{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

struct DibHeader final {
  std::uint32_t size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top-down rows
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMetre = 0;
  std::int32_t yPelsPerMetre = 0;
  std::uint32_t colorsUsed = 0;
  Masks masks{};
  bool core = false;  // 12-byte header: colour table of RGB triples
};

bool IsKnownHeaderSize(std::uint32_t size) {
  return size == kInfoHeaderSize || size == kRgbMasksHeaderSize || size == kRgbaMasksHeaderSize ||
         size == kOs2HeaderSize || size == kV4HeaderSize || size == kV5HeaderSize;
}

GpStatus ReadCoreHeader(ByteReader& reader, DibHeader& header) {
  auto width = reader.U16();
  auto height = reader.U16();
  auto planes = reader.U16();
  auto bitCount = reader.U16();
  if (!width || !height || !planes || !bitCount) return InvalidParameter;
  header.width = *width;
  header.height = *height;
  header.bitCount = *bitCount;
  header.core = true;
  return Ok;
}

GpStatus ReadInfoHeader(ByteReader& reader, DibHeader& header) {
  if (header.size > reader.size()) return InvalidParameter;
  auto width = reader.I32();
  auto height = reader.I32();
  auto planes = reader.U16();
  auto bitCount = reader.U16();
  auto compression = reader.U32();
  auto sizeImage = reader.U32();
  auto xPels = reader.I32();
  auto yPels = reader.I32();
  auto colorsUsed = reader.U32();
  if (!width || !height || !planes || !bitCount || !compression || !sizeImage || !xPels || !yPels || !colorsUsed) {
    return InvalidParameter;
  }
  header.width = *width;
  header.height = *height;
  header.bitCount = *bitCount;
  header.compression = *compression;
  header.sizeImage = *sizeImage;
  header.xPelsPerMetre = *xPels;
  header.yPelsPerMetre = *yPels;
  header.colorsUsed = *colorsUsed;
  // OS/2 2.x numbers its compressions differently: 3 is Huffman, 4 RLE24.
  if (header.size == kOs2HeaderSize && header.compression > kBiRle4) return UnknownImageFormat;
  // Masks inside the larger headers start right after the 40-byte part.
  if (header.size >= kRgbMasksHeaderSize && header.size != kOs2HeaderSize) {
    const std::size_t count = header.size >= kRgbaMasksHeaderSize ? 4 : 3;
    for (std::size_t i = 0; i < count; ++i) header.masks[i] = *reader.U32At(kInfoHeaderSize + 4 * i);
  }
  return Ok;
}

GpStatus ReadHeader(ByteReader& reader, DibHeader& header) {
  auto size = reader.U32();
  if (!size || *size < kCoreHeaderSize) return InvalidParameter;
  header.size = *size;
  if (header.size == kCoreHeaderSize) return ReadCoreHeader(reader, header);
  if (!IsKnownHeaderSize(header.size)) return header.size > reader.size() ? InvalidParameter : UnknownImageFormat;
  return ReadInfoHeader(reader, header);
}

// Masks stored after a 40-byte header (BI_BITFIELDS: three, BI_ALPHABITFIELDS:
// four); returns the bytes they take.
GpStatus ReadTrailingMasks(ByteReader& reader, DibHeader& header, std::size_t& bytes) {
  bytes = 0;
  if (header.size != kInfoHeaderSize) return Ok;
  std::size_t count = 0;
  if (header.compression == kBiBitfields) count = 3;
  if (header.compression == kBiAlphaBitfields) count = 4;
  for (std::size_t i = 0; i < count; ++i) {
    auto mask = reader.U32At(kInfoHeaderSize + 4 * i);
    if (!mask) return InvalidParameter;
    header.masks[i] = *mask;
  }
  bytes = 4 * count;
  return Ok;
}

// How the stored pixels become frame pixels.
struct PixelPlan final {
  PixelFormat format = PixelFormatUndefined;
  bool copyRows = false;  // the stored row layout is the frame's
  bool rle = false;
  Masks masks{};          // for rows that are unpacked through masks
};

GpStatus PlanMaskedPixels(const DibHeader& header, PixelPlan& plan) {
  if (header.bitCount != 16 && header.bitCount != 32) return InvalidParameter;
  const Masks& m = header.masks;
  plan.masks = m;
  plan.copyRows = true;
  if (header.bitCount == 16 && m == kMasks555) {
    plan.format = PixelFormat16bppRGB555;
  } else if (header.bitCount == 16 && m == kMasks1555) {
    plan.format = PixelFormat16bppARGB1555;
  } else if (header.bitCount == 16 && m == kMasks565) {
    plan.format = PixelFormat16bppRGB565;
  } else if (header.bitCount == 32 && m == kMasks888) {
    plan.format = PixelFormat32bppRGB;
  } else if (header.bitCount == 32 && m == kMasks8888) {
    plan.format = PixelFormat32bppARGB;
  } else {
    plan.copyRows = false;
    if (m[3] != 0) {
      plan.format = PixelFormat32bppARGB;
    } else {
      plan.format = header.bitCount == 16 ? PixelFormat24bppRGB : PixelFormat32bppRGB;
    }
  }
  return Ok;
}

GpStatus PlanUncompressedPixels(const DibHeader& header, bool icon, PixelPlan& plan) {
  plan.copyRows = true;
  switch (header.bitCount) {
    case 1: plan.format = PixelFormat1bppIndexed; return Ok;
    case 4: plan.format = PixelFormat4bppIndexed; return Ok;
    case 8: plan.format = PixelFormat8bppIndexed; return Ok;
    case 16: plan.format = PixelFormat16bppRGB555; return Ok;
    case 24: plan.format = PixelFormat24bppRGB; return Ok;
    case 32: {
      // Icons keep alpha in the fourth byte; so does a V4/V5 header that
      // declares the standard alpha mask.
      const bool alpha = icon || (header.size >= kRgbaMasksHeaderSize && header.masks[3] == kMasks8888[3]);
      plan.format = alpha ? PixelFormat32bppARGB : PixelFormat32bppRGB;
      return Ok;
    }
    case 2:
    case 64: return UnknownImageFormat;
    default: return InvalidParameter;
  }
}

GpStatus PlanPixels(const DibHeader& header, bool icon, PixelPlan& plan) {
  switch (header.compression) {
    case kBiRgb: return PlanUncompressedPixels(header, icon, plan);
    case kBiRle8:
    case kBiRle4: {
      const bool eight = header.compression == kBiRle8;
      if (header.bitCount != (eight ? 8 : 4) || header.height < 0) return InvalidParameter;
      plan.format = eight ? PixelFormat8bppIndexed : PixelFormat4bppIndexed;
      plan.rle = true;
      return Ok;
    }
    case kBiBitfields:
    case kBiAlphaBitfields: return PlanMaskedPixels(header, plan);
    default: return UnknownImageFormat;  // embedded JPEG or PNG, CMYK variants
  }
}

// Opaque palette entries from the colour table; `count` is already bounded
// by the data.
std::vector<ARGB> ReadColourTable(std::span<const std::uint8_t> table, std::size_t count, std::size_t entrySize) {
  std::vector<ARGB> palette(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = table.data() + i * entrySize;
    palette[i] = 0xFF000000u | (ARGB{entry[2]} << 16) | (ARGB{entry[1]} << 8) | entry[0];
  }
  return palette;
}

bool IsGreyPalette(const std::vector<ARGB>& palette) {
  return !palette.empty() && std::all_of(palette.begin(), palette.end(), [](ARGB c) {
    const std::uint32_t b = c & 0xFF;
    return ((c >> 8) & 0xFF) == b && ((c >> 16) & 0xFF) == b;
  });
}

// One channel of a bit mask, scaled to 0..255.
class ChannelMask final {
 public:
  explicit ChannelMask(std::uint32_t mask) noexcept
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), max_(mask == 0 ? 0 : mask >> shift_) {}

  bool present() const noexcept { return mask_ != 0; }
  std::uint8_t Extract(std::uint32_t value) const noexcept {
    if (max_ == 0) return 0;
    const std::uint64_t v = (value & mask_) >> shift_;
    return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_;
  std::uint64_t max_;
};

void UnpackMaskedRow(const std::uint8_t* in, std::uint32_t width, std::uint16_t bitCount, const Masks& masks,
                     PixelFormat format, std::uint8_t* out) {
  const ChannelMask red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const std::size_t inBytes = bitCount / 8;
  const std::size_t outBytes = GetPixelFormatSize(format) / 8;
  for (std::uint32_t x = 0; x < width; ++x, in += inBytes, out += outBytes) {
    std::uint32_t value = in[0] | (std::uint32_t{in[1]} << 8);
    if (inBytes == 4) value |= (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[3]} << 24);
    out[0] = blue.Extract(value);
    out[1] = green.Extract(value);
    out[2] = red.Extract(value);
    if (outBytes == 4) out[3] = alpha.present() ? alpha.Extract(value) : 0xFF;
  }
}

void DecodeRows(std::span<const std::uint8_t> bits, std::size_t rowBytes, bool topDown, const DibHeader& header,
                const PixelPlan& plan, PixelBuffer& pixels) {
  const std::size_t copyBytes = std::min<std::size_t>(rowBytes, static_cast<std::size_t>(pixels.stride()));
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    const std::uint8_t* in = bits.data() + y * rowBytes;
    std::uint8_t* out = pixels.Row(topDown ? y : pixels.height() - 1 - y);
    if (plan.copyRows) {
      std::memcpy(out, in, copyBytes);
    } else {
      UnpackMaskedRow(in, pixels.width(), header.bitCount, plan.masks, plan.format, out);
    }
  }
}

void SetResolution(const DibHeader& header, Frame& frame) {
  if (header.xPelsPerMetre <= 0 || header.yPelsPerMetre <= 0) return;
  frame.dpiX = DpiFromPixelsPerMetre(static_cast<std::uint32_t>(header.xPelsPerMetre));
  frame.dpiY = DpiFromPixelsPerMetre(static_cast<std::uint32_t>(header.yPelsPerMetre));
  frame.flags |= ImageFlagsHasRealDPI;
}

// Where the colour table and the bits are, from the header, the masks and
// the container's offset.
struct DibRegions final {
  std::size_t tableOffset = 0;
  std::size_t tableEntries = 0;  // entries kept as the palette
  std::size_t entrySize = 4;
  std::size_t bitsOffset = 0;
};

GpStatus LocateRegions(std::size_t dibSize, const DibHeader& header, std::size_t maskBytes, const DibOptions& options,
                       DibRegions& regions) {
  const std::size_t givenOffset = options.bitsOffset;
  regions.tableOffset = header.size + maskBytes;
  regions.entrySize = header.core ? 3 : 4;
  const bool indexed = header.bitCount <= 8;
  // The stored table: biClrUsed entries, or 2^bpp for indexed images when
  // it is 0 (the core header always has 2^bpp).
  std::uint64_t declared = header.core ? 0 : header.colorsUsed;
  if (declared == 0 && indexed) declared = std::uint64_t{1} << header.bitCount;
  const std::uint64_t tableEnd = regions.tableOffset + declared * regions.entrySize;
  if (givenOffset != 0) {
    if (givenOffset < regions.tableOffset || givenOffset > dibSize) return InvalidParameter;
    regions.bitsOffset = givenOffset;
  } else {
    if (tableEnd > dibSize) return InvalidParameter;
    regions.bitsOffset = static_cast<std::size_t>(tableEnd);
  }
  if (indexed) {
    const bool whole = options.tableMayOverlapBits && tableEnd <= dibSize;
    const std::uint64_t room = whole ? declared : (regions.bitsOffset - regions.tableOffset) / regions.entrySize;
    const std::uint64_t wanted = std::min(declared, std::uint64_t{1} << header.bitCount);
    regions.tableEntries = static_cast<std::size_t>(std::min(wanted, room));
  }
  return Ok;
}

GpStatus DecodeBits(std::span<const std::uint8_t> bits, const DibHeader& header, const PixelPlan& plan,
                    bool topDown, Frame& out, DibLayout& layout) {
  // Uncompressed bits must all be there before the image is allocated.
  const std::uint64_t rowBytes = (std::uint64_t{layout.width} * header.bitCount + 31) / 32 * 4;
  const std::uint64_t needed = rowBytes * layout.height;
  if (!plan.rle && needed > bits.size()) return InvalidParameter;
  auto pixels = PixelBuffer::Allocate(plan.format, layout.width, layout.height);
  if (!pixels) return OutOfMemory;
  if (plan.rle) {
    if (header.sizeImage != 0 && header.sizeImage < bits.size()) bits = bits.first(header.sizeImage);
    layout.bitsSize = bits.size();
    const GpStatus status = DecodeBmpRle(bits, *pixels);
    if (status != Ok) return status;
  } else {
    layout.bitsSize = static_cast<std::size_t>(needed);
    DecodeRows(bits, static_cast<std::size_t>(rowBytes), topDown, header, plan, *pixels);
  }
  out.pixels = std::move(*pixels);
  return Ok;
}

// A DIB's header, masks and plan, checked against the size limits, with the
// regions of its colour table and bits located.
struct ParsedDib final {
  DibHeader header;
  PixelPlan plan;
  DibRegions regions;
  std::uint32_t width = 0;
  std::uint32_t height = 0;  // of the image (half the header's for icons)
  bool topDown = false;
};

GpStatus ParseDib(std::span<const std::uint8_t> dib, const DibOptions& options, ParsedDib& parsed) {
  ByteReader reader(dib);
  DibHeader& header = parsed.header;
  GpStatus status = ReadHeader(reader, header);
  std::size_t maskBytes = 0;
  if (status == Ok) status = ReadTrailingMasks(reader, header, maskBytes);
  if (status == Ok) status = PlanPixels(header, options.icon, parsed.plan);
  if (status != Ok) return status;

  parsed.topDown = header.height < 0;
  std::int64_t height = parsed.topDown ? -header.height : header.height;
  if (options.icon) height /= 2;
  status = CheckImageSize(header.width, height);
  if (status != Ok) return status;
  parsed.width = static_cast<std::uint32_t>(header.width);
  parsed.height = static_cast<std::uint32_t>(height);
  return LocateRegions(dib.size(), header, maskBytes, options, parsed.regions);
}

// The palette and resolution of the frame, from the colour table and header.
void DescribeFrame(std::span<const std::uint8_t> dib, const ParsedDib& parsed, Frame& frame) {
  if (IsIndexedPixelFormat(parsed.plan.format)) {
    frame.palette =
        ReadColourTable(dib.subspan(parsed.regions.tableOffset), parsed.regions.tableEntries, parsed.regions.entrySize);
    if (IsGreyPalette(frame.palette)) frame.paletteFlags |= PaletteFlagsGrayScale;
  }
  SetResolution(parsed.header, frame);
}

}  // namespace

GpStatus DescribeDib(std::span<const std::uint8_t> headerAndTable, DibDescription& out) {
  ParsedDib parsed;
  const GpStatus status = ParseDib(headerAndTable, DibOptions{}, parsed);
  if (status != Ok) return status;
  DibDescription description;
  description.format = parsed.plan.format;
  description.width = parsed.width;
  description.height = parsed.height;
  description.topDown = parsed.topDown;
  description.rowBytes =
      static_cast<std::size_t>((std::uint64_t{parsed.width} * parsed.header.bitCount + 31) / 32 * 4);
  description.rowsAsStored = parsed.plan.copyRows && !parsed.plan.rle;
  description.bitsOffset = parsed.regions.bitsOffset;
  DescribeFrame(headerAndTable, parsed, description.frame);
  out = std::move(description);
  return Ok;
}

GpStatus DecodeDib(std::span<const std::uint8_t> dib, const DibOptions& options, Frame& out, DibLayout* layout) {
  ParsedDib parsed;
  GpStatus status = ParseDib(dib, options, parsed);
  if (status != Ok) return status;

  DibLayout found;
  found.width = parsed.width;
  found.height = parsed.height;
  found.bitCount = parsed.header.bitCount;
  found.topDown = parsed.topDown;
  found.bitsOffset = parsed.regions.bitsOffset;
  Frame frame;
  status = DecodeBits(dib.subspan(parsed.regions.bitsOffset), parsed.header, parsed.plan, parsed.topDown, frame, found);
  if (status != Ok) return status;
  found.maskOffset = found.bitsOffset + found.bitsSize;

  DescribeFrame(dib, parsed, frame);
  out = std::move(frame);
  if (layout != nullptr) *layout = found;
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
