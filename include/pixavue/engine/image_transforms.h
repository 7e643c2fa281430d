#pragma once
// Turning and mirroring a registered image in place. The image keeps its
// ImageId; the slot behind it may change, and the engine keeps owning every
// pixel buffer involved.

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Rotates and flips the image (the current page of a document) by type,
// marking it modified unless doNotMark.
// - A 1-bit image over memory the engine only borrows (a packed DIB, a
//   plug-in bitmap or page, a bitmap or icon handle) is first copied into an
//   engine buffer when the turn swaps the axes or is a half turn; a 1-bit
//   half turn is done as two quarter turns.
// - When the imaging library gave an engine-buffer bitmap new pixels, the
//   old buffer is freed.
// - Afterwards an image that is not indexed is copied into an engine buffer,
//   so that it owns its pixels (EngineBuffer).
// A split document's turned page replaces its current page and is stored in
// a page file. InvalidParameter for an unknown image; the status of a failed
// copy (the image unchanged) or of the library's rotation.
QuorvexStatus RotateFlip(ImageId id, platform::RotateFlipType type, bool doNotMark);

}  // namespace pixavue::engine
