#pragma once
// Building blocks shared by the EXIF reader and writer: the field types of
// TIFF directory entries with the property type each one is reported as,
// the sub-directory pointer tags, and byte-order conversion of values.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "byte_reader.h"

namespace pixavue::platform::gdiplus::exif {

inline constexpr std::uint16_t kExifPointerTag = 0x8769;
inline constexpr std::uint16_t kGpsPointerTag = 0x8825;
inline constexpr std::uint16_t kInteropPointerTag = 0xA005;

// Entries taken from one directory when reading, and written at most.
inline constexpr std::size_t kMaxDirectoryEntries = 1000;

// How the values of one entry field type are laid out and reported.
struct FieldType final {
  std::uint8_t elementSize = 0;  // bytes per counted element; 0 for an unknown type
  std::uint8_t swapUnit = 1;     // bytes reversed together when the byte order changes
  WORD propertyType = 0;         // the property type code the value is reported as
};

// Types without a property type code of their own are reported as the
// nearest one: SBYTE as BYTE, SSHORT as SHORT, IFD as LONG; FLOAT, DOUBLE
// and the 64-bit BigTIFF types as UNDEFINED bytes, still put in machine
// order element by element.
constexpr FieldType DescribeFieldType(std::uint16_t type) {
  switch (type) {
    case 1: return {1, 1, PropertyTagTypeByte};
    case 2: return {1, 1, PropertyTagTypeASCII};
    case 3: return {2, 2, PropertyTagTypeShort};
    case 4: return {4, 4, PropertyTagTypeLong};
    case 5: return {8, 4, PropertyTagTypeRational};
    case 6: return {1, 1, PropertyTagTypeByte};        // SBYTE
    case 7: return {1, 1, PropertyTagTypeUndefined};
    case 8: return {2, 2, PropertyTagTypeShort};       // SSHORT
    case 9: return {4, 4, PropertyTagTypeSLONG};
    case 10: return {8, 4, PropertyTagTypeSRational};
    case 11: return {4, 4, PropertyTagTypeUndefined};  // FLOAT
    case 12: return {8, 8, PropertyTagTypeUndefined};  // DOUBLE
    case 13: return {4, 4, PropertyTagTypeLong};       // IFD
    case 16:                                           // LONG8
    case 17:                                           // SLONG8
    case 18: return {8, 8, PropertyTagTypeUndefined};  // IFD8
    default: return {};
  }
}

constexpr bool IsMachineOrder(ByteOrder order) {
  return (order == ByteOrder::Little) == (std::endian::native == std::endian::little);
}

// Reverses each `unit`-byte group when `order` is not the machine's order;
// the same call converts to and from machine order.
inline void ConvertByteOrder(std::span<std::uint8_t> bytes, std::size_t unit, ByteOrder order) {
  if (unit < 2 || IsMachineOrder(order)) return;
  for (std::size_t at = 0; at + unit <= bytes.size(); at += unit) {
    std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                 bytes.begin() + static_cast<std::ptrdiff_t>(at + unit));
  }
}

}  // namespace pixavue::platform::gdiplus::exif
