#pragma once
// The imaging layer's own draw that a control benchmark is measured against:
// the rectangles of one image draw, the draw a control made (seen through
// the draw interceptor), and the same draw made bare on a graphics over the
// control's surface with the control's settings (smoothing none, pixel
// offset half, high-speed compositing, the same interpolation).

#include <pixavue/platform/gdiplus/gdiplus_draw_interceptor.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include <optional>
#include <utility>

namespace pixavue::bench {

// One image draw: destination in control pixels, source in image pixels.
struct DrawRects {
  platform::INT dstX = 0, dstY = 0, dstWidth = 0, dstHeight = 0;
  platform::INT srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
  platform::InterpolationMode interpolation = platform::InterpolationModeNearestNeighbor;

  friend bool operator==(const DrawRects&, const DrawRects&) = default;
};

// The one draw that `render` makes; nullopt when it makes none or several.
template <typename Render>
std::optional<DrawRects> ObservedDraw(Render render) {
  int draws = 0;
  DrawRects seen;
  auto previous = platform::SetDrawInterceptor([&](const platform::DrawCall& call) {
    ++draws;
    using platform::INT;
    seen = {static_cast<INT>(call.dstX),      static_cast<INT>(call.dstY),      static_cast<INT>(call.dstWidth),
            static_cast<INT>(call.dstHeight), static_cast<INT>(call.srcX),      static_cast<INT>(call.srcY),
            static_cast<INT>(call.srcWidth),  static_cast<INT>(call.srcHeight), call.interpolation};
    return platform::Ok;
  });
  render();
  platform::SetDrawInterceptor(std::move(previous));
  if (draws != 1) return std::nullopt;
  return seen;
}

// A graphics over the surface, one draw, the graphics deleted.
inline platform::GpStatus BareDraw(platform::HDC hdc, platform::GpImage* image, const DrawRects& r) {
  using namespace platform;
  GpGraphics* graphics = nullptr;
  GpStatus status = GdipCreateFromHDC(hdc, &graphics);
  if (status != Ok) return status;
  GdipSetSmoothingMode(graphics, SmoothingModeNone);
  GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
  GdipSetCompositingQuality(graphics, CompositingQualityHighSpeed);
  GdipSetInterpolationMode(graphics, r.interpolation);
  status = GdipDrawImageRectRectI(graphics, image, r.dstX, r.dstY, r.dstWidth, r.dstHeight, r.srcX, r.srcY, r.srcWidth,
                                  r.srcHeight, UnitPixel, nullptr, nullptr, nullptr);
  GdipDeleteGraphics(graphics);
  return status;
}

}  // namespace pixavue::bench
