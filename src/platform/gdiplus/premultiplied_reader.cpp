#include "premultiplied_reader.h"

#include "pixel_channels.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

using namespace channels;

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t PremultipliedOf(ARGB c) {
  const std::uint32_t a = c >> 24;
  return Pack32(a, Premultiply8(Channel8(c, 16), a), Premultiply8(Channel8(c, 8), a), Premultiply8(Channel8(c, 0), a));
}

// One pixel of each format at byte p, as premultiplied 32 bits.
std::uint32_t Gray16(const std::uint8_t* p) {
  const std::uint32_t v = Narrow16(Load16(p));
  return Pack32(255, v, v, v);
}
std::uint32_t Rgb555(const std::uint8_t* p) {
  const std::uint32_t v = Load16(p);
  return Pack32(255, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
}
// A clear 1555 pixel premultiplies to 0.
std::uint32_t Argb1555(const std::uint8_t* p) { return (Load16(p) & 0x8000) != 0 ? Rgb555(p) : 0; }
std::uint32_t Rgb565(const std::uint8_t* p) {
  const std::uint32_t v = Load16(p);
  return Pack32(255, Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31));
}
std::uint32_t Rgb32(const std::uint8_t* p) { return Load32(p) | kOpaque; }
std::uint32_t Rgb48(const std::uint8_t* p) {
  return Pack32(255, Narrow16(Load16(p + 4)), Narrow16(Load16(p + 2)), Narrow16(Load16(p)));
}
std::uint32_t Argb64(const std::uint8_t* p) {
  return PremultipliedOf(
      Pack32(Narrow16(Load16(p + 6)), Narrow16(Load16(p + 4)), Narrow16(Load16(p + 2)), Narrow16(Load16(p))));
}

template <std::uint32_t (*Pixel)(const std::uint8_t*), std::uint32_t Bytes>
void RunOf(const std::uint8_t* row, std::uint32_t x, std::uint32_t count, std::uint32_t* out) {
  const std::uint8_t* p = row + std::size_t{x} * Bytes;
  for (std::uint32_t i = 0; i < count; ++i, p += Bytes) out[i] = Pixel(p);
}

template <std::uint32_t (*Pixel)(const std::uint8_t*), std::uint32_t Bytes>
void PickOf(const std::uint8_t* row, const std::uint32_t* columns, std::uint32_t count, std::uint32_t* out) {
  for (std::uint32_t i = 0; i < count; ++i) out[i] = Pixel(row + std::size_t{columns[i]} * Bytes);
}

template <std::uint32_t Bits>
void IndexedRun(const std::uint8_t* row, std::uint32_t x, std::uint32_t count, const std::uint32_t* palette,
                std::uint32_t* out) {
  for (std::uint32_t i = 0; i < count; ++i) out[i] = palette[IndexAt<Bits>(row, x + i)];
}

template <std::uint32_t Bits>
void IndexedPick(const std::uint8_t* row, const std::uint32_t* columns, std::uint32_t count,
                 const std::uint32_t* palette, std::uint32_t* out) {
  for (std::uint32_t i = 0; i < count; ++i) out[i] = palette[IndexAt<Bits>(row, columns[i])];
}

bool OpaqueFormat(PixelFormat format) {
  switch (format) {
    case PixelFormat16bppGrayScale:
    case PixelFormat16bppRGB555:
    case PixelFormat16bppRGB565:
    case PixelFormat24bppRGB:
    case PixelFormat32bppRGB:
    case PixelFormat48bppRGB:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool PremultipliedReader::Handles(PixelFormat format) noexcept {
  switch (format) {
    case PixelFormat1bppIndexed:
    case PixelFormat4bppIndexed:
    case PixelFormat8bppIndexed:
    case PixelFormat16bppARGB1555:
    case PixelFormat32bppARGB:
    case PixelFormat64bppARGB:
      return true;
    default:
      return OpaqueFormat(format);
  }
}

PremultipliedReader::PremultipliedReader(const Frame& frame) : frame_(frame) {
  const PixelFormat format = frame.pixels.format();
  handles_ = Handles(format);
  opaque_ = OpaqueFormat(format);
  if (!IsIndexedPixelFormat(format)) return;
  // Indices past the palette's end read as opaque black.
  palette_.assign(std::size_t{1} << GetPixelFormatSize(format), kOpaque);
  opaque_ = true;
  for (std::size_t i = 0; i < palette_.size() && i < frame.palette.size(); ++i) {
    palette_[i] = PremultipliedOf(frame.palette[i]);
    opaque_ = opaque_ && frame.palette[i] >= kOpaque;
  }
}

void PremultipliedReader::Run(std::uint32_t y, std::uint32_t x, std::uint32_t count, std::uint32_t* out) const {
  const std::uint8_t* row = frame_.pixels.Row(y);
  switch (frame_.pixels.format()) {
    case PixelFormat1bppIndexed:
      return IndexedRun<1>(row, x, count, palette_.data(), out);
    case PixelFormat4bppIndexed:
      return IndexedRun<4>(row, x, count, palette_.data(), out);
    case PixelFormat8bppIndexed:
      return IndexedRun<8>(row, x, count, palette_.data(), out);
    case PixelFormat16bppGrayScale:
      return RunOf<Gray16, 2>(row, x, count, out);
    case PixelFormat16bppRGB555:
      return RunOf<Rgb555, 2>(row, x, count, out);
    case PixelFormat16bppARGB1555:
      return RunOf<Argb1555, 2>(row, x, count, out);
    case PixelFormat16bppRGB565:
      return RunOf<Rgb565, 2>(row, x, count, out);
    case PixelFormat24bppRGB:
      return Rgb24ToOpaque(row + std::size_t{x} * 3, count, out);
    case PixelFormat32bppRGB:
      return RunOf<Rgb32, 4>(row, x, count, out);
    case PixelFormat32bppARGB:
      return ArgbToPremultiplied(row + std::size_t{x} * 4, count, out);
    case PixelFormat48bppRGB:
      return RunOf<Rgb48, 6>(row, x, count, out);
    case PixelFormat64bppARGB:
      return RunOf<Argb64, 8>(row, x, count, out);
    default:
      return;
  }
}

void PremultipliedReader::Pick(std::uint32_t y, const std::uint32_t* columns, std::uint32_t count,
                               std::uint32_t* out) const {
  const std::uint8_t* row = frame_.pixels.Row(y);
  switch (frame_.pixels.format()) {
    case PixelFormat1bppIndexed:
      return IndexedPick<1>(row, columns, count, palette_.data(), out);
    case PixelFormat4bppIndexed:
      return IndexedPick<4>(row, columns, count, palette_.data(), out);
    case PixelFormat8bppIndexed:
      return IndexedPick<8>(row, columns, count, palette_.data(), out);
    case PixelFormat16bppGrayScale:
      return PickOf<Gray16, 2>(row, columns, count, out);
    case PixelFormat16bppRGB555:
      return PickOf<Rgb555, 2>(row, columns, count, out);
    case PixelFormat16bppARGB1555:
      return PickOf<Argb1555, 2>(row, columns, count, out);
    case PixelFormat16bppRGB565:
      return PickOf<Rgb565, 2>(row, columns, count, out);
    case PixelFormat24bppRGB:
      return PickWords(row, 3, frame_.pixels.width(), columns, count, kOpaque, out);
    case PixelFormat32bppRGB:
      return PickWords(row, 4, frame_.pixels.width(), columns, count, kOpaque, out);
    case PixelFormat32bppARGB:
      PickWords(row, 4, frame_.pixels.width(), columns, count, 0, out);
      return ArgbToPremultiplied(reinterpret_cast<const std::uint8_t*>(out), count, out);
    case PixelFormat48bppRGB:
      return PickOf<Rgb48, 6>(row, columns, count, out);
    case PixelFormat64bppARGB:
      return PickOf<Argb64, 8>(row, columns, count, out);
    default:
      return;
  }
}

}  // namespace pixavue::platform::gdiplus
