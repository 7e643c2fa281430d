// The picture path of a render: the view drawn into a new bitmap that
// becomes the surface's picture (for ForcePictureMode and transparent
// surfaces), with the mask colour remapped to transparent. There is no
// fallback for running out of memory here.

#include <pixavue/engine/picture_export.h>

#include "draw_attributes.h"
#include "view_draw.h"

namespace pixavue::control {
namespace {

using namespace pixavue::platform;

GpStatus DrawIntoBitmap(GpBitmap* bitmap, const ViewDraw& draw, const PictureTarget& target) {
  GpGraphics* created = nullptr;
  const GpStatus status = GdipGetImageGraphicsContext(bitmap, &created);
  if (status != Ok) return status;
  const GraphicsPtr graphics(created);
  if (!target.transparent) GdipGraphicsClear(created, draw.background);

  DrawAttributes attributes;
  if (draw.gamma != 1.0f) attributes.SetGamma(draw.gamma);
  if (target.maskColour) attributes.RemapToTransparent(*target.maskColour);
  GdipSetCompositingQuality(created, CompositingQualityHighSpeed);
  GdipSetSmoothingMode(created, SmoothingModeNone);
  GdipSetInterpolationMode(created, draw.interpolation());
  GdipSetPixelOffsetMode(created, PixelOffsetModeHalf);
  const GpImageAttributes* used = draw.withAttributes ? attributes.Get() : nullptr;
  return DrawRects(created, draw.image, draw.rects.destination, draw.rects.workingSource, used);
}

}  // namespace

QuorvexStatus RenderToPicture(const ViewDraw& draw, const PictureTarget& target, ComPtr<IPicture>& picture) {
  picture.Reset();
  GpBitmap* created = nullptr;
  const GpStatus made =
      GdipCreateBitmapFromScan0(target.width, target.height, 0, PixelFormat32bppARGB, nullptr, &created);
  if (made != Ok) return FromImagingStatus(made);
  const ImagePtr bitmap(created);
  const GpStatus drawn = DrawIntoBitmap(created, draw, target);
  const QuorvexStatus converted = engine::PictureFromBitmap(created, picture);
  return drawn != Ok ? FromImagingStatus(drawn) : converted;
}

}  // namespace pixavue::control
