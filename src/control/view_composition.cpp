// What a person sees of a control: the surface as the host presents it,
// then the scroll bars and the corner box, then the selection rectangle.

#include <pixavue/control/image_box.h>
#include <pixavue/control/view_image.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/support/color.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "rectangle_painter.h"
#include "scroll_bar_painter.h"

namespace pixavue {
namespace {

// Pixel x of row y of a 32-bit bitmap, as 0xAARRGGBB.
std::uint32_t PixelAt(const platform::GdiPixels& bitmap, int x, int y) {
  const int row = bitmap.bottomUp ? bitmap.height - 1 - y : y;
  std::uint32_t value = 0;
  std::memcpy(&value, bitmap.bits + static_cast<std::ptrdiff_t>(row) * bitmap.stride + std::ptrdiff_t{4} * x, 4);
  return value;
}

// The 32-bit pixels of a picture's bitmap; nullopt for another kind of
// picture, an empty one or another depth.
std::optional<platform::GdiPixels> PicturePixels(const platform::ComPtr<platform::IPicture>& picture) {
  if (!picture) return std::nullopt;
  platform::SHORT type = platform::PICTYPE_NONE;
  platform::OLE_HANDLE handle = 0;
  if (picture->get_Type(&type) != platform::S_OK || type != platform::PICTYPE_BITMAP ||
      picture->get_Handle(&handle) != platform::S_OK || handle == 0) {
    return std::nullopt;
  }
  auto pixels = platform::BitmapPixels(platform::HBITMAP{handle});
  if (!pixels || pixels->bitsPerPixel != 32) return std::nullopt;
  return pixels;
}

// A premultiplied pixel with its colour divided by its alpha.
std::uint32_t Straight(std::uint32_t premultiplied) {
  const std::uint32_t alpha = premultiplied >> 24;
  if (alpha == 0) return 0;
  if (alpha == 255) return premultiplied;
  std::uint32_t result = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t value = ((premultiplied >> shift) & 0xFF) * 255;
    result |= std::min<std::uint32_t>(255, (value + alpha / 2) / alpha) << shift;
  }
  return result;
}

// A premultiplied pixel over an opaque one.
std::uint32_t Over(std::uint32_t premultiplied, std::uint32_t opaque) {
  const std::uint32_t rest = 255 - (premultiplied >> 24);
  std::uint32_t result = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t below = ((opaque >> shift) & 0xFF) * rest;
    result |= std::min<std::uint32_t>(255, ((premultiplied >> shift) & 0xFF) + (below + 127) / 255) << shift;
  }
  return result;
}

// Retention on: the retained drawing, opaque, over the background colour
// where it does not reach (it has none before the first drawing).
void CopyRetainedDrawing(const ImageBox& control, ViewImage& view) {
  const auto drawing = platform::BitmapPixels(platform::WindowSurface(control.get_hwnd()));
  if (!drawing || drawing->bitsPerPixel != 32) return;
  const int width = std::min(view.width, drawing->width);
  const int height = std::min(view.height, drawing->height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      view.pixels[static_cast<std::size_t>(y) * view.width + x] = 0xFF000000u | PixelAt(*drawing, x, y);
  }
}

// Retention off: the background picture at the top-left corner, over the
// background colour or, on a transparent control, with its own alpha.
void CopyPicture(const ImageBox& control, ViewImage& view) {
  const auto picture = PicturePixels(control.Surface().Picture());
  if (!picture) return;
  const bool transparent = control.Surface().BackStyle() == bkTransparent;
  const int width = std::min(view.width, picture->width);
  const int height = std::min(view.height, picture->height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t& pixel = view.pixels[static_cast<std::size_t>(y) * view.width + x];
      const std::uint32_t source = PixelAt(*picture, x, y);
      pixel = transparent ? Straight(source) : Over(source, pixel);
    }
  }
}

// A transparent control owns only the pixels where its mask picture is not
// fully transparent; the others, and those beyond the mask, show what lies
// behind it. An opaque control ignores a mask left from a transparent time.
void ApplyMask(const ImageBox& control, ViewImage& view) {
  if (control.Surface().BackStyle() != bkTransparent || !control.Surface().MaskPicture()) return;
  const auto mask = PicturePixels(control.Surface().MaskPicture());
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      const bool inside = mask && x < mask->width && y < mask->height;
      if (!inside || (PixelAt(*mask, x, y) >> 24) == 0) view.pixels[static_cast<std::size_t>(y) * view.width + x] = 0;
    }
  }
}

void ComposeSurface(const ImageBox& control, ViewImage& view) {
  const ControlSurface& surface = control.Surface();
  const bool transparentPicture = !surface.AutoRedraw() && surface.BackStyle() == bkTransparent;
  view.pixels.assign(static_cast<std::size_t>(view.width) * view.height,
                     transparentPicture ? 0u : cColor::OpaqueFromCOLORREF(surface.BackColor()));
  if (surface.AutoRedraw()) {
    CopyRetainedDrawing(control, view);
  } else {
    CopyPicture(control, view);
  }
  ApplyMask(control, view);
}

}  // namespace

ViewImage ComposeView(ImageBox& control) {
  ViewImage view;
  if (!control.Surface().IsLive()) return view;
  view.width = std::max(0, control.Surface().ScaleWidth());
  view.height = std::max(0, control.Surface().ScaleHeight());
  ComposeSurface(control, view);
  PaintScrollBar(control.HScroll(), view);
  PaintScrollBar(control.VScroll(), view);
  PaintCornerBox(control.shCorner(), view);
  PaintRectangleShape(control.shRect(), view);
  return view;
}

}  // namespace pixavue
