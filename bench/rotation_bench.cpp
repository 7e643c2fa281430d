// The control's rotation members on a 6000 x 4000 24-bit image in an
// 800 x 600 headless control, each rotate-flip type, against a copy of the
// image's bytes (memcpy) measured in the same run; the engine's RotateFlip
// alone, without the control's layout and render; and the peak memory of a
// quarter turn through the control, measured in a forked child, relative to
// the image's pixel bytes. Each benchmark reports its time as a multiple of
// the copy ("x_copy"). Wall-clock times: the imaging layer may use two
// threads inside one call.

#include <benchmark/benchmark.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/engine/image_transforms.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "peak_memory.h"

namespace {

using namespace pixavue;
using namespace pixavue::platform;

constexpr int kImageWidth = 6000;
constexpr int kImageHeight = 4000;
constexpr std::size_t kPixelBytes = std::size_t{kImageWidth} * kImageHeight * 3;

void FillPattern(GpImage* image) {
  BitmapData data{};
  GdipBitmapLockBits(image, nullptr, ImageLockModeWrite, PixelFormat24bppRGB, &data);
  std::uint32_t grain = 2463534242u;
  for (int y = 0; y < kImageHeight; ++y) {
    auto* row = static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
    for (int x = 0; x < kImageWidth * 3; ++x) {
      grain ^= grain << 13;
      grain ^= grain >> 17;
      grain ^= grain << 5;
      row[x] = static_cast<std::uint8_t>(grain);
    }
  }
  GdipBitmapUnlockBits(image, &data);
}

// The control showing the image, made once for the process.
class Scene final {
 public:
  Scene() {
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->InitNew();
    control_->Show();
    control_->Resize(800, 600);
    engine::CreateBitmapFromPixels(kImageWidth, kImageHeight, 0, PixelFormat24bppRGB, nullptr, false, image_);
    FillPattern(engine::NativeHandle(image_));
    control_->Control().SetNativeImage(image_);
  }
  ImageBox& box() { return control_->Control(); }
  engine::ImageId image() const { return image_; }

 private:
  headless::HeadlessHost host_;
  std::unique_ptr<headless::HeadlessControl> control_;
  engine::ImageId image_ = engine::kNoImage;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

// Wall-clock and process CPU time (all threads) in seconds.
struct Clocks final {
  double wall = 0;
  double cpu = 0;
};

Clocks Now() {
  timespec cpu{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return Clocks{wall, static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9};
}

Clocks Since(const Clocks& start) {
  const Clocks now = Now();
  return Clocks{now.wall - start.wall, now.cpu - start.cpu};
}

// The fastest of a few copies of the image's bytes.
Clocks CopyTime() {
  static const Clocks fastest = [] {
    std::vector<std::uint8_t> from(kPixelBytes, 0x5A);
    std::vector<std::uint8_t> to(kPixelBytes, 0);
    Clocks best{1e9, 1e9};
    for (int i = 0; i < 20; ++i) {
      const Clocks start = Now();
      std::memcpy(to.data(), from.data(), kPixelBytes);
      benchmark::DoNotOptimize(to.data());
      const Clocks took = Since(start);
      best = Clocks{std::min(best.wall, took.wall), std::min(best.cpu, took.cpu)};
    }
    return best;
  }();
  return fastest;
}

// x_copy: wall-clock time over the copy's; x_copy_cpu: CPU time of every
// thread over the copy's, which a loaded machine disturbs less.
template <typename Step>
void Measure(benchmark::State& state, Step step) {
  const Clocks copy = CopyTime();
  Clocks total;
  for (auto _ : state) {
    const Clocks start = Now();
    step();
    const Clocks took = Since(start);
    total.wall += took.wall;
    total.cpu += took.cpu;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["x_copy"] = total.wall / n / copy.wall;
  state.counters["x_copy_cpu"] = total.cpu / n / copy.cpu;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPixelBytes));
}

void BM_Baseline_CopyImageBytes(benchmark::State& state) {
  std::vector<std::uint8_t> from(kPixelBytes, 0x5A);
  std::vector<std::uint8_t> to(kPixelBytes, 0);
  Measure(state, [&] {
    std::memcpy(to.data(), from.data(), kPixelBytes);
    benchmark::DoNotOptimize(to.data());
  });
}
BENCHMARK(BM_Baseline_CopyImageBytes)->UseRealTime()->Unit(benchmark::kMillisecond);

using Member = QuorvexStatus (ImageBox::*)();
constexpr Member kMembers[] = {nullptr,           &ImageBox::Rotate90, &ImageBox::Rotate180, &ImageBox::Rotate270,
                               &ImageBox::FlipX,  &ImageBox::FlipX90,  &ImageBox::FlipX180,  &ImageBox::FlipX270};

// The member for the type (1 to 7), layout and render included.
void BM_ControlMember(benchmark::State& state) {
  Scene& scene = TheScene();
  const Member member = kMembers[state.range(0)];
  (scene.box().*member)();  // the first turn also moves the image into an engine buffer
  Measure(state, [&] {
    if ((scene.box().*member)() != QuorvexStatus::OK) state.SkipWithError("the turn failed");
  });
}
BENCHMARK(BM_ControlMember)->DenseRange(1, 7)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMillisecond);

// The engine's turn alone: the imaging layer's rotation and the copy into
// an engine buffer that follows it.
void BM_EngineRotateFlip(benchmark::State& state) {
  Scene& scene = TheScene();
  const auto type = static_cast<RotateFlipType>(state.range(0));
  Measure(state, [&] {
    if (engine::RotateFlip(scene.image(), type, false) != QuorvexStatus::OK) state.SkipWithError("the turn failed");
  });
}
BENCHMARK(BM_EngineRotateFlip)->DenseRange(1, 7)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMillisecond);

// Peak resident growth of one Rotate90 in a child, added to the image's
// own bytes (resident before the turn), over those bytes.
void BM_Rotate90PeakMemory(benchmark::State& state) {
  Scene& scene = TheScene();
  for (auto _ : state) {
    const test::ChildRun run =
        test::RunInChild([&] { return static_cast<GpStatus>(ToInt(scene.box().Rotate90())); }, 120);
    if (!run.finished || run.status != Ok) {
      state.SkipWithError("the turn in the child failed");
      return;
    }
    state.counters["peak_x_pixels"] =
        static_cast<double>(kPixelBytes + run.peakBytes) / static_cast<double>(kPixelBytes);
    state.counters["child_seconds"] = run.seconds;
  }
}
BENCHMARK(BM_Rotate90PeakMemory)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
