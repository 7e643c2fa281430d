// The direct draw of a render into the surface's retained drawing, with
// its fallbacks for running out of memory.

#include "draw_attributes.h"
#include "view_draw.h"

namespace pixavue::control {
namespace {

using namespace pixavue::platform;

// Smoothing off, pixel centres at half offsets, high-speed compositing.
GpStatus SetFastModes(GpGraphics* graphics) {
  GpStatus status = GdipSetSmoothingMode(graphics, SmoothingModeNone);
  if (status == Ok) status = GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
  if (status == Ok) status = GdipSetCompositingQuality(graphics, CompositingQualityHighSpeed);
  return status;
}

GpStatus DrawAtChosenQuality(GpGraphics* graphics, const ViewDraw& draw, const DrawAttributes& attributes) {
  GpStatus status = SetFastModes(graphics);
  if (status == Ok) status = GdipSetInterpolationMode(graphics, draw.interpolation());
  if (status != Ok) return status;
  const GpImageAttributes* used = draw.withAttributes ? attributes.Get() : nullptr;
  return DrawRects(graphics, draw.image, draw.rects.destination, draw.rects.workingSource, used);
}

GpStatus DrawAtLowestQuality(GpGraphics* graphics, const ViewDraw& draw) {
  GdipSetPixelOffsetMode(graphics, PixelOffsetModeNone);
  GdipSetSmoothingMode(graphics, SmoothingModeNone);
  GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
  return DrawRects(graphics, draw.image, draw.rects.destination, draw.rects.workingSource, nullptr);
}

// Draws a copy of only the visible region (in the image's own pixel
// format). When no copy can be made the draw stays failed for lack of
// memory.
GpStatus DrawVisibleRegionCopy(GpGraphics* graphics, const ViewDraw& draw) {
  const ViewRect& region = draw.rects.workingSource;
  PixelFormat format = PixelFormatUndefined;
  GpBitmap* copy = nullptr;
  if (GdipGetImagePixelFormat(draw.image, &format) != Ok ||
      GdipCloneBitmapAreaI(region.left, region.top, region.width, region.height, format, draw.image, &copy) != Ok) {
    return OutOfMemory;
  }
  const ImagePtr owned(copy);
  return DrawRects(graphics, copy, draw.rects.destination, ViewRect{0, 0, region.width, region.height}, nullptr);
}

// Draws the whole image without a source rectangle, then, still short of
// memory, a thumbnail of the destination's size.
GpStatus DrawWholeImagePlainly(GpGraphics* graphics, const ViewDraw& draw) {
  const ViewRect& to = draw.rects.destination;
  const GpStatus status = GdipDrawImageRectI(graphics, draw.image, to.left, to.top, to.width, to.height);
  if (status != OutOfMemory || to.width <= 0 || to.height <= 0) return status;
  GpImage* thumbnail = nullptr;
  if (GdipGetImageThumbnail(draw.image, static_cast<UINT32>(to.width), static_cast<UINT32>(to.height), &thumbnail,
                            nullptr, nullptr) != Ok) {
    return status;
  }
  const ImagePtr owned(thumbnail);
  return GdipDrawImageRectI(graphics, thumbnail, to.left, to.top, to.width, to.height);
}

}  // namespace

QuorvexStatus DrawDirect(HDC hdc, const ViewDraw& draw) {
  GpGraphics* created = nullptr;
  GpStatus status = GdipCreateFromHDC(hdc, &created);
  if (status != Ok) return FromImagingStatus(status);
  const GraphicsPtr graphics(created);
  GdipGraphicsClear(created, draw.background);

  DrawAttributes attributes;
  if (draw.withAttributes && draw.gamma != 1.0f) attributes.SetGamma(draw.gamma);
  status = DrawAtChosenQuality(created, draw, attributes);
  if (status == OutOfMemory) {
    attributes.Dispose();  // not used again in this render
    status = DrawAtLowestQuality(created, draw);
  }
  if (status == OutOfMemory) {
    const bool partlyVisible =
        draw.rects.source.width < draw.imageWidth || draw.rects.source.height < draw.imageHeight;
    status = partlyVisible ? DrawVisibleRegionCopy(created, draw) : DrawWholeImagePlainly(created, draw);
  }
  return FromImagingStatus(status);
}

}  // namespace pixavue::control
