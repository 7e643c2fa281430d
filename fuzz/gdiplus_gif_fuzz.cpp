// Feeds arbitrary bytes to the GIF decoder and composites every frame of
// what it accepts, stepping forwards and then jumping back, so that the
// record reader, clipping, disposal and the frame cache see hostile data.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec.h"
#include "fuzz_frames.h"

namespace {

using namespace pixavue::platform;

// Screen pixels the harness lets a header claim. Larger screens are valid
// but would only spend the fuzzer's memory on copying empty canvases.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 22;
// Canvas pixels copied over all frames of one input.
constexpr std::uint64_t kMaxFuzzFramePixels = std::uint64_t{1} << 24;

std::uint64_t ClaimedPixels(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return 0;
  const std::uint64_t width = data[6] | (data[7] << 8);
  const std::uint64_t height = data[8] | (data[9] << 8);
  return width * height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t screen = ClaimedPixels(data, size);
  if (screen > kMaxFuzzPixels) return 0;
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeGif(bytes, {}, image) != Ok) return 0;
  pixavue::fuzz::TouchFrame(image.frame);
  if (!image.frames) return 0;
  const std::uint32_t count = image.frames->FrameCount();
  std::uint32_t budget = static_cast<std::uint32_t>(kMaxFuzzFramePixels / (screen == 0 ? 1 : screen));
  for (std::uint32_t i : {count - 1, 0u}) {
    gdiplus::Frame frame;
    gdiplus::PropertyStore properties;
    if (image.frames->DecodeFrame(i, frame, properties) == Ok) pixavue::fuzz::TouchFrame(frame);
  }
  for (std::uint32_t i = 1; i < count && budget > 0; ++i, --budget) {
    gdiplus::Frame frame;
    gdiplus::PropertyStore properties;
    if (image.frames->DecodeFrame(i, frame, properties) == Ok) pixavue::fuzz::TouchFrame(frame);
  }
  return 0;
}
