#pragma once
// Drawing the visible part of an image for a render: straight into the
// surface's retained drawing, or into a new picture of the view's size.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/support/quorvex_status.h>

#include "view_rects.h"

namespace pixavue::control {

struct ViewDraw {
  platform::GpImage* image = nullptr;
  std::int32_t imageWidth = 0;  // the shown image's size in pixels
  std::int32_t imageHeight = 0;
  ViewRects rects;
  platform::ARGB background = 0;  // what an opaque surface is cleared to
  float gamma = 1.0f;             // 1.0: no gamma
  // False for an animated GIF, whose frames are drawn without gamma or
  // mask colour.
  bool withAttributes = true;
  // The interpolation mode, asked for once the graphics are set up.
  std::function<platform::InterpolationMode()> interpolation;
};

// Draws into the bitmap selected into hdc (the surface's retained
// drawing), cleared to the background first. When the imaging library runs
// out of memory it tries again at the lowest quality without attributes,
// then from a copy of only the visible region (or, when the whole image is
// visible, with a plain draw and then a thumbnail of the destination size).
QuorvexStatus DrawDirect(platform::HDC hdc, const ViewDraw& draw);

struct PictureTarget {
  std::int32_t width = 0;  // the view
  std::int32_t height = 0;
  bool transparent = false;  // not cleared: undrawn pixels stay transparent
  std::optional<platform::ARGB> maskColour;  // drawn transparent
};

// A new picture of the target's size holding the drawn image (null when
// no bitmap could be made). The status of the draw; when the draw
// succeeded, that of making the picture.
QuorvexStatus RenderToPicture(const ViewDraw& draw, const PictureTarget& target,
                              platform::ComPtr<platform::IPicture>& picture);

// Owners of the imaging library's objects within one draw.
struct GraphicsDeleter {
  void operator()(platform::GpGraphics* graphics) const { platform::GdipDeleteGraphics(graphics); }
};
struct ImageDeleter {
  void operator()(platform::GpImage* image) const { platform::GdipDisposeImage(image); }
};
using GraphicsPtr = std::unique_ptr<platform::GpGraphics, GraphicsDeleter>;
using ImagePtr = std::unique_ptr<platform::GpImage, ImageDeleter>;

// One draw of the source rectangle of image onto the destination, in
// pixels.
inline platform::GpStatus DrawRects(platform::GpGraphics* graphics, platform::GpImage* image,
                                    const ViewRect& destination, const ViewRect& source,
                                    const platform::GpImageAttributes* attributes) {
  return platform::GdipDrawImageRectRectI(graphics, image, destination.left, destination.top, destination.width,
                                          destination.height, source.left, source.top, source.width,
                                          source.height, platform::UnitPixel, attributes, nullptr, nullptr);
}

}  // namespace pixavue::control
