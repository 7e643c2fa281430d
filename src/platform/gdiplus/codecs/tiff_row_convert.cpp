#include "tiff_row_convert.h"

#include <cstddef>
#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

std::uint16_t Load16(const std::uint8_t* at) {
  std::uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void Store16(std::uint8_t* at, std::uint16_t value) { std::memcpy(at, &value, sizeof value); }

void Expand2To4(const std::uint8_t* in, std::uint32_t width, std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x) {
    const auto value = static_cast<std::uint8_t>((in[x / 4] >> (6 - 2 * (x % 4))) & 3);
    if (x % 2 == 0) {
      out[x / 2] = static_cast<std::uint8_t>(value << 4);
    } else {
      out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | value);
    }
  }
}

void Grey16(const std::uint8_t* in, std::uint32_t width, bool invert, std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x, in += 2, out += 6) {
    std::uint16_t value = Load16(in);
    if (invert) value = static_cast<std::uint16_t>(65535 - value);
    Store16(out, value);
    Store16(out + 2, value);
    Store16(out + 4, value);
  }
}

// TIFF keeps R, G, B(, A); the frame keeps B, G, R(, A). `channels` is 3 or
// 4 and `sampleBytes` 1 or 2.
void SwapRedBlue(const std::uint8_t* in, std::uint32_t width, std::size_t stride, std::size_t channels,
                 std::size_t sampleBytes, std::uint8_t* out) {
  const std::size_t pixelBytes = channels * sampleBytes;
  for (std::uint32_t x = 0; x < width; ++x, in += stride, out += pixelBytes) {
    std::memcpy(out, in + 2 * sampleBytes, sampleBytes);
    std::memcpy(out + sampleBytes, in + sampleBytes, sampleBytes);
    std::memcpy(out + 2 * sampleBytes, in, sampleBytes);
    if (channels == 4) std::memcpy(out + 3 * sampleBytes, in + 3 * sampleBytes, sampleBytes);
  }
}

std::uint8_t InkToLight(std::uint8_t ink, std::uint8_t black) {
  return static_cast<std::uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

void Cmyk8(const std::uint8_t* in, std::uint32_t width, std::size_t stride, std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x, in += stride, out += 3) {
    out[0] = InkToLight(in[2], in[3]);
    out[1] = InkToLight(in[1], in[3]);
    out[2] = InkToLight(in[0], in[3]);
  }
}

// The 8-bit conversion at 16 bits: each light level is the ink's
// complement scaled by the black's, rounded.
std::uint16_t InkToLight16(std::uint16_t ink, std::uint16_t black) {
  return static_cast<std::uint16_t>((std::uint32_t{65535u - ink} * (65535u - black) + 32767) / 65535);
}

void Cmyk16(const std::uint8_t* in, std::uint32_t width, std::size_t stride, std::uint8_t* out) {
  for (std::uint32_t x = 0; x < width; ++x, in += stride, out += 6) {
    const std::uint16_t black = Load16(in + 6);
    Store16(out, InkToLight16(Load16(in + 4), black));
    Store16(out + 2, InkToLight16(Load16(in + 2), black));
    Store16(out + 4, InkToLight16(Load16(in), black));
  }
}

}  // namespace

void ConvertTiffRow(const TiffRowFormat& format, const std::uint8_t* in, std::uint32_t width, std::uint8_t* out) {
  const std::size_t samples = format.samplesPerPixel;
  switch (format.kind) {
    case TiffRowKind::CopyBits:
      std::memcpy(out, in, (std::size_t{width} * format.bitsPerPixel + 7) / 8);
      return;
    case TiffRowKind::Expand2To4:
      Expand2To4(in, width, out);
      return;
    case TiffRowKind::Grey16:
      Grey16(in, width, format.invertGrey, out);
      return;
    case TiffRowKind::Rgb8:
      SwapRedBlue(in, width, samples, 3, 1, out);
      return;
    case TiffRowKind::Rgba8:
      SwapRedBlue(in, width, samples, 4, 1, out);
      return;
    case TiffRowKind::Rgb16:
      SwapRedBlue(in, width, samples * 2, 3, 2, out);
      return;
    case TiffRowKind::Rgba16:
      SwapRedBlue(in, width, samples * 2, 4, 2, out);
      return;
    case TiffRowKind::Cmyk8:
      Cmyk8(in, width, samples, out);
      return;
    case TiffRowKind::Cmyk16:
      Cmyk16(in, width, samples * 2, out);
      return;
  }
}

}  // namespace pixavue::platform::gdiplus
