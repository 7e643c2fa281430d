#pragma once
// The image store: registration and release of images, documents and their
// pages, pixel-format conversion and the two savers used for page files.
//
// Every operation takes ImageId values. An ImageId that is 0 or not in the
// table gives InvalidParameter and leaves outputs at 0; an imaging-library
// status is passed on unchanged.

#include <cstdint>
#include <string>
#include <string_view>

#include <pixavue/engine/image_id.h>
#include <pixavue/engine/image_slot.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Registers handle (which may be null for a document) under a new random
// ImageId written to id; decodes the image fully, fills the format name when
// empty and the bit depth. Returns the slot index, or -1 with id 0 when
// memory runs out (the handle is then not taken: the caller disposes it).
std::int32_t RegisterImage(platform::GpImage* handle, std::string_view formatName, std::string_view sourcePath,
                           SourceKind kind, ImageId& id);
// Releases the image and everything it owns; the status of disposing its
// handle (0 without one).
QuorvexStatus ReleaseImage(ImageId id);
void ReleaseAllImages();

// Slot index, or -1.
std::int32_t FindSlot(ImageId id);
// The slot of id, or null. Valid until the table changes.
ImageSlot* SlotOf(ImageId id);

// The handle to draw or query: follows documents to their current page.
platform::GpImage* NativeHandle(ImageId id);
// The current page image of a split document, else id itself (0 when the
// document has no current page).
ImageId ResolvePage(ImageId id);

// Pages of documents (index 0-based).
QuorvexStatus SelectPage(ImageId id, std::int32_t index, DocumentKind kind);
void ReleaseCurrentPage(ImageId id, DocumentKind kind);

void MarkModified(ImageId id);
void ClearModified(ImageId id);

// Makes replacement take over old's ImageId (or, in a split document, become
// its current page). Returns old, or 0 when nothing was done.
ImageId ReplaceImage(ImageId old, ImageId replacement);

// A copy of the image in format, over an engine-owned buffer. With keepSource
// the copy gets a new ImageId in newId; without, it takes over id.
QuorvexStatus ConvertPixelFormat(ImageId id, platform::PixelFormat format, bool keepSource, ImageId& newId);
// A copy in the image's own format (palette kept) over an engine buffer.
QuorvexStatus CopyIntoEngineBuffer(ImageId id, ImageId& newId);

// A bitmap over buffer (null: the library allocates); registered as
// EngineBuffer when the engine owns buffer, else ForeignPixels.
QuorvexStatus CreateBitmapFromPixels(std::int32_t width, std::int32_t height, std::int32_t stride,
                                     platform::PixelFormat format, platform::BYTE* buffer, bool engineOwned,
                                     ImageId& id);

// After an operation that may have made the imaging library move the pixels
// of an engine-owned buffer (a rotation or flip gives the bitmap new pixels
// of its own): frees the buffer once the current page's bitmap no longer
// reads it, and that slot becomes ForeignPixels owning nothing, so that its
// release frees nothing. Returns whether the buffer was freed.
bool ReleaseMovedPixelBuffer(ImageId id);

QuorvexStatus SaveAsPng(ImageId id, const std::string& path);
// compression: an EncoderValue compression (2 = LZW ...), 0 = none given;
// depth: bits per pixel, 0 = none given.
QuorvexStatus SaveAsTiff(ImageId id, const std::string& path, std::int32_t compression, std::int32_t depth);

// Before a graphics context or a write lock in another format on an indexed
// image: converts it to 32bppARGB in place when the imaging library is older
// than version 6.
QuorvexStatus PrepareIndexedImage(ImageId id);

// Bits per pixel of a pixel format (0 for formats outside the table), and
// the stride rule for buffers the engine allocates.
std::int32_t BitsPerPixel(platform::PixelFormat format);
std::int32_t StrideForBits(std::int32_t bitsPerPixel, std::int32_t width);
bool IsIndexedFormat(platform::PixelFormat format);

}  // namespace pixavue::engine
