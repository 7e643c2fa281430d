// Feeds arbitrary bytes to the TIFF decoder, decodes every page it offers
// (forwards, then back to the first), and saves what page 0 decoded to
// with the TIFF encoder. Besides crashes, leaks, hangs and undefined
// behaviour it checks that:
// - any decoded page saves (Ok) and the saved file decodes (Ok) to the
//   same size;
// - pages without premultiplied alpha come back with the same pixel bytes,
//   since the encoder keeps every depth the decoder produces.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "codec.h"
#include "codecs/tiff_io.h"

namespace {

using namespace pixavue::platform;
using namespace pixavue::platform::gdiplus;

// Pixels a page may claim. Larger pages are valid but would only spend the
// fuzzer's memory and time on filling them.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;
// Pages decoded per input; each page change walks the directory chain.
constexpr std::uint32_t kMaxFuzzPages = 64;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Reads the size a page claims through a separate libtiff handle.
class PageClaims final {
 public:
  explicit PageClaims(const std::vector<std::uint8_t>& bytes) : source_(bytes), tif_(OpenTiffReader(source_)) {}

  bool Acceptable(std::uint32_t page) {
    if (!tif_ || !TIFFSetDirectory(tif_.get(), page)) return true;  // the decoder refuses it on its own
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    TIFFGetField(tif_.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif_.get(), TIFFTAG_IMAGELENGTH, &height);
    return std::uint64_t{width} * height <= kMaxFuzzPixels;
  }

 private:
  TiffMemorySource source_;
  TiffHandle tif_;
};

std::vector<std::uint8_t> PixelBytes(const Frame& frame) {
  const PixelBuffer& pixels = frame.pixels;
  const std::size_t rowBytes = (std::size_t{pixels.width()} * GetPixelFormatSize(pixels.format()) + 7) / 8;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) bytes.insert(bytes.end(), pixels.Row(y), pixels.Row(y) + rowBytes);
  return bytes;
}

void Touch(const Frame& frame) {
  volatile std::uint8_t sink = 0;
  for (std::uint8_t byte : PixelBytes(frame)) sink = static_cast<std::uint8_t>(sink + byte);
  for (ARGB colour : frame.palette) sink = static_cast<std::uint8_t>(sink + colour);
}

void SaveAndReload(const Frame& frame) {
  const PropertyStore none;
  std::vector<std::uint8_t> saved;
  Check(EncodeTiff(EncodeSource{frame, none}, nullptr, saved) == Ok);
  DecodedImage reloaded;
  Check(DecodeTiff(std::make_shared<const std::vector<std::uint8_t>>(std::move(saved)), {}, reloaded) == Ok);
  Check(reloaded.frame.pixels.width() == frame.pixels.width());
  Check(reloaded.frame.pixels.height() == frame.pixels.height());
  const PixelFormat format = frame.pixels.format();
  if (format == PixelFormat32bppPARGB || format == PixelFormat64bppPARGB) return;
  Check(reloaded.frame.pixels.format() == format);
  Check(PixelBytes(reloaded.frame) == PixelBytes(frame));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  PageClaims claims(*bytes);
  if (!claims.Acceptable(0)) return 0;
  DecodedImage image;
  if (DecodeTiff(bytes, {}, image) != Ok) return 0;
  Touch(image.frame);
  SaveAndReload(image.frame);
  if (!image.frames) return 0;
  const std::uint32_t count = image.frames->FrameCount();
  Check(count >= 2);
  for (std::uint32_t i = 1; i < count && i < kMaxFuzzPages; ++i) {
    if (!claims.Acceptable(i)) continue;
    Frame frame;
    PropertyStore properties;
    if (image.frames->DecodeFrame(i, frame, properties) == Ok) Touch(frame);
  }
  Frame first;
  PropertyStore properties;
  Check(image.frames->DecodeFrame(0, first, properties) == Ok);
  Check(PixelBytes(first) == PixelBytes(image.frame));
  return 0;
}
