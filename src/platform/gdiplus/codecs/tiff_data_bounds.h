#pragma once
// Checks, before anything is allocated for a page, that its strips or
// tiles lie inside the file and that their bytes can hold the page: each
// compression expands its data by at most a known ratio (none at all for
// uncompressed data), so a page claiming more than its data can give is
// damaged and refused at once instead of after its pixels were allocated.

#include <cstdint>

#include <tiffio.h>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "tiff_page_layout.h"

namespace pixavue::platform::gdiplus {

// Most bytes one byte of data decodes to, or 0 when the compression has no
// such bound (fax codes describe a blank row in a few bits).
std::uint64_t TiffExpansionBound(std::uint16_t compression) noexcept;

// InvalidParameter when a strip or tile starts or ends outside the file,
// or when their bytes together cannot decode to the page.
GpStatus CheckTiffPageData(TIFF* tif, const TiffPageInfo& info, std::uint64_t fileSize);

}  // namespace pixavue::platform::gdiplus
