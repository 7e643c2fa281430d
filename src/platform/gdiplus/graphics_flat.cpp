// Graphics objects of the flat interface: creation over a bitmap or a device
// context, deletion, clearing and the quality modes.

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "composite.h"
#include "graphics.h"
#include "graphics_registry.h"
#include "image.h"
#include "pixel_convert.h"
#include "session.h"

namespace pixavue::platform {
namespace {

gdiplus::LiveObjects<GpGraphics>& LiveGraphics() {
  static gdiplus::LiveObjects<GpGraphics> live;
  return live;
}

GpStatus NewGraphics(std::unique_ptr<GpGraphics> graphics, GpGraphics** out) {
  *out = LiveGraphics().Register(std::move(graphics));
  return Ok;
}

// Setters accept the enumeration's members from `lowest` to `highest`.
template <class Mode>
GpStatus SetMode(GpGraphics* graphics, Mode mode, Mode lowest, Mode highest, Mode GpGraphics::*member) {
  const GpStatus status = gdiplus::CheckGraphics(graphics);
  if (status != Ok) return status;
  if (mode < lowest || mode > highest) return InvalidParameter;
  graphics->*member = mode;
  return Ok;
}

template <class Mode>
GpStatus GetMode(GpGraphics* graphics, Mode* mode, Mode GpGraphics::*member) {
  const GpStatus status = gdiplus::CheckGraphics(graphics);
  if (status != Ok) return status;
  if (mode == nullptr) return InvalidParameter;
  *mode = graphics->*member;
  return Ok;
}

}  // namespace

namespace gdiplus {

GpStatus CheckGraphics(const GpGraphics* graphics) {
  if (!SessionActive()) return GdiplusNotInitialized;
  return LiveGraphics().IsLive(graphics) ? Ok : InvalidParameter;
}

}  // namespace gdiplus

GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
  if (graphics != nullptr) *graphics = nullptr;
  const GpStatus status = gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (graphics == nullptr) return InvalidParameter;
  if (image->type == ImageTypeMetafile) return NotImplemented;
  // Indexed bitmaps cannot be drawn into; the documented library answers
  // OutOfMemory.
  const PixelFormat format = image->pixelFormat();
  if (IsIndexedPixelFormat(format) || !gdiplus::IsSupportedPixelFormat(format)) return OutOfMemory;
  if (image->lock) return WrongState;
  try {
    auto created = std::make_unique<GpGraphics>();
    created->image = image;
    return NewGraphics(std::move(created), graphics);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
  if (graphics != nullptr) *graphics = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (graphics == nullptr || !gdiplus::IsDeviceContext(hdc)) return InvalidParameter;
  try {
    auto created = std::make_unique<GpGraphics>();
    created->dc = hdc;
    return NewGraphics(std::move(created), graphics);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  return LiveGraphics().Dispose(graphics) ? Ok : InvalidParameter;
}

GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color) {
  GpStatus status = gdiplus::CheckGraphics(graphics);
  if (status != Ok) return status;
  gdiplus::DrawTarget target;
  status = gdiplus::ResolveTarget(*graphics, target);
  if (status != Ok || target.frame.pixels.empty()) return status;
  gdiplus::Frame& frame = target.frame;
  const std::uint32_t width = frame.pixels.width();
  try {
    const std::vector<ARGB> row(width, color);
    gdiplus::StoreArgbRow(frame, 0, 0, width, row.data());
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  // Every row is the same: copy the first one.
  const std::size_t bytes = gdiplus::PackedRowBytes(frame.pixels.format(), width);
  for (std::uint32_t y = 1; y < frame.pixels.height(); ++y) {
    std::copy_n(frame.pixels.Row(0), bytes, frame.pixels.Row(y));
  }
  return Ok;
}

GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
  return SetMode(graphics, mode, SmoothingModeDefault, SmoothingModeAntiAlias, &GpGraphics::smoothing);
}
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode) {
  return GetMode(graphics, mode, &GpGraphics::smoothing);
}
GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode) {
  return SetMode(graphics, mode, PixelOffsetModeDefault, PixelOffsetModeHalf, &GpGraphics::pixelOffset);
}
GpStatus GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode) {
  return GetMode(graphics, mode, &GpGraphics::pixelOffset);
}
GpStatus GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality) {
  return SetMode(graphics, quality, CompositingQualityDefault, CompositingQualityAssumeLinear,
                 &GpGraphics::compositing);
}
GpStatus GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality) {
  return GetMode(graphics, quality, &GpGraphics::compositing);
}
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode) {
  return SetMode(graphics, mode, InterpolationModeDefault, InterpolationModeHighQualityBicubic,
                 &GpGraphics::interpolation);
}
GpStatus GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode) {
  return GetMode(graphics, mode, &GpGraphics::interpolation);
}

}  // namespace pixavue::platform
