#pragma once
// What a JPEG header says besides its pixels: the EXIF block, the ICC
// profile, the resolution and the quantisation tables. Valid once
// jpeg_read_header has returned with APP1 and APP2 markers saved.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "../property_store.h"
#include "jpeg_error.h"

namespace pixavue::platform::gdiplus {

// What starts an APP1 segment holding EXIF data.
inline constexpr std::array<std::uint8_t, 6> kExifSignature{'E', 'x', 'i', 'f', 0, 0};

// The TIFF-structured block of the first APP1 "Exif\0\0" segment, or an
// empty span.
std::span<const std::uint8_t> FindExifBlock(const jpeg_decompress_struct& cinfo);

// The ICC profile from the APP2 chunks, reassembled in sequence order;
// empty when there is none or the chunks are inconsistent.
std::vector<std::uint8_t> ReadIccProfile(jpeg_decompress_struct& cinfo);

struct Resolution final {
  float dpiX = 0;
  float dpiY = 0;
};

// The JFIF density when it has a unit, else the EXIF resolution among
// `properties`; nullopt when the file gives neither.
std::optional<Resolution> FindResolution(const jpeg_decompress_struct& cinfo, const PropertyStore& properties);

// The luminance and chrominance quantisation tables as the library's own
// property items (64 SHORTs each, in natural order).
void AddQuantizationTables(const jpeg_decompress_struct& cinfo, PropertyStore& properties);

}  // namespace pixavue::platform::gdiplus
