// Row converters between the stored pixel formats and 32- or 64-bit ARGB.
// Each public call switches on the format once and then runs a tight loop
// over the row.

#include "pixel_convert.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "pixel_channels.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

using namespace channels;

// --- Palette indices -------------------------------------------------------

template <std::uint32_t Bits>
void CopyIndices(const std::uint8_t* source, std::uint32_t sourceX, std::uint8_t* target, std::uint32_t targetX,
                 std::uint32_t count) {
  constexpr std::uint32_t perByte = 8 / Bits;
  std::uint32_t done = 0;
  if (sourceX % perByte == 0 && targetX % perByte == 0) {
    const std::uint32_t wholeBytes = count / perByte;
    std::memcpy(target + targetX / perByte, source + sourceX / perByte, wholeBytes);
    done = wholeBytes * perByte;
  }
  for (; done < count; ++done) SetIndexAt<Bits>(target, targetX + done, IndexAt<Bits>(source, sourceX + done));
}

template <std::uint32_t Bits>
void ReadIndexed(const std::uint8_t* row, std::uint32_t x, std::uint32_t count, const std::vector<ARGB>& palette,
                 ARGB* out) {
  const std::size_t entries = palette.size();
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t index = IndexAt<Bits>(row, x + i);
    out[i] = index < entries ? palette[index] : 0xFF000000u;
  }
}

// --- Reading as 32-bit ARGB ------------------------------------------------

void ReadRow32(const std::uint8_t* row, PixelFormat format, std::uint32_t count, const std::vector<ARGB>& palette,
               std::uint32_t x, ARGB* out) {
  const std::uint32_t bytes = GetPixelFormatSize(format) / 8;
  const std::uint8_t* p = row + static_cast<std::size_t>(x) * bytes;
  switch (format) {
    case PixelFormat1bppIndexed:
      return ReadIndexed<1>(row, x, count, palette, out);
    case PixelFormat4bppIndexed:
      return ReadIndexed<4>(row, x, count, palette, out);
    case PixelFormat8bppIndexed:
      return ReadIndexed<8>(row, x, count, palette, out);
    case PixelFormat16bppGrayScale:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const std::uint32_t v = Narrow16(Load16(p));
        out[i] = Pack32(255, v, v, v);
      }
      return;
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555: {
      const bool withAlpha = format == PixelFormat16bppARGB1555;
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const std::uint32_t v = Load16(p);
        const std::uint32_t a = !withAlpha || (v & 0x8000) != 0 ? 255 : 0;
        out[i] = Pack32(a, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
      }
      return;
    }
    case PixelFormat16bppRGB565:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const std::uint32_t v = Load16(p);
        out[i] = Pack32(255, Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31));
      }
      return;
    case PixelFormat24bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 3) out[i] = Pack32(255, p[2], p[1], p[0]);
      return;
    case PixelFormat32bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 4) out[i] = Load32(p) | 0xFF000000u;
      return;
    case PixelFormat32bppARGB:
      std::memcpy(out, p, std::size_t{count} * 4);
      return;
    case PixelFormat32bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 4) {
        const std::uint32_t a = p[3];
        out[i] =
            a == 255 ? Load32(p) : Pack32(a, Unpremultiply8(p[2], a), Unpremultiply8(p[1], a), Unpremultiply8(p[0], a));
      }
      return;
    case PixelFormat48bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 6) {
        out[i] = Pack32(255, Narrow16(Load16(p + 4)), Narrow16(Load16(p + 2)), Narrow16(Load16(p)));
      }
      return;
    case PixelFormat64bppARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        out[i] = Pack32(Narrow16(Load16(p + 6)), Narrow16(Load16(p + 4)), Narrow16(Load16(p + 2)), Narrow16(Load16(p)));
      }
      return;
    case PixelFormat64bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        const std::uint32_t a = Load16(p + 6);
        out[i] = Pack32(Narrow16(a), Narrow16(Unpremultiply16(Load16(p + 4), a)),
                        Narrow16(Unpremultiply16(Load16(p + 2), a)), Narrow16(Unpremultiply16(Load16(p), a)));
      }
      return;
    default:
      std::fill_n(out, count, 0xFF000000u);
      return;
  }
}

// --- Reading as 64-bit ARGB ------------------------------------------------

// Formats with 16-bit channels read exactly; the others are widened.
bool ReadExtendedRow64(const std::uint8_t* row, PixelFormat format, std::uint32_t x, std::uint32_t count,
                       std::uint64_t* out) {
  const std::uint32_t bytes = GetPixelFormatSize(format) / 8;
  const std::uint8_t* p = row + static_cast<std::size_t>(x) * bytes;
  switch (format) {
    case PixelFormat16bppGrayScale:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const std::uint32_t v = Load16(p);
        out[i] = Pack64(65535, v, v, v);
      }
      return true;
    case PixelFormat48bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 6) out[i] = Pack64(65535, Load16(p + 4), Load16(p + 2), Load16(p));
      return true;
    case PixelFormat64bppARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        out[i] = Pack64(Load16(p + 6), Load16(p + 4), Load16(p + 2), Load16(p));
      }
      return true;
    case PixelFormat64bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        const std::uint32_t a = Load16(p + 6);
        out[i] = Pack64(a, Unpremultiply16(Load16(p + 4), a), Unpremultiply16(Load16(p + 2), a),
                        Unpremultiply16(Load16(p), a));
      }
      return true;
    default:
      return false;
  }
}

// --- Writing from 32-bit ARGB ---------------------------------------------

bool WriteRow32(std::uint8_t* row, PixelFormat format, std::uint32_t x, std::uint32_t count, const ARGB* in) {
  if (IsIndexedPixelFormat(format) || !IsSupportedPixelFormat(format)) return false;
  std::uint8_t* p = row + static_cast<std::size_t>(x) * (GetPixelFormatSize(format) / 8);
  switch (format) {
    case PixelFormat16bppGrayScale:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        Store16(p, Luma16From8(Channel8(in[i], 16), Channel8(in[i], 8), Channel8(in[i], 0)));
      }
      break;
    case PixelFormat16bppRGB555:
    case PixelFormat16bppARGB1555: {
      const bool withAlpha = format == PixelFormat16bppARGB1555;
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const ARGB c = in[i];
        const std::uint32_t alphaBit = withAlpha && Channel8(c, 24) >= 128 ? 0x8000 : 0;
        Store16(p,
                alphaBit | (Narrow5(Channel8(c, 16)) << 10) | (Narrow5(Channel8(c, 8)) << 5) | Narrow5(Channel8(c, 0)));
      }
      break;
    }
    case PixelFormat16bppRGB565:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        const ARGB c = in[i];
        Store16(p, (Narrow5(Channel8(c, 16)) << 11) | (Narrow6(Channel8(c, 8)) << 5) | Narrow5(Channel8(c, 0)));
      }
      break;
    case PixelFormat24bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 3) {
        p[0] = static_cast<std::uint8_t>(in[i]);
        p[1] = static_cast<std::uint8_t>(in[i] >> 8);
        p[2] = static_cast<std::uint8_t>(in[i] >> 16);
      }
      break;
    case PixelFormat32bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 4) Store32(p, in[i] | 0xFF000000u);
      break;
    case PixelFormat32bppARGB:
      std::memcpy(p, in, std::size_t{count} * 4);
      break;
    case PixelFormat32bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 4) {
        const ARGB c = in[i];
        const std::uint32_t a = c >> 24;
        Store32(p, a == 255 ? c
                            : Pack32(a, Premultiply8(Channel8(c, 16), a), Premultiply8(Channel8(c, 8), a),
                                     Premultiply8(Channel8(c, 0), a)));
      }
      break;
    case PixelFormat48bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 6) {
        Store16(p, Widen8(Channel8(in[i], 0)));
        Store16(p + 2, Widen8(Channel8(in[i], 8)));
        Store16(p + 4, Widen8(Channel8(in[i], 16)));
      }
      break;
    case PixelFormat64bppARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        for (int channel = 0; channel < 4; ++channel) Store16(p + 2 * channel, Widen8(Channel8(in[i], 8 * channel)));
      }
      break;
    case PixelFormat64bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        const std::uint32_t a = Widen8(in[i] >> 24);
        for (int channel = 0; channel < 3; ++channel) {
          Store16(p + 2 * channel, Premultiply16(Widen8(Channel8(in[i], 8 * channel)), a));
        }
        Store16(p + 6, a);
      }
      break;
    default:
      return false;
  }
  return true;
}

// --- Writing from 64-bit ARGB (formats with 16-bit channels) -------------

void WriteExtendedRow64(std::uint8_t* row, PixelFormat format, std::uint32_t x, std::uint32_t count,
                        const std::uint64_t* in) {
  std::uint8_t* p = row + static_cast<std::size_t>(x) * (GetPixelFormatSize(format) / 8);
  switch (format) {
    case PixelFormat16bppGrayScale:
      for (std::uint32_t i = 0; i < count; ++i, p += 2) {
        Store16(p, Luma16(Channel16(in[i], 32), Channel16(in[i], 16), Channel16(in[i], 0)));
      }
      return;
    case PixelFormat48bppRGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 6) {
        for (int channel = 0; channel < 3; ++channel) Store16(p + 2 * channel, Channel16(in[i], 16 * channel));
      }
      return;
    case PixelFormat64bppARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        for (int channel = 0; channel < 4; ++channel) Store16(p + 2 * channel, Channel16(in[i], 16 * channel));
      }
      return;
    case PixelFormat64bppPARGB:
      for (std::uint32_t i = 0; i < count; ++i, p += 8) {
        const std::uint32_t a = Channel16(in[i], 48);
        for (int channel = 0; channel < 3; ++channel) {
          Store16(p + 2 * channel, Premultiply16(Channel16(in[i], 16 * channel), a));
        }
        Store16(p + 6, a);
      }
      return;
    default:
      return;
  }
}

// --- Area copies ------------------------------------------------------------

void CopySameFormatRow(const std::uint8_t* source, std::uint32_t sourceX, std::uint8_t* target, std::uint32_t targetX,
                       std::uint32_t count, PixelFormat format) {
  switch (GetPixelFormatSize(format)) {
    case 1:
      return CopyIndices<1>(source, sourceX, target, targetX, count);
    case 4:
      return CopyIndices<4>(source, sourceX, target, targetX, count);
    default: {
      const std::size_t bytes = GetPixelFormatSize(format) / 8;
      std::memcpy(target + targetX * bytes, source + sourceX * bytes, count * bytes);
      return;
    }
  }
}

void CopyThrough32(const Frame& source, const GpRect& rect, const PixelBuffer& target, std::uint32_t targetX,
                   std::uint32_t targetY) {
  std::vector<ARGB> row(static_cast<std::size_t>(rect.Width));
  const auto width = static_cast<std::uint32_t>(rect.Width);
  for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(rect.Height); ++y) {
    ReadArgb32(source, static_cast<std::uint32_t>(rect.X), static_cast<std::uint32_t>(rect.Y) + y, width, row.data());
    WriteRow32(target.Row(targetY + y), target.format(), targetX, width, row.data());
  }
}

void CopyThrough64(const Frame& source, const GpRect& rect, const PixelBuffer& target, std::uint32_t targetX,
                   std::uint32_t targetY) {
  std::vector<std::uint64_t> row(static_cast<std::size_t>(rect.Width));
  const auto width = static_cast<std::uint32_t>(rect.Width);
  for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(rect.Height); ++y) {
    ReadArgb64(source, static_cast<std::uint32_t>(rect.X), static_cast<std::uint32_t>(rect.Y) + y, width, row.data());
    WriteExtendedRow64(target.Row(targetY + y), target.format(), targetX, width, row.data());
  }
}

}  // namespace

void ReadArgb32(const Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, ARGB* out) {
  ReadRow32(frame.pixels.Row(y), frame.pixels.format(), count, frame.palette, x, out);
}

void ReadArgb64(const Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint64_t* out) {
  const std::uint8_t* row = frame.pixels.Row(y);
  if (ReadExtendedRow64(row, frame.pixels.format(), x, count, out)) return;
  // Eight-bit formats: read a chunk as 32 bits and widen it.
  constexpr std::uint32_t kChunk = 256;
  std::array<ARGB, kChunk> narrow;
  for (std::uint32_t done = 0; done < count; done += kChunk) {
    const std::uint32_t n = std::min(kChunk, count - done);
    ReadRow32(row, frame.pixels.format(), n, frame.palette, x + done, narrow.data());
    for (std::uint32_t i = 0; i < n; ++i) {
      const ARGB c = narrow[i];
      out[done + i] =
          Pack64(Widen8(Channel8(c, 24)), Widen8(Channel8(c, 16)), Widen8(Channel8(c, 8)), Widen8(Channel8(c, 0)));
    }
  }
}

bool WriteArgb32(Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, const ARGB* in) {
  return WriteRow32(frame.pixels.Row(y), frame.pixels.format(), x, count, in);
}

GpStatus CopyPixels(const Frame& source, const GpRect& rect, const PixelBuffer& target, std::uint32_t targetX,
                    std::uint32_t targetY) {
  const PixelFormat from = source.pixels.format();
  const PixelFormat to = target.format();
  if (!IsSupportedPixelFormat(from) || !IsSupportedPixelFormat(to)) return InvalidParameter;
  if (IsIndexedPixelFormat(to) && from != to) return InvalidParameter;
  if (from == to) {
    for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(rect.Height); ++y) {
      CopySameFormatRow(source.pixels.Row(static_cast<std::uint32_t>(rect.Y) + y), static_cast<std::uint32_t>(rect.X),
                        target.Row(targetY + y), targetX, static_cast<std::uint32_t>(rect.Width), from);
    }
    return Ok;
  }
  try {
    if (IsExtendedPixelFormat(from) && IsExtendedPixelFormat(to)) {
      CopyThrough64(source, rect, target, targetX, targetY);
    } else {
      CopyThrough32(source, rect, target, targetX, targetY);
    }
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return Ok;
}

GpStatus ConvertArea(const Frame& source, const GpRect& rect, PixelFormat format, Frame& out) {
  if (!IsSupportedPixelFormat(format) || !AreaInside(rect, source.pixels)) return InvalidParameter;
  if (IsIndexedPixelFormat(format) && source.pixels.format() != format) return InvalidParameter;
  auto pixels =
      PixelBuffer::Allocate(format, static_cast<std::uint32_t>(rect.Width), static_cast<std::uint32_t>(rect.Height));
  if (!pixels) return OutOfMemory;
  const GpStatus status = CopyPixels(source, rect, *pixels, 0, 0);
  if (status != Ok) return status;
  Frame converted;
  converted.pixels = std::move(*pixels);
  if (IsIndexedPixelFormat(format)) {
    converted.palette = source.palette;
    converted.paletteFlags = source.paletteFlags;
  }
  converted.dpiX = source.dpiX;
  converted.dpiY = source.dpiY;
  converted.flags = source.flags & ImageFlagsHasRealDPI;
  out = std::move(converted);
  return Ok;
}

bool AreaInside(const GpRect& rect, const PixelBuffer& pixels) noexcept {
  return rect.X >= 0 && rect.Y >= 0 && rect.Width > 0 && rect.Height > 0 &&
         std::int64_t{rect.X} + rect.Width <= std::int64_t{pixels.width()} &&
         std::int64_t{rect.Y} + rect.Height <= std::int64_t{pixels.height()};
}

PixelBuffer ViewOf(const PixelBuffer& pixels) noexcept {
  return PixelBuffer::Wrap(pixels.format(), pixels.width(), pixels.height(), pixels.stride(), pixels.scan0());
}

std::uint64_t PackedRowBytes(PixelFormat format, std::uint32_t width) noexcept {
  return (std::uint64_t{width} * GetPixelFormatSize(format) + 7) / 8;
}

bool IsSupportedPixelFormat(PixelFormat format) noexcept {
  switch (format) {
    case PixelFormat1bppIndexed:
    case PixelFormat4bppIndexed:
    case PixelFormat8bppIndexed:
    case PixelFormat16bppGrayScale:
    case PixelFormat16bppRGB555:
    case PixelFormat16bppRGB565:
    case PixelFormat16bppARGB1555:
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
    case PixelFormat48bppRGB:
    case PixelFormat64bppARGB:
    case PixelFormat64bppPARGB:
      return true;
    default:
      return false;
  }
}

}  // namespace pixavue::platform::gdiplus
