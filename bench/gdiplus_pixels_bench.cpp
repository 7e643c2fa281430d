// Costs of the pixel conversions the renderer leans on: a 1920x1080 frame
// locked into a caller's 32-bit buffer. A plain copy of the same bytes is
// the baseline, so results read as ratios.

#include <cstring>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include <benchmark/benchmark.h>

#include "imaging_session.h"

namespace {

using namespace pixavue::platform;

constexpr INT kWidth = 1920;
constexpr INT kHeight = 1080;

// A frame of `format` with varied pixels (half-transparent where it has
// alpha), disposed at the end.
struct Frame {
  explicit Frame(PixelFormat format) {
    GdipCreateBitmapFromScan0(kWidth, kHeight, 0, format, nullptr, &bitmap);
    std::vector<ARGB> pixels(std::size_t{kWidth} * kHeight);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = (0x80u + (i & 0x7F)) << 24 | (i * 2654435761u >> 8);
    BitmapData data;
    data.Stride = kWidth * 4;
    data.Scan0 = pixels.data();
    const UINT32 mode =
        IsIndexedPixelFormat(format) ? ImageLockModeWrite : ImageLockModeWrite | ImageLockModeUserInputBuf;
    const PixelFormat lockFormat = IsIndexedPixelFormat(format) ? format : PixelFormat32bppARGB;
    GdipBitmapLockBits(bitmap, nullptr, mode, lockFormat, &data);
    if (IsIndexedPixelFormat(format)) {
      auto* bytes = static_cast<BYTE*>(data.Scan0);
      for (INT y = 0; y < kHeight; ++y) {
        for (INT x = 0; x < kWidth; ++x) bytes[y * data.Stride + x] = static_cast<BYTE>(x * 7 + y);
      }
    }
    GdipBitmapUnlockBits(bitmap, &data);
  }
  ~Frame() { GdipDisposeImage(bitmap); }
  GpBitmap* bitmap = nullptr;
};

void LockInto(benchmark::State& state, PixelFormat stored, PixelFormat wanted) {
  pixavue::bench::ImagingSession session;
  Frame frame(stored);
  std::vector<ARGB> out(std::size_t{kWidth} * kHeight);
  for (auto _ : state) {
    BitmapData data;
    data.Stride = kWidth * 4;
    data.Scan0 = out.data();
    GdipBitmapLockBits(frame.bitmap, nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, wanted, &data);
    GdipBitmapUnlockBits(frame.bitmap, &data);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Baseline_CopyFrame(benchmark::State& state) {
  std::vector<ARGB> in(std::size_t{kWidth} * kHeight, 0x80402010);
  std::vector<ARGB> out(in.size());
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size() * sizeof(ARGB));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Baseline_CopyFrame);

void BM_Lock24bppAs32bppARGB(benchmark::State& state) { LockInto(state, PixelFormat24bppRGB, PixelFormat32bppARGB); }
BENCHMARK(BM_Lock24bppAs32bppARGB);

void BM_Lock32bppARGBAsPARGB(benchmark::State& state) { LockInto(state, PixelFormat32bppARGB, PixelFormat32bppPARGB); }
BENCHMARK(BM_Lock32bppARGBAsPARGB);

void BM_Lock32bppPARGBAsARGB(benchmark::State& state) { LockInto(state, PixelFormat32bppPARGB, PixelFormat32bppARGB); }
BENCHMARK(BM_Lock32bppPARGBAsARGB);

void BM_Lock8bppIndexedAs32bppARGB(benchmark::State& state) {
  LockInto(state, PixelFormat8bppIndexed, PixelFormat32bppARGB);
}
BENCHMARK(BM_Lock8bppIndexedAs32bppARGB);

void BM_RotateFrame90(benchmark::State& state) {
  pixavue::bench::ImagingSession session;
  Frame frame(PixelFormat32bppARGB);
  for (auto _ : state) GdipImageRotateFlip(frame.bitmap, Rotate90FlipNone);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_RotateFrame90);

}  // namespace
