// What the control's render adds to the imaging layer's own draw of the
// same rectangles in the same run: a 6000 x 4000 photo-like image in a
// 1600 x 1000 headless control, fitted, rendered at each ViewerQuality; and
// a scroll step at zoom 1 and 2. Each control benchmark has a bare
// counterpart: a graphics over the same surface with the control's settings
// (smoothing none, pixel offset half, high-speed compositing, the same
// interpolation) and one GdipDrawImageRectRectI of the rectangles the
// control reports (GetDisplayedArea, GetImageLeft/Top, DisplayedWidth).
// The rectangles are checked once against the control's own draw. A clear
// of the surface, which every render does first, is measured on its own.
// Wall-clock times: the imaging layer may use two threads inside one call.

#include <benchmark/benchmark.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_draw_interceptor.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "bare_draw.h"

namespace {

using namespace pixavue;
using namespace pixavue::platform;
using bench::BareDraw;
using bench::DrawRects;

constexpr int kImageWidth = 6000;
constexpr int kImageHeight = 4000;
constexpr int kControlWidth = 1600;
constexpr int kControlHeight = 1000;
// Two scroll positions a step apart, inside the range at zoom 1 and 2.
constexpr std::array<std::int32_t, 2> kScrollPositions{1200, 1264};

// Interpolation modes of ViewerQuality 0 to 4.
constexpr std::array<InterpolationMode, 5> kQualityModes{InterpolationModeNearestNeighbor, InterpolationModeBilinear,
                                                         InterpolationModeBicubic, InterpolationModeHighQualityBilinear,
                                                         InterpolationModeHighQualityBicubic};

// Diagonal gradients with a little pseudo-random grain, 24 bits a pixel.
void FillPhotoLike(GpImage* image) {
  BitmapData data{};
  const GpRect all{0, 0, kImageWidth, kImageHeight};
  GdipBitmapLockBits(image, &all, ImageLockModeWrite, PixelFormat24bppRGB, &data);
  std::uint32_t grain = 2463534242u;
  for (int y = 0; y < kImageHeight; ++y) {
    auto* row = static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
    for (int x = 0; x < kImageWidth; ++x) {
      grain ^= grain << 13;
      grain ^= grain >> 17;
      grain ^= grain << 5;
      row[3 * x] = static_cast<std::uint8_t>((x + y) / 40 + (grain & 7));
      row[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / kImageHeight);
      row[3 * x + 2] = static_cast<std::uint8_t>(255 - x * 255 / kImageWidth + (grain >> 29));
    }
  }
  GdipBitmapUnlockBits(image, &data);
}

// The control with the image shown, made once for the process.
class Scene final {
 public:
  Scene() {
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->InitNew();
    control_->Show();
    control_->Resize(kControlWidth, kControlHeight);
    engine::CreateBitmapFromPixels(kImageWidth, kImageHeight, 0, PixelFormat24bppRGB, nullptr, false, image_);
    FillPhotoLike(engine::NativeHandle(image_));
    Box().SetNativeImage(image_);
  }
  ~Scene() {
    control_.reset();
    engine::ReleaseImage(image_);
  }

  ImageBox& Box() { return control_->Control(); }
  GpImage* Image() { return engine::NativeHandle(image_); }

  // The rectangles of the last render, as the control reports them.
  DrawRects ReportedRects(InterpolationMode interpolation) {
    ImageBox& box = Box();
    const int viewWidth = box.Surface().ScaleWidth() - (box.VScroll().Visible() ? box.VScroll().Width() : 0);
    const int viewHeight = box.Surface().ScaleHeight() - (box.HScroll().Visible() ? box.HScroll().Height() : 0);
    DrawRects r;
    r.interpolation = interpolation;
    box.GetDisplayedArea(r.srcX, r.srcY, r.srcWidth, r.srcHeight);
    const auto& runtime = box.Runtime();
    const bool cutX = viewWidth < runtime.DisplayedWidth;
    const bool cutY = viewHeight < runtime.DisplayedHeight;
    r.dstX = cutX ? 0 : box.GetImageLeft();
    r.dstWidth = cutX ? viewWidth : runtime.DisplayedWidth;
    r.dstY = cutY ? 0 : box.GetImageTop();
    r.dstHeight = cutY ? viewHeight : runtime.DisplayedHeight;
    // The draw keeps the source inside the image.
    if (r.srcX + r.srcWidth > kImageWidth) r.srcX = kImageWidth - r.srcWidth;
    if (r.srcY + r.srcHeight > kImageHeight) r.srcY = kImageHeight - r.srcHeight;
    return r;
  }

  // The draw the control makes in `render`, seen through the draw
  // interceptor; nullopt when it made none or several.
  template <typename Render>
  std::optional<DrawRects> ObservedRects(Render render) {
    return bench::ObservedDraw(render);
  }

 private:
  headless::HeadlessHost host_;
  std::unique_ptr<headless::HeadlessControl> control_;
  engine::ImageId image_ = engine::kNoImage;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

// Fits the image at the quality of the benchmark's argument; checks the
// reported rectangles against the control's own draw.
std::optional<DrawRects> PrepareFit(benchmark::State& state) {
  ImageBox& box = TheScene().Box();
  box.SetZoomFitControl();
  const auto quality = static_cast<ViewerQuality>(state.range(0));
  const auto observed = TheScene().ObservedRects([&] { box.put_ViewerQuality(quality); });
  const DrawRects reported = TheScene().ReportedRects(kQualityModes[static_cast<std::size_t>(quality)]);
  if (!observed || *observed != reported) {
    state.SkipWithError("the control's draw differs from the reported rectangles");
    return std::nullopt;
  }
  return reported;
}

void ControlRenderFitted(benchmark::State& state) {
  if (!PrepareFit(state)) return;
  ImageBox& box = TheScene().Box();
  const auto quality = static_cast<ViewerQuality>(state.range(0));
  for (auto _ : state) {
    box.put_ViewerQuality(quality);  // one layout and one render
    if (box.GetStat() != QuorvexStatus::OK) state.SkipWithError("render failed");
  }
}

void BareDrawFitted(benchmark::State& state) {
  const auto rects = PrepareFit(state);
  if (!rects) return;
  const HDC hdc = TheScene().Box().get_hdc();
  for (auto _ : state) {
    if (BareDraw(hdc, TheScene().Image(), *rects) != Ok) state.SkipWithError("draw failed");
  }
}

// Zooms to the benchmark's argument (percent) and records the rectangles of
// both scroll positions, checked against the control's own draws.
std::optional<std::array<DrawRects, 2>> PrepareScroll(benchmark::State& state) {
  ImageBox& box = TheScene().Box();
  box.put_ViewerQuality(ViewerQualityBicubicHQ);
  box.SetZoom(static_cast<float>(state.range(0)));
  const InterpolationMode mode =
      state.range(0) == 100 ? InterpolationModeNearestNeighbor : InterpolationModeHighQualityBicubic;
  box.SetHScrollBarPosition(0);  // each position below is then a change, which draws
  std::array<DrawRects, 2> rects;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const auto observed = TheScene().ObservedRects([&] { box.SetHScrollBarPosition(kScrollPositions[i]); });
    rects[i] = TheScene().ReportedRects(mode);
    if (!observed || *observed != rects[i] || box.GetHScrollBarPosition() != kScrollPositions[i]) {
      state.SkipWithError("the control's draw differs from the reported rectangles");
      return std::nullopt;
    }
  }
  return rects;
}

void ControlScrollStep(benchmark::State& state) {
  if (!PrepareScroll(state)) return;
  ImageBox& box = TheScene().Box();
  std::size_t next = 0;
  for (auto _ : state) {
    box.SetHScrollBarPosition(kScrollPositions[next]);  // the bar's change renders once
    next ^= 1;
  }
}

void BareDrawScrollStep(benchmark::State& state) {
  const auto rects = PrepareScroll(state);
  if (!rects) return;
  const HDC hdc = TheScene().Box().get_hdc();
  std::size_t next = 0;
  for (auto _ : state) {
    if (BareDraw(hdc, TheScene().Image(), (*rects)[next]) != Ok) state.SkipWithError("draw failed");
    next ^= 1;
  }
}

// Part of every render that the bare draws leave out: the surface cleared
// to the background colour before the image is drawn.
void BareClearOfTheSurface(benchmark::State& state) {
  const HDC hdc = TheScene().Box().get_hdc();
  for (auto _ : state) {
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(hdc, &graphics) != Ok) state.SkipWithError("no graphics");
    GdipGraphicsClear(graphics, 0xFF000000u);
    GdipDeleteGraphics(graphics);
  }
}

BENCHMARK(ControlRenderFitted)->DenseRange(0, 4)->ArgName("quality")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareDrawFitted)->DenseRange(0, 4)->ArgName("quality")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ControlScrollStep)->Arg(100)->Arg(200)->ArgName("zoom")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareDrawScrollStep)->Arg(100)->Arg(200)->ArgName("zoom")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareClearOfTheSurface)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
