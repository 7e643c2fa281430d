// How fast the imaging layer draws the most common image, a 6000 x 4000
// JPEG kept as 24bppRGB, against libraries drawing a 32-bit copy of the same
// pixels in the same run: fitted into 1500 x 1000 at nearest, bilinear and
// high-quality bicubic, and scroll steps of a 1600 x 1000 view at zoom 1
// and 2. Baselines: pixman (nearest, bilinear, a SRC blit for zoom 1), Qt
// when the build found it (draw_speed_qt.cpp), and memcpy of the view's
// rows as the floor. Last, DisplayFromFile of the file at fit zoom with
// quality 4 against the decode alone. Targets are 32bppRGB, as the
// control's surface. Wall-clock times: the layer may use several threads.

#include <pixman.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "draw_speed_fixture.h"

namespace {

using namespace pixavue;
using namespace pixavue::platform;
using bench::kFitHeight;
using bench::kFitWidth;
using bench::kPhotoHeight;
using bench::kPhotoWidth;
using bench::kViewHeight;
using bench::kViewWidth;
using bench::SourceArea;

constexpr SourceArea kWhole{0, 0, kPhotoWidth, kPhotoHeight};

// The layer drawing `source` into a 32bppRGB bitmap, cycling through the
// areas (one for a fit, two for a scroll step).
void LayerDraw(benchmark::State& state, GpImage* source, const SourceArea* areas, int areaCount, int width,
               int height, InterpolationMode mode) {
  GpBitmap* target = nullptr;
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppRGB, nullptr, &target);
  GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(target, &graphics);
  GdipSetInterpolationMode(graphics, mode);
  GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
  GdipSetCompositingQuality(graphics, CompositingQualityHighSpeed);
  int next = 0;
  for (auto _ : state) {
    const SourceArea& a = areas[next];
    next = (next + 1) % areaCount;
    if (GdipDrawImageRectRectI(graphics, source, 0, 0, width, height, a.x, a.y, a.width, a.height, UnitPixel, nullptr,
                               nullptr, nullptr) != Ok) {
      state.SkipWithError("draw failed");
    }
  }
  GdipDeleteGraphics(graphics);
  GdipDisposeImage(target);
}

// The same source as the 32-bit copy in the layer's own premultiplied
// format, for comparison with the draws from 24 bits.
GpBitmap* Layer32Copy() {
  static GpBitmap* copy = [] {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(kPhotoWidth, kPhotoHeight, bench::Photo::stride32(), PixelFormat32bppPARGB,
                              reinterpret_cast<BYTE*>(bench::ThePhoto().pixels32()), &bitmap);
    return bitmap;
  }();
  return copy;
}

void PixmanDraw(benchmark::State& state, const SourceArea* areas, int areaCount, int width, int height,
                pixman_filter_t filter, pixman_op_t op) {
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_x8r8g8b8, kPhotoWidth, kPhotoHeight,
                                                    bench::ThePhoto().pixels32(), bench::Photo::stride32());
  std::vector<std::uint32_t> targetPixels(std::size_t{static_cast<std::size_t>(width)} * height);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, targetPixels.data(), width * 4);
  pixman_image_set_filter(source, filter, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
  int next = 0;
  for (auto _ : state) {
    const SourceArea& a = areas[next];
    next = (next + 1) % areaCount;
    if (a.width == width && a.height == height) {
      // One to one: a plain blit from the area, no transform.
      pixman_image_composite32(op, source, nullptr, target, a.x, a.y, 0, 0, 0, 0, width, height);
    } else {
      pixman_transform_t transform;
      pixman_transform_init_identity(&transform);
      transform.matrix[0][0] = pixman_double_to_fixed(static_cast<double>(a.width) / width);
      transform.matrix[1][1] = pixman_double_to_fixed(static_cast<double>(a.height) / height);
      transform.matrix[0][2] = pixman_int_to_fixed(a.x);
      transform.matrix[1][2] = pixman_int_to_fixed(a.y);
      pixman_image_set_transform(source, &transform);
      pixman_image_composite32(op, source, nullptr, target, 0, 0, 0, 0, 0, 0, width, height);
    }
    benchmark::DoNotOptimize(targetPixels.data());
  }
  pixman_image_unref(target);
  pixman_image_unref(source);
}

// The floor of a zoom-1 step: the view's rows copied out of the 32-bit copy.
void MemcpyRows(benchmark::State& state) {
  std::vector<std::uint32_t> target(std::size_t{kViewWidth} * kViewHeight);
  const std::uint32_t* pixels = bench::ThePhoto().pixels32();
  int next = 0;
  for (auto _ : state) {
    const SourceArea& a = bench::kZoom1Steps[next];
    next ^= 1;
    for (int y = 0; y < kViewHeight; ++y) {
      std::memcpy(target.data() + std::size_t{static_cast<std::size_t>(y)} * kViewWidth,
                  pixels + std::size_t{static_cast<std::size_t>(a.y + y)} * kPhotoWidth + a.x,
                  std::size_t{kViewWidth} * 4);
    }
    benchmark::DoNotOptimize(target.data());
  }
}

// A control of the view's size at fit zoom and quality 4 (high-quality
// bicubic), made once.
ImageBox& FittedControl() {
  static headless::HeadlessHost host;
  static std::unique_ptr<headless::HeadlessControl> control = [] {
    auto made = std::make_unique<headless::HeadlessControl>(host);
    made->InitNew();
    made->Show();
    made->Resize(kViewWidth, kViewHeight);
    made->Control().SetZoomFitControl();
    made->Control().put_ViewerQuality(ViewerQualityBicubicHQ);
    return made;
  }();
  return control->Control();
}

void DisplayFromFileFitted(benchmark::State& state) {
  ImageBox& box = FittedControl();
  const std::string path = bench::ThePhoto().path().string();
  for (auto _ : state) {
    if (box.DisplayFromFile(path) != QuorvexStatus::OK) state.SkipWithError("load failed");
    box.CloseImage();
  }
}

void DecodeAlone(benchmark::State& state) {
  const std::string narrow = bench::ThePhoto().path().string();
  const std::u16string path(narrow.begin(), narrow.end());
  for (auto _ : state) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Ok) state.SkipWithError("decode failed");
    GdipDisposeImage(bitmap);
  }
}

template <typename... Args>
void Add(const std::string& name, Args&&... args) {
  benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->MeasureProcessCPUTime();
}

void Register() {
  struct Mode {
    const char* name;
    InterpolationMode mode;
  };
  const Mode modes[] = {{"nearest", InterpolationModeNearestNeighbor},
                        {"bilinear", InterpolationModeBilinear},
                        {"hqbicubic", InterpolationModeHighQualityBicubic}};
  struct Case {
    const char* name;
    const SourceArea* areas;
    int count;
    int width;
    int height;
  };
  const Case cases[] = {{"fit", &kWhole, 1, kFitWidth, kFitHeight},
                        {"zoom1", bench::kZoom1Steps, 2, kViewWidth, kViewHeight},
                        {"zoom2", bench::kZoom2Steps, 2, kViewWidth, kViewHeight}};
  for (const Case& c : cases) {
    for (const Mode& m : modes) {
      Add(std::string("Layer24/") + c.name + "/" + m.name, [c, m](benchmark::State& state) {
        LayerDraw(state, bench::ThePhoto().decoded(), c.areas, c.count, c.width, c.height, m.mode);
      });
      Add(std::string("Layer32/") + c.name + "/" + m.name, [c, m](benchmark::State& state) {
        LayerDraw(state, Layer32Copy(), c.areas, c.count, c.width, c.height, m.mode);
      });
    }
    const bool blit = c.areas == bench::kZoom1Steps;
    const auto pixman = [c](pixman_filter_t filter, pixman_op_t op) {
      return [c, filter, op](benchmark::State& state) { PixmanDraw(state, c.areas, c.count, c.width, c.height, filter, op); };
    };
    if (blit) Add(std::string("Pixman/") + c.name + "/src", pixman(PIXMAN_FILTER_NEAREST, PIXMAN_OP_SRC));
    Add(std::string("Pixman/") + c.name + "/nearest", pixman(PIXMAN_FILTER_NEAREST, PIXMAN_OP_OVER));
    Add(std::string("Pixman/") + c.name + "/bilinear", pixman(PIXMAN_FILTER_BILINEAR, PIXMAN_OP_OVER));
  }
  Add("Memcpy/zoom1/rows", MemcpyRows);
  bench::RegisterQtBaselines();
  Add("Control/DisplayFromFile/fit/q4", DisplayFromFileFitted);
  Add("Imaging/DecodeAlone", DecodeAlone);
}

const int registered = (Register(), 0);

}  // namespace
