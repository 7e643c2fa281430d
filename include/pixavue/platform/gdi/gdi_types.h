#pragma once
// Handles and structures of the graphics device interface, with the layouts
// and constant values the control was designed against.
//
// Every handle is a key into the process's table of graphics objects (see
// gdi.h), never a pointer: a value that is not in the table is refused by
// every function. 0 is "no object". Handles of the different kinds are
// distinct types; ToGdiObject turns any of them into the generic HGDIOBJ that
// SelectObject, GetObject, GetObjectType and DeleteObject take.

#include <cstdint>

#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

enum class HGDIOBJ : std::uintptr_t {};
enum class HBITMAP : std::uintptr_t {};
enum class HPALETTE : std::uintptr_t {};
enum class HDC : std::uintptr_t {};
enum class HICON : std::uintptr_t {};
enum class HMETAFILE : std::uintptr_t {};
enum class HENHMETAFILE : std::uintptr_t {};

template <class Handle>
constexpr HGDIOBJ ToGdiObject(Handle handle) {
  return HGDIOBJ{static_cast<std::uintptr_t>(handle)};
}
template <class Handle>
constexpr Handle FromGdiObject(HGDIOBJ object) {
  return Handle{static_cast<std::uintptr_t>(object)};
}
template <class Handle>
constexpr std::uintptr_t HandleBits(Handle handle) {
  return static_cast<std::uintptr_t>(handle);
}

using COLORREF = std::uint32_t;  // 0x00BBGGRR

// GetObjectType results.
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_PAL = 5;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_METAFILE = 9;
inline constexpr DWORD OBJ_MEMDC = 10;
inline constexpr DWORD OBJ_ENHMETAFILE = 13;

// biCompression values.
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;

// Colour-table usage of DIB functions.
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

#pragma pack(push, 2)
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  std::uint16_t bmPlanes = 0;
  std::uint16_t bmBitsPixel = 0;
  void* bmBits = nullptr;  // the pixels of a DIB section, null for other bitmaps
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // positive: bottom-up rows; negative: top-down
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
};

// The header is followed in memory by the colour table (or the three
// BI_BITFIELDS masks); bmiColors is its first entry, as in the C layout.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {};
  std::uintptr_t dshSection = 0;
  DWORD dsOffset = 0;
};

struct PALETTEENTRY {
  std::uint8_t peRed = 0;
  std::uint8_t peGreen = 0;
  std::uint8_t peBlue = 0;
  std::uint8_t peFlags = 0;
};

struct LOGPALETTE {
  std::uint16_t palVersion = 0x300;
  std::uint16_t palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

using BOOL = std::int32_t;

// An icon (fIcon true) or cursor: an AND mask and a colour bitmap. A
// monochrome icon has no colour bitmap and a mask of twice the height (AND
// mask above XOR mask).
struct ICONINFO {
  BOOL fIcon = 1;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask{};
  HBITMAP hbmColor{};
};

struct SIZEL {
  LONG cx = 0;
  LONG cy = 0;
};

// Mapping modes of a metafile picture.
inline constexpr LONG MM_TEXT = 1;
inline constexpr LONG MM_ISOTROPIC = 7;
inline constexpr LONG MM_ANISOTROPIC = 8;

// A metafile picture (clipboard format 3): extents in 0.01 mm for the
// isotropic and anisotropic mapping modes.
struct METAFILEPICT {
  LONG mm = MM_ANISOTROPIC;
  LONG xExt = 0;
  LONG yExt = 0;
  HMETAFILE hMF{};
};

// The header that opens a Windows metafile (after the placeable header, when
// there is one). 18 bytes, packed.
#pragma pack(push, 2)
struct METAHEADER {
  std::uint16_t mtType = 0;
  std::uint16_t mtHeaderSize = 0;
  std::uint16_t mtVersion = 0;
  DWORD mtSize = 0;  // in 16-bit words
  std::uint16_t mtNoObjects = 0;
  DWORD mtMaxRecord = 0;
  std::uint16_t mtNoParameters = 0;
};
#pragma pack(pop)
static_assert(sizeof(METAHEADER) == 18);

// The header record of an enhanced metafile, up to the fields every version
// has (88 bytes).
struct ENHMETAHEADER {
  DWORD iType = 1;
  DWORD nSize = 0;
  RECT rclBounds;  // device units, inclusive
  RECT rclFrame;   // 0.01 mm, inclusive
  DWORD dSignature = 0x464D4520;  // " EMF"
  DWORD nVersion = 0x10000;
  DWORD nBytes = 0;
  DWORD nRecords = 0;
  std::uint16_t nHandles = 0;
  std::uint16_t sReserved = 0;
  DWORD nDescription = 0;
  DWORD offDescription = 0;
  DWORD nPalEntries = 0;
  SIZEL szlDevice;
  SIZEL szlMillimeters;
};
static_assert(sizeof(ENHMETAHEADER) == 88);

}  // namespace pixavue::platform
