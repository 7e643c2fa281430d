#pragma once
// The graphics device interface of the platform: one process-wide table of
// bitmaps (every one stored as a device-independent bitmap), palettes,
// icons, metafile handles and device contexts, guarded by a mutex.
//
// Handles are keys into the table, never pointers. A handle that is not in
// the table, or that names an object of another kind, is refused (the
// function returns 0, null or false) and never dereferenced.

#include <cstddef>
#include <cstdint>

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

using BYTE = std::uint8_t;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// --- Bitmaps -----------------------------------------------------------------

// A bitmap of 1, 4, 8, 16, 24 or 32 bits a pixel. `bits`, when given, holds
// top-down rows padded to 2 bytes; otherwise the pixels are zero. One bit a
// pixel gets a black and white colour table; 4 and 8 bits a grey ramp.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// 32 bits a pixel (blue, green, red, unused), zeroed; 1 bit a pixel when the
// context is a memory context whose selected bitmap is monochrome.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A DIB section of 1, 4, 8, 16, 24 or 32 bits a pixel, BI_RGB or (16 and 32
// bits) BI_BITFIELDS. `*bits` receives the pixel rows in the header's order
// (bottom-up when biHeight > 0), which the caller may read and write while
// the bitmap lives. DIB_PAL_COLORS is refused.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, std::uintptr_t section,
                         DWORD offset);
// Copies scan lines [start, start + lines) out of the bitmap into rows in the
// format `info` asks for; scan line 0 is the bottom row for a bottom-up
// request (biHeight > 0) and the top row for a top-down one. 16, 24 and
// 32-bit requests take any bitmap; 1, 4 and 8-bit requests only a bitmap of
// that depth, and receive its colour table. A zero biBitCount fills in the
// bitmap's header only. Null `bits`: fills in biSizeImage (and the table)
// and returns the height. Returns the number of rows copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// Writes scan lines [start, start + lines) of a DIB described by `info` (the
// same numbering) into the bitmap, converting to its format (indexed
// bitmaps take the nearest entry of their table). Returns the rows written.
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);

// --- Palettes ----------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* palette);
// Copies up to `count` entries from `start`; with null `entries`, returns
// the number of entries of the palette.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);

// --- Icons -------------------------------------------------------------------

// Copies both bitmaps of `info`; the caller keeps its own. A mask is
// required; a missing colour bitmap makes a monochrome icon (mask twice as
// high as the icon).
HICON CreateIconIndirect(const ICONINFO* info);
// Fills `info` with NEW copies of the mask and colour bitmaps, which the
// caller deletes with DeleteObject.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);

// --- Metafiles ---------------------------------------------------------------
// The table keeps the bytes; only the headers are checked here (a Windows
// metafile's METAHEADER, an enhanced metafile's header record).

HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data);
// Size 0 or null data: the size needed. Otherwise copies the bytes when they
// fit in `size` and returns their count, else 0.
UINT GetMetaFileBitsEx(HMETAFILE metafile, UINT size, void* data);
BOOL DeleteMetaFile(HMETAFILE metafile);
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data);
UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* data);
// Null header: the size of the header record. Otherwise copies up to `size`
// bytes of the header record (at most sizeof(ENHMETAHEADER)).
UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header);
BOOL DeleteEnhMetaFile(HENHMETAFILE metafile);
// A copy in memory (null file name) or written to the file and returned as
// a new handle. The file is replaced atomically, and only when it is a
// regular file (see file_replacement.h); null when it cannot be written.
HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile, const char* fileName);

// --- Device contexts ---------------------------------------------------------

// kNoWindow: the screen context (32 bits a pixel, 96 dpi, no pixels: drawing
// on it is clipped away). A live window of the calling thread: a context whose
// bitmap is the window's retained surface (32 bits, top-down, blue, green,
// red, alpha), resized to the client area on each call. The surface is kept
// until ReleaseWindowSurface or the window's destruction (or, while a context
// still shows it then, until a later GetDC or WindowSurface finds the window
// gone).
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// Frees the retained surface of the window; false when there is none or it
// is still selected into a context that was not released.
bool ReleaseWindowSurface(HWND window);

// A memory context with a 1 x 1 monochrome stock bitmap selected.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Selects a bitmap (into a memory context; a bitmap is in at most one
// context at a time) or a palette; returns the previous object of that kind,
// 0 on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// BITSPIXEL, PLANES, LOGPIXELSX/Y, HORZRES/VERTRES (the size of the selected
// bitmap; the screen: its nominal size). Other indices: 0.
int GetDeviceCaps(HDC dc, int index);
// OBJ_BITMAP or OBJ_PAL: the selected object of that kind.
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// --- Objects -----------------------------------------------------------------

// Bitmaps: a BITMAP (bmBits set for DIB sections), or a DIBSECTION when
// `size` >= sizeof(DIBSECTION) and the bitmap is a DIB section. Palettes: a
// WORD entry count. Null `out`: the size that would be written. Returns the
// bytes written, 0 on failure.
int GetObject(HGDIOBJ object, int size, void* out);
// OBJ_BITMAP, OBJ_PAL, OBJ_DC, OBJ_MEMDC, OBJ_METAFILE, OBJ_ENHMETAFILE; 0
// for anything else (icons are not GDI objects).
DWORD GetObjectType(HGDIOBJ object);
// Bitmaps, palettes and metafiles. A bitmap selected into a context, a stock
// object or an unknown handle is not deleted: false.
BOOL DeleteObject(HGDIOBJ object);
// Live objects of the process (bitmaps, palettes, icons, metafiles,
// contexts; stock objects excluded), for leak checks.
std::size_t GdiObjectCount();

}  // namespace pixavue::platform
