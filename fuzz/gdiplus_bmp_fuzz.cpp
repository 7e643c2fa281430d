// Feeds arbitrary bytes to the BMP decoder, and the same bytes after the
// file header to the DIB decoder as an icon image would be, then writes
// what the BMP decoder accepts back through the BMP encoder. Besides
// crashes, leaks and undefined behaviour it checks that the encoded file
// decodes again with the same size and, for the formats BMP stores as they
// are, the same pixels.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "codec.h"
#include "codecs/dib.h"

namespace {

using namespace pixavue::platform;

// Pixels the harness lets a header claim (RLE images need no data for
// their size); larger images are valid but would only spend the fuzzer's
// memory on empty rows.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;
constexpr std::size_t kFileHeaderSize = 14;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::uint64_t ClaimedPixels(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return 0;
  const auto le = [&](std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | data[at + static_cast<std::size_t>(i)];
    return v;
  };
  if (le(14, 4) == 12) return std::uint64_t{le(18, 2)} * le(20, 2);
  const auto width = static_cast<std::int32_t>(le(18, 4));
  const auto height = static_cast<std::int32_t>(le(22, 4));
  return static_cast<std::uint64_t>(std::llabs(width)) * static_cast<std::uint64_t>(std::llabs(height));
}

bool StoredAsIs(PixelFormat format) {
  return IsIndexedPixelFormat(format) || format == PixelFormat16bppRGB565 || format == PixelFormat24bppRGB;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ClaimedPixels(data, size) > kMaxFuzzPixels) return 0;
  if (size > kFileHeaderSize) {
    gdiplus::DibOptions options;
    options.icon = true;
    gdiplus::Frame icon;
    gdiplus::DibLayout layout;
    if (gdiplus::DecodeDib(std::span(data + kFileHeaderSize, size - kFileHeaderSize), options, icon, &layout) == Ok) {
      Check(layout.maskOffset == layout.bitsOffset + layout.bitsSize);
      Check(layout.bitsOffset + layout.bitsSize <= size - kFileHeaderSize);
    }
  }

  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeBmp(bytes, {}, image) != Ok) return 0;
  const gdiplus::Frame& frame = image.frame;
  const gdiplus::PropertyStore properties;
  std::vector<std::uint8_t> encoded;
  Check(gdiplus::EncodeBmp({frame, properties}, nullptr, encoded) == Ok);
  gdiplus::DecodedImage again;
  Check(gdiplus::DecodeBmp(std::make_shared<const std::vector<std::uint8_t>>(std::move(encoded)), {}, again) == Ok);
  const gdiplus::PixelBuffer& a = frame.pixels;
  const gdiplus::PixelBuffer& b = again.frame.pixels;
  Check(a.width() == b.width() && a.height() == b.height());
  if (StoredAsIs(a.format())) {
    Check(a.format() == b.format());
    const std::size_t bytesPerRow = std::size_t{a.width()} * GetPixelFormatSize(a.format()) / 8;
    for (std::uint32_t y = 0; y < a.height(); ++y) Check(std::memcmp(a.Row(y), b.Row(y), bytesPerRow) == 0);
  }
  return 0;
}
