// Feeds arbitrary bytes to the PNG decoder (colour-managed), then the same
// bytes with every chunk CRC recomputed, so that mutations reach past the
// CRC checks, and writes what that decode accepts back through the PNG
// encoder. Besides crashes,
// leaks and undefined behaviour it checks that a decoded frame survives
// encoding and decoding again with the same pixel format, palette and
// pixels.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "codec.h"

namespace {

using namespace pixavue::platform;

// Pixels the harness lets an IHDR claim; larger images are valid but would
// only spend the fuzzer's time on inflating and copying empty rows.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::uint64_t ClaimedPixels(const std::uint8_t* data, std::size_t size) {
  if (size < 24) return 0;
  const auto be32 = [&](std::size_t at) {
    return (std::uint64_t{data[at]} << 24) | (std::uint64_t{data[at + 1]} << 16) | (data[at + 2] << 8) | data[at + 3];
  };
  return be32(16) * be32(20);
}

bool SameRows(const gdiplus::PixelBuffer& a, const gdiplus::PixelBuffer& b) {
  const std::size_t bits = std::size_t{a.width()} * GetPixelFormatSize(a.format());
  for (std::uint32_t y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), bits / 8) != 0) return false;
    const unsigned rest = bits % 8;
    if (rest != 0 && ((a.Row(y)[bits / 8] ^ b.Row(y)[bits / 8]) & (0xFF << (8 - rest)) & 0xFF) != 0) return false;
  }
  return true;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  static const auto table = [] {
    std::vector<std::uint32_t> t(256);
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// Rewrites the CRC of every complete chunk after the signature.
std::vector<std::uint8_t> WithValidCrcs(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  std::size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const std::size_t length =
        (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
    if (length > bytes.size() - at - 12) break;
    const std::uint32_t crc = Crc32(bytes.data() + at + 4, length + 4);
    for (std::size_t i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    at += length + 12;
  }
  return bytes;
}

gdiplus::EncodedBytes Shared(const std::uint8_t* data, std::size_t size) {
  return std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ClaimedPixels(data, size) > kMaxFuzzPixels) return 0;
  const gdiplus::EncodedBytes bytes = Shared(data, size);
  gdiplus::DecodedImage managed;
  gdiplus::DecodeOptions options;
  options.useEmbeddedColorManagement = true;
  gdiplus::DecodePng(bytes, options, managed);

  const std::vector<std::uint8_t> fixed = WithValidCrcs(data, size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodePng(Shared(fixed.data(), fixed.size()), {}, image) != Ok) return 0;
  const gdiplus::Frame& frame = image.frame;
  const gdiplus::PropertyStore properties;
  std::vector<std::uint8_t> encoded;
  Check(gdiplus::EncodePng({frame, properties}, nullptr, encoded) == Ok);
  gdiplus::DecodedImage again;
  Check(gdiplus::DecodePng(Shared(encoded.data(), encoded.size()), {}, again) == Ok);
  Check(again.frame.pixels.format() == frame.pixels.format());
  Check(again.frame.pixels.width() == frame.pixels.width() && again.frame.pixels.height() == frame.pixels.height());
  Check(SameRows(again.frame.pixels, frame.pixels));
  // The palette written is extended with opaque black to cover every index.
  const std::vector<ARGB>& palette = again.frame.palette;
  Check(palette.size() >= frame.palette.size());
  for (std::size_t i = 0; i < palette.size(); ++i) {
    Check(palette[i] == (i < frame.palette.size() ? frame.palette[i] : 0xFF000000u));
  }
  return 0;
}
