#pragma once
// The image store's calls into the image plug-in: releasing the plug-in
// handles a slot holds, and selecting a page of an in-place plug-in
// document.

#include <cstdint>

#include <pixavue/engine/image_slot.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Closes the plug-in file handle kept open for an in-place document.
void ClosePluginFile(PluginHandle file);

// Releases the plug-in bitmap or page of a slot of kind PluginBitmap
// (unloaded, or closed without saving when the slot is a document) or
// PluginPage (unlocked from its document without saving).
void ReleasePluginImage(const ImageSlot& slot);

// Makes page `index` of an in-place plug-in document current: locks the
// page, converts it and stores the new image in the document's PageImages.
QuorvexStatus SelectPluginPage(ImageId document, std::int32_t index);

}  // namespace pixavue::engine
