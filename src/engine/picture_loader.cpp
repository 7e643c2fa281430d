// Placeholder until the picture loader is written: every picture fails.
#include <pixavue/engine/image_loaders.h>

namespace pixavue::engine {

QuorvexStatus LoadFromPicture(platform::IPicture*, ImageId& id) {
  id = kNoImage;
  return QuorvexStatus::NotImplemented;
}

}  // namespace pixavue::engine
