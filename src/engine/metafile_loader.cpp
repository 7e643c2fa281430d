// A metafile file drawn into a 32-bit ARGB bitmap of its own size times a
// scale.

#include <pixavue/engine/image_loaders.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// A side of the metafile times scale, rounded to the nearest integer
// (halves to even). InvalidParameter below one pixel (a scale that is not
// positive, or not a number); OutOfMemory beyond what a bitmap side can
// hold (the bitmap itself enforces the image limits).
QuorvexStatus ScaledSide(UINT32 side, float scale, std::int32_t& scaled) {
  const double value = std::nearbyint(static_cast<double>(side) * static_cast<double>(scale));
  if (!(value >= 1.0)) return QuorvexStatus::InvalidParameter;
  if (value > std::numeric_limits<std::int32_t>::max()) return QuorvexStatus::OutOfMemory;
  scaled = static_cast<std::int32_t>(value);
  return QuorvexStatus::OK;
}

// Draws the metafile over the whole of the registered bitmap id.
GpStatus DrawInto(ImageId id, GpMetafile* metafile, std::int32_t width, std::int32_t height) {
  GpGraphics* graphics = nullptr;
  GpStatus status = GdipGetImageGraphicsContext(NativeHandle(id), &graphics);
  if (status != Ok) return status;
  status = GdipDrawImageRectI(graphics, metafile, 0, 0, width, height);
  GdipDeleteGraphics(graphics);
  return status;
}

QuorvexStatus RenderScaled(GpMetafile* metafile, float scale, ImageId& id) {
  UINT32 width = 0, height = 0;
  GpStatus read = GdipGetImageWidth(metafile, &width);
  if (read == Ok) read = GdipGetImageHeight(metafile, &height);
  if (read != Ok) return FromImagingStatus(read);
  std::int32_t scaledWidth = 0, scaledHeight = 0;
  QuorvexStatus status = ScaledSide(width, scale, scaledWidth);
  if (status == QuorvexStatus::OK) status = ScaledSide(height, scale, scaledHeight);
  if (status != QuorvexStatus::OK) return status;

  status = CreateBitmapFromPixels(scaledWidth, scaledHeight, 0, PixelFormat32bppARGB, nullptr, false, id);
  if (status != QuorvexStatus::OK) return status;
  const GpStatus drawn = DrawInto(id, metafile, scaledWidth, scaledHeight);
  if (drawn != Ok) {
    ReleaseImage(id);
    id = kNoImage;
  }
  return FromImagingStatus(drawn);
}

}  // namespace

QuorvexStatus LoadMetafileScaled(std::string_view path, float scale, ImageId& id) {
  id = kNoImage;
  try {
    OpenedFile file;
    const QuorvexStatus read = OpenForLoading(ResolvePath(path), file);
    if (read != QuorvexStatus::OK) return read;
    GpMetafile* metafile = nullptr;
    const GpStatus opened = GdipCreateMetafileFromStream(FromStart(file), &metafile);
    if (opened != Ok) return FromImagingStatus(opened);
    const QuorvexStatus status = RenderScaled(metafile, scale, id);
    GdipDisposeImage(metafile);
    return status;
  } catch (const std::bad_alloc&) {
    return QuorvexStatus::OutOfMemory;
  }
}

}  // namespace pixavue::engine
