// Plays arbitrary bytes that pass the WMF/EMF header readers at two small
// output sizes: no crash, hang, leak or read outside the data, and every
// status is one playback documents.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "codec.h"
#include "image.h"
#include "metafile_render.h"

using namespace pixavue::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage decoded;
  if (gdiplus::DecodeMetafile(bytes, {}, decoded) != Ok) return 0;
  auto image = gdiplus::ImageFromDecoded(std::move(decoded));
  image->metafileBytes = bytes;
  for (const auto& [width, height] : {std::pair{48, 32}, std::pair{7, 60}}) {
    gdiplus::PixelBuffer out;
    const GpStatus status = gdiplus::RenderMetafile(*image, width, height, out);
    if (status != Ok && status != InvalidParameter) std::abort();
    if (status == Ok && (out.width() != static_cast<std::uint32_t>(width) || out.format() != PixelFormat32bppPARGB)) {
      std::abort();
    }
  }
  return 0;
}
