// Image drawing as the viewer control does it: a 6000x4000 premultiplied
// photo-like image into a 1600x1000 bitmap, whole (shrunk) in each
// interpolation mode, and a 1600x1000 visible part at zoom 1 and 2. Each is
// measured against pixman compositing the same area with its own nearest
// and bilinear transforms in the same run, so results read as ratios.
// Wall-clock times: the layer may use two threads inside one call.

#include <pixman.h>

#include <cstdint>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include <benchmark/benchmark.h>

#include "imaging_session.h"

namespace {

using namespace pixavue::platform;

constexpr int kSourceWidth = 6000;
constexpr int kSourceHeight = 4000;
constexpr int kViewWidth = 1600;
constexpr int kViewHeight = 1000;

// Opaque smooth gradients with fine noise, like a photograph.
std::vector<std::uint32_t> PhotoPixels() {
  std::vector<std::uint32_t> pixels(std::size_t{kSourceWidth} * kSourceHeight);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kSourceHeight; ++y) {
    for (int x = 0; x < kSourceWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const std::uint32_t r = (x * 255 / kSourceWidth + (noise >> 28)) & 0xFF;
      const std::uint32_t g = (y * 255 / kSourceHeight + (noise >> 24 & 7)) & 0xFF;
      const std::uint32_t b = ((x + y) / 40 + (noise >> 20 & 15)) & 0xFF;
      pixels[std::size_t{static_cast<std::size_t>(y)} * kSourceWidth + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return pixels;
}

std::vector<std::uint32_t>& SharedPixels() {
  static std::vector<std::uint32_t> pixels = PhotoPixels();
  return pixels;
}

// What one measured draw shows: the source area and the zoom.
struct View {
  int sourceX;
  int sourceY;
  int sourceWidth;
  int sourceHeight;
};

constexpr View kWhole{0, 0, kSourceWidth, kSourceHeight};
constexpr View kZoom1{2200, 1500, kViewWidth, kViewHeight};
constexpr View kZoom2{2600, 1750, kViewWidth / 2, kViewHeight / 2};

void LayerDraw(benchmark::State& state, View view, InterpolationMode mode) {
  pixavue::bench::ImagingSession session;
  GpBitmap* source = nullptr;
  GdipCreateBitmapFromScan0(kSourceWidth, kSourceHeight, kSourceWidth * 4, PixelFormat32bppPARGB,
                            reinterpret_cast<BYTE*>(SharedPixels().data()), &source);
  GpBitmap* target = nullptr;
  GdipCreateBitmapFromScan0(kViewWidth, kViewHeight, 0, PixelFormat32bppPARGB, nullptr, &target);
  GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(target, &graphics);
  GdipSetInterpolationMode(graphics, mode);
  GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
  GdipSetCompositingQuality(graphics, CompositingQualityHighSpeed);
  for (auto _ : state) {
    const GpStatus status =
        GdipDrawImageRectRectI(graphics, source, 0, 0, kViewWidth, kViewHeight, view.sourceX, view.sourceY,
                               view.sourceWidth, view.sourceHeight, UnitPixel, nullptr, nullptr, nullptr);
    if (status != Ok) state.SkipWithError("draw failed");
  }
  GdipDeleteGraphics(graphics);
  GdipDisposeImage(target);
  GdipDisposeImage(source);
}

// The same area composited over by pixman with a scaling transform (edge
// pixels repeated, as the layer clamps).
void PixmanDraw(benchmark::State& state, View view, pixman_filter_t filter) {
  pixman_image_t* source =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSourceWidth, kSourceHeight, SharedPixels().data(), kSourceWidth * 4);
  std::vector<std::uint32_t> targetPixels(std::size_t{kViewWidth} * kViewHeight);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kViewWidth, kViewHeight, targetPixels.data(), kViewWidth * 4);
  const double scaleX = static_cast<double>(view.sourceWidth) / kViewWidth;
  const double scaleY = static_cast<double>(view.sourceHeight) / kViewHeight;
  pixman_transform_t transform;
  pixman_transform_init_identity(&transform);
  transform.matrix[0][0] = pixman_double_to_fixed(scaleX);
  transform.matrix[1][1] = pixman_double_to_fixed(scaleY);
  transform.matrix[0][2] = pixman_int_to_fixed(view.sourceX);
  transform.matrix[1][2] = pixman_int_to_fixed(view.sourceY);
  pixman_image_set_transform(source, &transform);
  pixman_image_set_filter(source, filter, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kViewWidth, kViewHeight);
    benchmark::DoNotOptimize(targetPixels.data());
  }
  pixman_image_unref(target);
  pixman_image_unref(source);
}

void Register() {
  struct Mode {
    const char* name;
    InterpolationMode mode;
  };
  const Mode modes[] = {{"nearest5", InterpolationModeNearestNeighbor},
                        {"bilinear3", InterpolationModeBilinear},
                        {"bicubic4", InterpolationModeBicubic},
                        {"hqbilinear6", InterpolationModeHighQualityBilinear},
                        {"hqbicubic7", InterpolationModeHighQualityBicubic}};
  struct Case {
    const char* name;
    View view;
  };
  const Case cases[] = {{"whole", kWhole}, {"zoom1", kZoom1}, {"zoom2", kZoom2}};
  for (const Case& c : cases) {
    for (const Mode& m : modes) {
      benchmark::RegisterBenchmark((std::string("Layer/") + c.name + "/" + m.name).c_str(), LayerDraw, c.view, m.mode)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->MeasureProcessCPUTime();
    }
    benchmark::RegisterBenchmark((std::string("Pixman/") + c.name + "/nearest").c_str(), PixmanDraw, c.view,
                                 PIXMAN_FILTER_NEAREST)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark((std::string("Pixman/") + c.name + "/bilinear").c_str(), PixmanDraw, c.view,
                                 PIXMAN_FILTER_BILINEAR)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
  }
}

const int registered = (Register(), 0);

}  // namespace
