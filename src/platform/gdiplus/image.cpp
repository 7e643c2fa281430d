#include "image.h"

#include <mutex>
#include <unordered_set>

namespace pixavue::platform {

std::uint32_t GpImage::width() const noexcept {
  if (type == ImageTypeMetafile) return static_cast<std::uint32_t>(metafile.boundsPixels.Width);
  return frame.pixels.width();
}

std::uint32_t GpImage::height() const noexcept {
  if (type == ImageTypeMetafile) return static_cast<std::uint32_t>(metafile.boundsPixels.Height);
  return frame.pixels.height();
}

namespace gdiplus {
namespace {

// Images may be made on worker threads inside one call, so the registry is
// shared and locked.
struct Registry {
  std::mutex mutex;
  std::unordered_set<const GpImage*> live;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

GpImage* RegisterImage(std::unique_ptr<GpImage> image) {
  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.mutex);
  registry.live.insert(image.get());
  return image.release();
}

bool IsLiveImage(const GpImage* image) {
  if (image == nullptr) return false;
  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.mutex);
  return registry.live.count(image) != 0;
}

bool DisposeRegisteredImage(GpImage* image) {
  {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.mutex);
    if (registry.live.erase(image) == 0) return false;
  }
  delete image;
  return true;
}

std::unique_ptr<GpImage> ImageFromDecoded(DecodedImage&& decoded) {
  auto image = std::make_unique<GpImage>();
  image->rawFormat = decoded.rawFormat;
  image->frame = std::move(decoded.frame);
  image->properties = std::move(decoded.properties);
  if (decoded.isMetafile) {
    image->type = ImageTypeMetafile;
    image->metafile = decoded.metafile;
  }
  // A decoder may name the dimension of a single frame too (GIF: time).
  image->frameDimension = decoded.frameDimension;
  if (decoded.frames && decoded.frames->FrameCount() >= 2) image->frames = std::move(decoded.frames);
  return image;
}

}  // namespace gdiplus
}  // namespace pixavue::platform
