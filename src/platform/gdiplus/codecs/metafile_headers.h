#pragma once
// Header readers of the two metafile formats. They fill the frame size and
// resolution that the image reports; the records are played back later.

#include <cstdint>
#include <span>

#include "../codec.h"

namespace pixavue::platform::gdiplus {

// Unit counts outside this range make a placeable header's resolution
// meaningless (1440 twips and 2540 hundredths of a millimetre are usual).
inline constexpr std::uint16_t kMaxWmfUnitsPerInch = 10000;

// A Windows metafile, with or without the 22-byte placeable header.
//
// Placeable: the bounds are the header's box in its logical units and the
// resolution is its units per inch; the checksum (XOR of the first ten
// words) must match, as nothing else in the file vouches for that box.
// The standard header (type 1 or 2, 9 words, version 0x100 or 0x300)
// must follow.
//
// Plain: the records are scanned up to the end record for the first
// SetWindowOrg and SetWindowExt, which give the bounds at 96 dpi; a file
// with no window extent is refused.
//
// InvalidParameter for anything corrupt, truncated or missing; OutOfMemory
// for a side over kMaxImageSide.
GpStatus ReadWmfHeader(std::span<const std::uint8_t> data, MetafileInfo& out);

// True when the Windows metafile `metafile` (from its METAHEADER on, records
// up to the end record all inside it) has a SetWindowExt record.
bool WmfSetsWindowExtent(std::span<const std::uint8_t> metafile);

// An enhanced metafile's EMR_HEADER. The resolution is the reference
// device's pixels per millimetre (szlDevice / szlMillimeters) times 25.4,
// 96 when the millimetre size is not positive. The bounds are the picture
// frame (rclFrame, hundredths of a millimetre) at that resolution, rounded;
// when the frame is empty the inclusive device bounds (rclBounds) are used.
// nSize and nBytes must be consistent with the file.
GpStatus ReadEmfHeader(std::span<const std::uint8_t> data, MetafileInfo& out);

// Ok when both sides of the bounds are 1..kMaxImageSide (OutOfMemory above,
// InvalidParameter for an empty side).
GpStatus CheckMetafileBounds(const GpRect& bounds);

}  // namespace pixavue::platform::gdiplus
