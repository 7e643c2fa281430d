#pragma once
// The data handles of the clipboard formats: which handles a format
// accepts, how the clipboard deletes them, and the conversions between
// CF_BITMAP and CF_DIB.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <pixavue/platform/ole/clipboard.h>

namespace pixavue::platform::clipboard {

// Whether `data` is a live handle of the kind `format` takes.
bool AcceptsData(UINT format, HANDLE data);
// Deletes data the clipboard owns (with the metafile of a CF_METAFILEPICT).
void DeleteData(UINT format, HANDLE data);

// A new global memory block with the packed DIB of a bitmap (see
// picture_dib.h); 0 when that cannot be made.
HGLOBAL DibBlockFromBitmap(HBITMAP bitmap);
// A new DIB section from the packed DIB in a block; 0 when there is none.
HBITMAP BitmapFromDibBlock(HGLOBAL block);

// A new block holding `bytes`; 0 when memory runs out.
HGLOBAL BlockWithBytes(std::span<const std::uint8_t> bytes);
// A copy of the block's bytes; nullopt for a bad handle.
std::optional<std::vector<std::uint8_t>> BlockBytes(HGLOBAL block);

}  // namespace pixavue::platform::clipboard
