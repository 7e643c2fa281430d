// Placeholder until the file chain is written: every file load fails.
#include <pixavue/engine/image_loaders.h>

namespace pixavue::engine {

QuorvexStatus LoadFromFile(std::string_view, const FileLoadOptions&, ImageId& id) {
  id = kNoImage;
  return QuorvexStatus::NotImplemented;
}

void AttachTempFile(ImageId, const std::string&) {}

}  // namespace pixavue::engine
