#pragma once
// The device-dependent bitmaps (BITMAP16) that the oldest WMF blit records
// carry inside them: type, width, height, bytes a row, planes, bits a
// pixel, then the rows top first, each padded to a 16-bit word.

#include <cstdint>
#include <optional>
#include <span>

#include "metafile_state.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::metafile {

class MetafileCanvas;

// Decodes `bitmap` into 32bppPARGB. A monochrome bitmap draws its 0 bits in
// `foreground` and its 1 bits in `background` (the text and background
// colours, as a device context converts monochrome sources); 24- and 32-bit
// ones store blue, green, red (and an unused byte). Nullopt for another
// depth, several planes, rows shorter than the width needs, bits missing,
// or more than `maxPixels`.
std::optional<PixelBuffer> DecodeBitmap16(std::span<const std::uint8_t> bitmap, ColorRef foreground,
                                          ColorRef background, std::uint64_t maxPixels);

// Decodes (charging the canvas's budget) and draws `source` (its pixels) of
// the bitmap onto `dest` (logical) with `rop`. A bitmap that does not decode
// draws nothing.
void DrawBitmap16(MetafileCanvas& canvas, std::span<const std::uint8_t> bitmap, const RectD& source,
                  const RectD& dest, std::uint32_t rop);

}  // namespace pixavue::platform::gdiplus::metafile
