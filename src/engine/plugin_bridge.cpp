// The store's side of the image plug-in, for an engine without the plug-in.
//
// Plug-in handles only come into a slot through the plug-in's loaders, so
// while the plug-in is absent every slot holds 0 in PluginBitmap, PluginPage
// and PluginFile, and there is nothing to close, unload or unlock. The calls
// of the plug-in (closing a file handle, unloading a bitmap, closing a
// multi-page bitmap or unlocking a page without saving, locking and
// converting a page) belong in these functions once the bridge to the
// plug-in is bound.

#include "plugin_bridge.h"

namespace pixavue::engine {

void ClosePluginFile(PluginHandle /*file*/) {}

void ReleasePluginImage(const ImageSlot& /*slot*/) {}

QuorvexStatus SelectPluginPage(ImageId /*document*/, std::int32_t /*index*/) {
  return QuorvexStatus::QximgplugDllRequired;
}

}  // namespace pixavue::engine
