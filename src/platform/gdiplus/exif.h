#pragma once
// EXIF and TIFF directories as property items. Reading follows every
// directory (IFD0, EXIF, GPS, Interop) with each offset and count checked
// against the block; values come out in the machine's byte order. Writing
// makes the TIFF-structured block that follows "Exif\0\0" in a JPEG APP1
// segment.

#include <cstdint>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "byte_reader.h"
#include "property_store.h"

namespace pixavue::platform::gdiplus {

// Parses a TIFF-structured block ("II*\0" or "MM\0*" at offset 0) and adds
// the entries of IFD0 and its EXIF, GPS and Interop sub-directories to
// `out`. Damaged entries are skipped; a block without a valid header gives
// InvalidParameter and adds nothing.
GpStatus ReadExifProperties(std::span<const std::uint8_t> block, PropertyStore& out);

// Adds the entries of the directory at `ifdOffset` of a TIFF file, and of
// its EXIF and GPS sub-directories, to `out` (the TIFF decoder's page
// tags).
GpStatus ReadTiffDirectoryProperties(std::span<const std::uint8_t> tiff, std::uint64_t ifdOffset,
                                     PropertyStore& out);

// Serialises the properties that belong in EXIF directories (IFD0, EXIF,
// GPS tags) in the given byte order. Empty when there is none to write.
std::vector<std::uint8_t> WriteExifBlock(const PropertyStore& properties, ByteOrder order = ByteOrder::Little);

}  // namespace pixavue::platform::gdiplus
