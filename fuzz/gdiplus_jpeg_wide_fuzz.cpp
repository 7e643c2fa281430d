// Feeds arbitrary bytes to the layer's own JPEG decoder (the 12-bit DCT
// and lossless data of TIFF pages) and reads every decoded row. The first
// byte chooses the component count the caller expects, the next two the
// length of an abbreviated table stream that comes before the image
// stream, as a TIFF's JPEGTables does. Besides crashes, leaks, hangs and
// undefined behaviour it checks that a decoded frame is what was expected.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include "codecs/jpeg_wide_decoder.h"
#include "load_budget.h"

namespace {

using namespace pixavue::platform;
using namespace pixavue::platform::gdiplus;

// Frames larger than this are valid but would only spend the fuzzer's time.
constexpr std::uint32_t kMaxFuzzSide = 1024;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  WideJpegExpectation expected;
  expected.components = static_cast<std::uint16_t>(1 + data[0] % 4);
  expected.maxWidth = kMaxFuzzSide;
  expected.maxHeight = kMaxFuzzSide;
  const std::span<const std::uint8_t> rest(data + 3, size - 3);
  const std::size_t tableBytes = std::min<std::size_t>(data[1] | (std::size_t{data[2]} << 8), rest.size());
  LoadBudgetScope budget(std::uint64_t{64} << 20);
  WideJpegImage image;
  if (DecodeWideJpeg(rest.first(tableBytes), rest.subspan(tableBytes), expected, image) != Ok) return 0;
  Check(image.components() == expected.components);
  Check(image.width() >= 1 && image.width() <= kMaxFuzzSide && image.height() >= 1 && image.height() <= kMaxFuzzSide);
  std::vector<std::uint16_t> row(std::size_t{image.width()} * image.components());
  volatile std::uint16_t sink = 0;
  for (std::uint32_t y = 0; y < image.height(); ++y) {
    image.ReadRow(y, image.width(), image.components() == 3, row.data());
    for (std::uint16_t value : row) sink = static_cast<std::uint16_t>(sink + value);
  }
  return 0;
}
