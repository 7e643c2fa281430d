// Feeds arbitrary bytes to the WMF/EMF header readers and checks that an
// accepted header always reports bounds within the image limits.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "codec.h"
#include "image_limits.h"

using namespace pixavue::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  gdiplus::DecodedImage image;
  if (gdiplus::DecodeMetafile(bytes, {}, image) != Ok) return 0;
  const GpRect& bounds = image.metafile.boundsPixels;
  const bool sane = image.isMetafile && bounds.Width > 0 && bounds.Height > 0 &&
                    bounds.Width <= static_cast<INT>(gdiplus::kMaxImageSide) &&
                    bounds.Height <= static_cast<INT>(gdiplus::kMaxImageSide) && image.metafile.dpiX > 0 &&
                    image.metafile.dpiY > 0;
  if (!sane) std::abort();
  return 0;
}
