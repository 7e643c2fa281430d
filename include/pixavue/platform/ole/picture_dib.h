#pragma once
// Packed DIBs (a BITMAPINFOHEADER, the masks or colour table, the rows) of
// bitmaps of the graphics table: the form in which bitmap pictures are saved
// and in which the clipboard exchanges them (CF_DIB).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <pixavue/platform/gdi/gdi_types.h>

namespace pixavue::platform {

// The bitmap's pixels in its own format, rows bottom-up, with its colour
// table (biClrUsed entries) or, for BI_BITFIELDS, the three masks after the
// 40-byte header. nullopt for a handle that is not a bitmap or when memory
// runs out.
std::optional<std::vector<std::uint8_t>> PackedDibFromBitmap(HBITMAP bitmap);

// A new DIB section with the pixels of a packed DIB. The header may be 40,
// 108 or 124 bytes; the rows start after the masks (BI_BITFIELDS with a
// 40-byte header) and the colour table (biClrUsed entries, or 2^bits for 8
// bits and fewer when biClrUsed is 0). 0 when the bytes do not hold a
// complete DIB that CreateDIBSection accepts.
HBITMAP BitmapFromPackedDib(std::span<const std::uint8_t> dib);

}  // namespace pixavue::platform
