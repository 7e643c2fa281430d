// Feeds arbitrary bytes to the ICO/CUR decoder (directory, entry choice,
// DIB and PNG entries, AND masks) and reads every decoded row.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec.h"
#include "fuzz_frames.h"

using namespace pixavue::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeIcon(bytes, {}, image) != Ok) return 0;
  pixavue::fuzz::TouchFrame(image.frame);
  return 0;
}
