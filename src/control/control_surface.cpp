#include <pixavue/control/control_surface.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/window/window.h>
#include <pixavue/support/color.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace pixavue {
namespace {

// Fills the pixels of the drawing right of oldWidth or below oldHeight.
// The drawing's bytes are laid out as ARGB values.
void FillOutside(const platform::GdiPixels& pixels, int oldWidth, int oldHeight, std::uint32_t pixel) {
  for (int y = 0; y < pixels.height; ++y) {
    const int row = pixels.bottomUp ? pixels.height - 1 - y : y;
    auto* line = reinterpret_cast<std::uint32_t*>(pixels.bits + static_cast<std::ptrdiff_t>(row) * pixels.stride);
    const int from = y < oldHeight ? std::min(oldWidth, pixels.width) : 0;
    std::fill(line + from, line + pixels.width, pixel);
  }
}

}  // namespace

ControlSurface::ControlSurface(platform::HWND parent, platform::ElementWindow::Handler handler)
    : window_(parent, "ImageBox", 0, 0, std::move(handler)) {}

ControlSurface::~ControlSurface() {
  SetDropMode(SurfaceDropMode::None);
  ReleaseHdc();
}

void ControlSurface::SetDropMode(SurfaceDropMode mode) {
  if (mode == dropMode_) return;
  dropMode_ = mode;
  if (mode == SurfaceDropMode::Manual) {
    platform::RegisterDragDrop(window_.Handle(), &dropTarget_);
  } else {
    platform::RevokeDragDrop(window_.Handle());
  }
}

void ControlSurface::ReleaseHdc() {
  if (hdc_ == platform::HDC{}) return;
  platform::ReleaseDC(window_.Handle(), hdc_);
  hdc_ = platform::HDC{};
}

platform::HDC ControlSurface::Hdc() {
  if (!window_.IsLive()) {
    ReleaseHdc();
    return platform::HDC{};
  }
  const int width = std::max(1, ScaleWidth());
  const int height = std::max(1, ScaleHeight());
  if (hdc_ != platform::HDC{} && width == hdcWidth_ && height == hdcHeight_) return hdc_;
  ReleaseHdc();
  const bool hadDrawing = platform::WindowSurface(window_.Handle()) != platform::HBITMAP{};
  hdc_ = platform::GetDC(window_.Handle());
  if (hdc_ == platform::HDC{}) return hdc_;
  FillNewParts(hadDrawing ? hdcWidth_ : 0, hadDrawing ? hdcHeight_ : 0);
  hdcWidth_ = width;
  hdcHeight_ = height;
  return hdc_;
}

void ControlSurface::FillNewParts(int oldWidth, int oldHeight) {
  const auto pixels = platform::BitmapPixels(platform::SelectedBitmap(hdc_));
  if (pixels && pixels->bitsPerPixel == 32) FillOutside(*pixels, oldWidth, oldHeight, cColor::OpaqueFromCOLORREF(backColor_));
}

void ControlSurface::SetPicture(platform::ComPtr<platform::IPicture> picture) {
  picture_ = std::move(picture);
  Refresh();
}

void ControlSurface::SetMaskPicture(platform::ComPtr<platform::IPicture> picture) {
  maskPicture_ = std::move(picture);
  Refresh();
}

void ControlSurface::Cls() {
  if (Hdc() != platform::HDC{}) FillNewParts(0, 0);
  Refresh();
}

void ControlSurface::Refresh() { platform::InvalidateRect(window_.Handle(), nullptr, false); }

}  // namespace pixavue
