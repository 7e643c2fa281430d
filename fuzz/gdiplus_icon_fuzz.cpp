// Feeds arbitrary bytes to the ICO/CUR decoder (directory, entry choice,
// DIB and PNG entries, AND masks) and reads every decoded row.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec.h"

using namespace pixavue::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeIcon(bytes, {}, image) != Ok) return 0;
  const gdiplus::PixelBuffer& pixels = image.frame.pixels;
  const std::size_t rowBytes = static_cast<std::size_t>(pixels.stride());
  volatile std::uint8_t sink = 0;
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    const std::uint8_t* row = pixels.Row(y);
    sink = static_cast<std::uint8_t>(sink + row[0] + row[rowBytes - 1]);
  }
  return 0;
}
