#pragma once
// Playback of a metafile image (WMF or EMF) into pixels.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "image.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus {

// Plays the records of `metafile` into a new 32bppPARGB buffer of width x
// height pixels: transparent where nothing is drawn, the whole frame of the
// metafile (its bounds) scaled to fill the buffer.
//
// Records the player does not know are skipped; a record whose size or
// counts do not fit the file ends playback there, keeping what was drawn.
// Playback work is bounded, so a hostile file finishes in bounded time.
//
// Returns Ok; InvalidParameter when `metafile` is not a metafile image or
// has no records, or for a non-positive size; OutOfMemory above the image
// size limits or when memory runs out (`out` is left untouched on failure).
GpStatus RenderMetafile(const GpImage& metafile, int width, int height, PixelBuffer& out);

}  // namespace pixavue::platform::gdiplus
