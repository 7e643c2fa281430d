#pragma once
// Conversions between pixel formats. Every listed format can be read as
// 32- or 64-bit ARGB (not premultiplied) and every non-indexed format can
// be written from it; whole areas convert between any two formats except
// into an indexed format from anything but the same indexed format.

#include <cstdint>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// Reads `count` pixels from (x, y) rightwards as 32bppARGB, not
// premultiplied. Indexed pixels go through the palette (an index past its
// end reads as opaque black).
void ReadArgb32(const Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, ARGB* out);

// The same with 16 bits a channel: A in bits 48-63, then R, G, B. 48- and
// 64-bit formats are exact; 8-bit channels are widened by v * 257.
void ReadArgb64(const Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint64_t* out);

// Writes `count` 32bppARGB pixels (not premultiplied) at (x, y) rightwards
// into a frame of a non-indexed format. Returns false for indexed formats.
bool WriteArgb32(Frame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t count, const ARGB* in);

// Copies the area `rect` of `source` into a new owned frame of `format`,
// keeping the resolution. An indexed `format` needs a source of that same
// format (the palette is copied); otherwise InvalidParameter. OutOfMemory
// when the buffer cannot be allocated.
GpStatus ConvertArea(const Frame& source, const GpRect& rect, PixelFormat format, Frame& out);

// Converts the area `rect` of `source` into `target` with its top-left
// pixel at (targetX, targetY); both areas must lie inside their buffers.
// The same rules as ConvertArea hold for an indexed target. Bits of a
// partly covered byte outside the area are kept.
GpStatus CopyPixels(const Frame& source, const GpRect& rect, const PixelBuffer& target, std::uint32_t targetX,
                    std::uint32_t targetY);

// True when `rect` is non-empty and lies inside the pixels.
bool AreaInside(const GpRect& rect, const PixelBuffer& pixels) noexcept;

// A non-owning view of the same pixels.
PixelBuffer ViewOf(const PixelBuffer& pixels) noexcept;

// Bytes that `width` pixels of `format` fill without row padding.
std::uint64_t PackedRowBytes(PixelFormat format, std::uint32_t width) noexcept;

// True for every format this layer stores, locks and converts.
bool IsSupportedPixelFormat(PixelFormat format) noexcept;

}  // namespace pixavue::platform::gdiplus
