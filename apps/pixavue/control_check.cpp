#include "control_check.h"

#include <array>

#include <pixavue/engine/image_store.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::app {
namespace {

using namespace platform;

constexpr std::array<ARGB, 4> kCorners{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

// Reads pixel (x, y) of a 32bppARGB bitmap, 0 on failure.
ARGB PixelAt(GpBitmap* bitmap, INT x, INT y) {
  ARGB color = 0;
  return GdipBitmapGetPixel(bitmap, x, y, &color) == Ok ? color : 0;
}

std::string DrawEnlarged(GpBitmap* source, GpBitmap* target) {
  GpGraphics* graphics = nullptr;
  if (GdipGetImageGraphicsContext(target, &graphics) != Ok) return "no graphics on a 32-bit bitmap";
  GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
  GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
  const GpStatus status = GdipDrawImageRectI(graphics, source, 0, 0, 8, 8);
  GdipDeleteGraphics(graphics);
  if (status != Ok) return "the draw failed with status " + std::to_string(status);
  for (INT y = 0; y < 8; ++y) {
    for (INT x = 0; x < 8; ++x) {
      if (PixelAt(target, x, y) != kCorners[static_cast<std::size_t>((y / 4) * 2 + x / 4)]) {
        return "nearest-neighbour enlargement is not made of exact blocks";
      }
    }
  }
  return "";
}

}  // namespace

std::string CheckDrawing() {
  GdiplusStartupInput input;
  GDIP_ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &input, nullptr) != Ok) return "the imaging session did not start";
  GpBitmap* source = nullptr;
  GpBitmap* target = nullptr;
  std::string failure;
  if (GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, &source) != Ok ||
      GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat32bppARGB, nullptr, &target) != Ok) {
    failure = "could not make the bitmaps";
  } else {
    for (INT i = 0; i < 4; ++i) GdipBitmapSetPixel(source, i % 2, i / 2, kCorners[static_cast<std::size_t>(i)]);
    failure = DrawEnlarged(source, target);
  }
  if (source != nullptr) GdipDisposeImage(source);
  if (target != nullptr) GdipDisposeImage(target);
  GdiplusShutdown(token);
  return failure;
}

std::string CheckControl(headless::HeadlessHost& host) {
  headless::HeadlessControl control(host);
  control.InitNew();
  control.Show();
  control.Resize(200, 100);
  GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromScan0(30, 20, 0, PixelFormat24bppRGB, nullptr, &bitmap) != Ok) {
    return "could not make a bitmap in the control's session";
  }
  engine::ImageId id = engine::kNoImage;
  if (engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id) < 0) {
    GdipDisposeImage(bitmap);
    return "the engine did not register the image";
  }
  if (control->SetNativeImage(id) != QuorvexStatus::OK) return "the control did not take the image";
  if (control->get_ImageWidth() != 30 || control->get_ImageHeight() != 20 || control->get_PageCount() != 1) {
    return "the control adopted the wrong size or page count";
  }
  control->CloseImage();
  if (engine::FindSlot(id) >= 0) return "closing the image did not release it";
  control.Destroy();
  return "";
}

}  // namespace pixavue::app
