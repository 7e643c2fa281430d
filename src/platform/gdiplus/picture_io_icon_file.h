#pragma once
// ICO and CUR files of the picture loader and saver: the hotspot of the
// cursor image the decoder shows, and a file written from an icon handle.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <pixavue/platform/gdi/gdi_types.h>

namespace pixavue::platform::gdiplus {

struct IconKind final {
  bool isIcon = true;  // false for a cursor
  DWORD hotspotX = 0;
  DWORD hotspotY = 0;
};

// Icon or cursor, and for a cursor the hotspot of the image the icon
// decoder chooses; nullopt when the directory is malformed.
std::optional<IconKind> ReadIconKind(std::span<const std::uint8_t> file);

// A file of one 32-bit image with its AND mask (type 2 with the hotspot for
// a cursor). The colour comes from the colour bitmap, its alpha from the
// bitmap when it is 32 bits with any alpha, else from the mask; a
// monochrome icon takes black and white from the lower half of its mask.
// nullopt for a handle that is not an icon or when memory runs out.
std::optional<std::vector<std::uint8_t>> IconFileBytes(HICON icon);

}  // namespace pixavue::platform::gdiplus
