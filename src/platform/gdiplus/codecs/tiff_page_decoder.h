#pragma once
// Decodes the current directory of an open TIFF into a frame: pixels in
// the page's own depth, palette, resolution, the directory's tags as
// properties and, when asked, the embedded ICC profile applied.

#include <cstdint>
#include <span>

#include <tiffio.h>

#include "../codec.h"

namespace pixavue::platform::gdiplus {

// `file` is the whole TIFF, for reading the directory's tags as properties.
// `frame` and `properties` change only on success.
GpStatus DecodeTiffPage(TIFF* tif, std::span<const std::uint8_t> file, const DecodeOptions& options, Frame& frame,
                        PropertyStore& properties);

}  // namespace pixavue::platform::gdiplus
