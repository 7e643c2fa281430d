// Feeds arbitrary bytes to the JPEG decoder with colour management on, so
// that the EXIF reader, ICC reassembly and lcms2 see hostile data too, and
// reads every decoded row.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec.h"
#include "fuzz_frames.h"

namespace {

using namespace pixavue::platform;

// Pixels the harness lets a header claim. Larger images are valid but
// would only spend the fuzzer's time and memory on filling grey rows.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;

// Width times height from the first SOFn segment, or 0 when none is found.
std::uint64_t ClaimedPixels(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 2;
  while (at + 9 <= size && data[at] == 0xFF) {
    const std::uint8_t marker = data[at + 1];
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      const std::uint64_t height = (std::uint64_t{data[at + 5]} << 8) | data[at + 6];
      const std::uint64_t width = (std::uint64_t{data[at + 7]} << 8) | data[at + 8];
      return width * height;
    }
    at += 2 + ((std::size_t{data[at + 2]} << 8) | data[at + 3]);
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (ClaimedPixels(data, size) > kMaxFuzzPixels) return 0;
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodeOptions options;
  options.useEmbeddedColorManagement = true;
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeJpeg(bytes, options, image) != Ok) return 0;
  pixavue::fuzz::TouchFrame(image.frame);
  return 0;
}
