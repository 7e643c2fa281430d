// A sequence of view operations on a control showing an image whose size,
// resolutions and control size come from the input, or an animated GIF
// made from it: zooms of every mode, areas, scroll positions, placement,
// resizes, quality, gamma and the picture paths, the selection rectangle
// set every way and drawn and edited with the pointer, pages and the
// animation, and clock advances, with values far outside what the members
// accept. After every operation the scroll values must lie within their
// bars' ranges, the displayed size must be the zoomed image's, rounded,
// and the bars must reach every pixel of it; the page must lie within the
// document and an animation must have its timer; a rectangle the pointer
// changed must lie on the displayed image; every draw must stay inside the
// image (the sanitizers watch).

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <cstdlib>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "control_fuzz_harness.h"
#include "control_fuzz_selection.h"

namespace {

using pixavue::ImageBox;

// At most 2^18 pixels, so that a render stays quick, in any shape.
pixavue::engine::ImageId ShowImage(FuzzedDataProvider& input, ImageBox& box) {
  const int width = input.ConsumeIntegralInRange(1, 4096);
  const int height = input.ConsumeIntegralInRange(1, std::min(65535, (1 << 18) / width));
  pixavue::platform::GpImage* bitmap = nullptr;
  if (pixavue::platform::GdipCreateBitmapFromScan0(width, height, 0, pixavue::platform::PixelFormat32bppARGB,
                                                   nullptr, &bitmap) != pixavue::platform::Ok) {
    std::abort();
  }
  pixavue::platform::GdipBitmapSetResolution(bitmap, input.ConsumeFloatingPointInRange(1.0f, 1200.0f),
                                             input.ConsumeFloatingPointInRange(1.0f, 1200.0f));
  pixavue::engine::ImageId id = pixavue::engine::kNoImage;
  pixavue::engine::RegisterImage(bitmap, "", "", pixavue::engine::SourceKind::Plain, id);
  box.SetNativeImage(id);
  return id;
}

void CheckBar(const pixavue::platform::ScrollBar& bar) {
  if (bar.Min() != 0 || bar.Value() < 0 || bar.Value() > bar.Max()) std::abort();
}

// The zoomed size, rounded, on each axis. A stretch to the control fills
// the view instead, and stays until the next layout even once the mode
// reads custom.
void CheckDisplayedSize(const ImageBox& box, int viewWidth, int viewHeight) {
  const pixavue::ImageBoxRuntime& state = box.Runtime();
  if (state.DisplayedWidth == viewWidth && state.DisplayedHeight == viewHeight) return;
  const double width = box.get_ImageWidth() * box.get_ZOOM();
  const double height = box.get_ImageHeight() * box.get_ZOOM() / state.PixelAspect;
  if (std::abs(state.DisplayedWidth - width) > 0.5 || std::abs(state.DisplayedHeight - height) > 0.5) std::abort();
}

// Scrolled to its end, each bar shows the image's last pixel: the range
// plus the view left beside the other visible bar covers the displayed
// size. A fitted view hides its bars; the image then fits.
void CheckEveryPixelReachable(ImageBox& box) {
  const pixavue::ImageBoxRuntime& state = box.Runtime();
  const int viewWidth = box.Surface().ScaleWidth() - (box.VScroll().Visible() ? box.VScroll().Width() : 0);
  const int viewHeight = box.Surface().ScaleHeight() - (box.HScroll().Visible() ? box.HScroll().Height() : 0);
  if (box.HScroll().Max() + viewWidth < state.DisplayedWidth) std::abort();
  if (box.VScroll().Max() + viewHeight < state.DisplayedHeight) std::abort();
}

void RunOperation(FuzzedDataProvider& input, pixavue::fuzz::ControlHarness& harness) {
  ImageBox& box = harness.Control();
  const auto anyInt = [&] { return input.ConsumeIntegral<std::int32_t>(); };
  switch (input.ConsumeIntegralInRange(0, 29)) {
    case 0: box.SetZoom(input.ConsumeFloatingPoint<float>()); break;
    case 1: box.ZoomIN(); break;
    case 2: box.ZoomOUT(); break;
    case 3: box.put_ZoomMode(static_cast<pixavue::ViewerZoomMode>(input.ConsumeIntegralInRange(-1, 11))); break;
    case 4: box.ZoomArea(anyInt(), anyInt(), anyInt(), anyInt()); break;
    case 5: box.SetHScrollBarPosition(anyInt()); break;
    case 6: box.SetVScrollBarPosition(anyInt()); break;
    case 7: box.SetHVScrollBarPosition(anyInt(), anyInt()); break;
    case 8:
      harness.Hosted().Resize(input.ConsumeIntegralInRange(0, 700), input.ConsumeIntegralInRange(0, 500));
      break;
    case 9: box.put_ImagePosition(static_cast<pixavue::ViewerImagePosition>(input.ConsumeIntegralInRange(-2, 12))); break;
    case 10:
      box.put_ImageAlignment(static_cast<pixavue::ViewerImageAlignment>(input.ConsumeIntegralInRange(-2, 12)));
      break;
    case 11: box.put_KeepImagePosition(input.ConsumeBool()); break;
    case 12:
      box.put_ScrollBars(input.ConsumeBool());
      box.put_ForceScrollBars(input.ConsumeBool());
      break;
    case 13: box.put_ZOOM(input.ConsumeFloatingPoint<double>()); break;
    case 14: box.put_ZoomStep(anyInt()); break;
    case 15:
      box.put_gamma(input.ConsumeFloatingPoint<float>());
      box.put_ViewerQuality(static_cast<pixavue::ViewerQuality>(input.ConsumeIntegralInRange(-1, 6)));
      break;
    case 16:
      box.put_BackStyle(input.ConsumeBool() ? pixavue::bkOpaque : pixavue::bkTransparent);
      box.put_ForcePictureMode(input.ConsumeBool());
      box.put_ImageMaskColor(input.ConsumeIntegral<std::uint32_t>());
      box.Redraw();
      break;
    case 17:
      box.put_ViewerQualityAuto(input.ConsumeBool());
      harness.Host().Advance(input.ConsumeIntegralInRange(0, 2000));
      break;
    default: pixavue::fuzz::RunSelectionOrPageOperation(input, harness); break;
  }
  pixavue::fuzz::CheckPagesAndAnimation(box);
  CheckBar(box.HScroll());
  CheckBar(box.VScroll());
  // Only a laid-out image is measured: a control with no room left beside
  // its forced bars skips its layouts.
  const int barWidth = box.get_ForceScrollBars() ? box.VScroll().Width() : 0;
  const int barHeight = box.get_ForceScrollBars() ? box.HScroll().Height() : 0;
  const int viewWidth = box.Surface().ScaleWidth() - barWidth;
  const int viewHeight = box.Surface().ScaleHeight() - barHeight;
  if (box.Runtime().ImageAdopted && viewWidth > 0 && viewHeight > 0) {
    CheckDisplayedSize(box, viewWidth, viewHeight);
    CheckEveryPixelReachable(box);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pixavue::fuzz::ControlHarness::Start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pixavue::fuzz::ControlHarness& harness = pixavue::fuzz::ControlHarness::Start();
  FuzzedDataProvider input(data, size);
  ImageBox& box = harness.Control();
  box.InitProperties();
  box.put_SilentMode(true);
  harness.Hosted().Resize(input.ConsumeIntegralInRange(0, 700), input.ConsumeIntegralInRange(0, 500));
  const pixavue::engine::ImageId id =
      input.ConsumeBool() ? ShowImage(input, box) : pixavue::fuzz::ShowAnimation(input, box);
  for (int step = 0; step < 24 && input.remaining_bytes() > 0; ++step) RunOperation(input, harness);
  box.CloseImage();
  pixavue::engine::ReleaseImage(id);
  harness.CheckNothingLeft();
  return 0;
}
