#pragma once
// Turns a frame into what a GIF stores: a colour table of 2..256 entries
// (a power of two), an optional transparent index and one index a pixel.
//
// Indexed frames keep their palette and indices; the first palette entry
// with alpha 0 becomes the transparent index. Other frames use their own
// colours exactly when there are at most 256 of them (every pixel with
// alpha below 128 counts as one transparent colour; other alpha is dropped).
// With more colours each pixel takes the nearest entry (Euclidean RGB) of a
// fixed table: a 6x6x6 colour cube, 39 greys between black and white, and
// a transparent entry at index 255. This is deterministic and needs no pass
// over the image beyond the mapping itself.

#include <cstdint>
#include <optional>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "../frame.h"

namespace pixavue::platform::gdiplus {

struct GifIndexedPicture final {
  std::vector<ARGB> palette;  // 2, 4, ..., 256 entries
  std::optional<std::uint8_t> transparentIndex;
  std::vector<std::uint8_t> indices;  // width * height, row by row
};

// InvalidParameter for a frame without pixels or of an unsupported format.
GpStatus ToGifIndexed(const Frame& frame, GifIndexedPicture& out);

}  // namespace pixavue::platform::gdiplus
