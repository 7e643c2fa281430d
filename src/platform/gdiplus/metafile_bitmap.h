#pragma once
// Bitmaps inside metafile records (device-independent bitmaps) decoded into
// 32bppPARGB pixels for drawing.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "metafile_state.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::metafile {

class MetafileCanvas;

// Largest bitmap a record may draw, and the largest brush pattern.
inline constexpr std::uint64_t kMaxBlitPixels = std::uint64_t{1} << 26;
inline constexpr std::uint64_t kMaxPatternPixels = 256 * 256;

struct BlitSource final {
  PixelBuffer pixels;     // 32bppPARGB, top row first
  bool bottomUp = false;  // the DIB stored its rows bottom-up
};

// |width| x |height| as the DIB's header states them; nullopt when there is
// no readable header.
std::optional<std::uint64_t> DibPixelCount(std::span<const std::uint8_t> info);

// Decodes the DIB whose header and colour table are `info` and whose pixel
// bits are `bits`; empty `bits`: they follow the colour table inside `info`
// (a packed DIB). Nullopt for a DIB that does not decode, over `maxPixels`
// or wider or higher than cairo draws.
std::optional<BlitSource> DecodeBlitSource(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits,
                                           std::uint64_t maxPixels);

// A bitmap record's drawing: the DIB (as for DecodeBlitSource), the source
// rectangle in its pixels, the destination in logical units.
struct DibBlit final {
  std::span<const std::uint8_t> info;
  std::span<const std::uint8_t> bits;
  RectD source;
  // The source's y counts from the bottom row of a bottom-up DIB
  // (StretchDIBits and SetDIBitsToDevice), not from the top.
  bool yFromBottom = false;
  RectD dest;
  std::uint32_t rop = 0;
};

// Decodes and draws, charging the decoding to the canvas's budget. A DIB
// that does not decode draws nothing.
void DrawDib(MetafileCanvas& canvas, const DibBlit& blit);

// A brush pattern from a DIB; null when it does not decode, is too large or
// the budget is spent. Patterns are charged by their size, which bounds the
// memory a file's brushes can hold.
std::shared_ptr<const PixelBuffer> DecodePattern(MetafileCanvas& canvas, std::span<const std::uint8_t> info,
                                                 std::span<const std::uint8_t> bits);

}  // namespace pixavue::platform::gdiplus::metafile
