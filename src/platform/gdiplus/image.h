#pragma once
// The image object behind GpImage*: a bitmap (pixels of its active frame,
// palette, resolution, property items, and the source of its other frames)
// or a metafile (header now; playback with the drawing layer).

#include <cstdint>
#include <memory>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "codec.h"
#include "frame.h"
#include "pixel_buffer.h"
#include "property_store.h"

namespace pixavue::platform {

// State of an outstanding GdipBitmapLockBits, kept until the unlock.
struct ImageLock final {
  GpRect rect;
  std::uint32_t flags = 0;
  PixelFormat format = PixelFormatUndefined;
  // Converted pixels handed to the caller when the request is not a direct
  // view of the image's own buffer.
  std::optional<gdiplus::PixelBuffer> conversion;
};

// Something an image took over and releases when it is destroyed (a
// metafile handle given with deleteWmf / deleteEmf).
class ImageResource {
 public:
  virtual ~ImageResource() = default;
};

class GpImage final {
 public:
  ImageType type = ImageTypeBitmap;
  GUID rawFormat{};
  gdiplus::Frame frame;
  gdiplus::PropertyStore properties;

  // Other frames, when the file has two or more along frameDimension.
  std::shared_ptr<gdiplus::FrameSource> frames;
  GUID frameDimension{};
  std::uint32_t activeFrame = 0;

  // Metafiles: the header and the file bytes for later playback.
  gdiplus::MetafileInfo metafile;
  gdiplus::EncodedBytes metafileBytes;
  // Not copied by clones: released once, with this image.
  std::unique_ptr<ImageResource> ownedResource;

  std::optional<ImageLock> lock;

  PixelFormat pixelFormat() const noexcept { return frame.pixels.format(); }
  std::uint32_t width() const noexcept;
  std::uint32_t height() const noexcept;
};

namespace gdiplus {

// Images are tracked so that a pointer that was never returned, or was
// already disposed, is refused with InvalidParameter instead of being
// dereferenced.
GpImage* RegisterImage(std::unique_ptr<GpImage> image);
bool IsLiveImage(const GpImage* image);
// Removes and deletes; false when the image was not live.
bool DisposeRegisteredImage(GpImage* image);

// Builds a bitmap image from a decoder's result.
std::unique_ptr<GpImage> ImageFromDecoded(DecodedImage&& decoded);

// Decodes a whole encoded file with the decoder its signature selects and
// registers the image: the common path of loading from files and streams.
// With bitmapOnly a metafile is refused with InvalidParameter (the bitmap
// constructors).
GpStatus LoadImageFromBytes(const EncodedBytes& bytes, bool useIcm, bool bitmapOnly, GpImage** image);

// Encodes the active frame of a live image with the encoder of clsidEncoder:
// the common path of saving to files and streams. FileNotFound for an
// unknown encoder, NotImplemented for a metafile, WrongState while locked.
GpStatus EncodeImage(const GpImage& image, const CLSID& clsidEncoder, const EncoderParameters* params,
                     std::vector<std::uint8_t>& out);

}  // namespace gdiplus
}  // namespace pixavue::platform
