#pragma once
// The directory of an ICO or CUR file and the choice of the image to show:
// the largest (width x height, a stored 0 meaning 256), then the deepest
// (a DIB's header bit count, a PNG's bits a pixel from its IHDR), then the
// first listed.

#include <cstdint>
#include <optional>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

inline constexpr std::uint16_t kMaxIconEntries = 512;

struct IconEntry final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  bool png = false;
  std::span<const std::uint8_t> bytes;  // the image, inside the file
};

// The best entry among those lying inside the file. InvalidParameter when
// the directory is malformed (bad type, no entries, more than 512, a
// directory past the end) or no entry lies inside the file.
GpStatus ChooseIconEntry(std::span<const std::uint8_t> file, IconEntry& best);

}  // namespace pixavue::platform::gdiplus
