// What the control's loaders add to the imaging library's own decoding of
// the same file in the same run: a 6000 x 4000 JPEG through DisplayFromFile
// and DisplayFromByteArray (temporary file written, loaded, deleted on
// close) against GdipCreateBitmapFromFile, and a 40-frame GIF as an
// in-place document from a file against a split one from a stream (one PNG
// page file per frame).

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/memory_stream.h>

#include "gif_test_files.h"

namespace {

namespace fs = std::filesystem;
using namespace pixavue;
using namespace pixavue::platform;

std::u16string Wide(const fs::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());  // the benchmark's paths are ASCII
}

// Gradients with a little noise, like a photograph.
GpBitmap* PhotoLikeBitmap(int width, int height, std::uint32_t seed) {
  GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &bitmap);
  BitmapData data{};
  const GpRect all{0, 0, width, height};
  GdipBitmapLockBits(bitmap, &all, ImageLockModeWrite, PixelFormat24bppRGB, &data);
  std::uint32_t noise = seed;
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      row[x * 3] = static_cast<std::uint8_t>(x * 255 / width + (noise >> 29));
      row[x * 3 + 1] = static_cast<std::uint8_t>(y * 255 / height);
      row[x * 3 + 2] = static_cast<std::uint8_t>((x + y) * 127 / (width + height) + seed * 40);
    }
  }
  GdipBitmapUnlockBits(bitmap, &data);
  return bitmap;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files, made once for the process in a folder of its own, which is also
// the folder for temporary files; a headless control to load them into.
class Fixture final {
 public:
  Fixture() : folder_(fs::temp_directory_path() / ("pixavue_loading_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    ::setenv("TMP", folder_.c_str(), 1);
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->InitNew();
    control_->Show();
    control_->Resize(1600, 1000);
    WriteJpeg();
    WriteGif();
  }
  ~Fixture() {
    control_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  ImageBox& Box() { return control_->Control(); }
  fs::path jpeg() const { return folder_ / "photo.jpg"; }
  fs::path gif() const { return folder_ / "anim.gif"; }
  const std::vector<std::uint8_t>& jpegBytes() const { return jpegBytes_; }
  const std::vector<std::uint8_t>& gifBytes() const { return gifBytes_; }

 private:
  void WriteJpeg() {
    GpBitmap* bitmap = PhotoLikeBitmap(6000, 4000, 1);
    GdipSaveImageToFile(bitmap, Wide(jpeg()).c_str(), &CLSID_JpegCodec, nullptr);
    GdipDisposeImage(bitmap);
    jpegBytes_ = ReadAll(jpeg());
  }

  // 40 frames of 400 x 300 over a 256-colour palette, looping.
  void WriteGif() {
    constexpr int kFrames = 40;
    constexpr std::uint16_t kWidth = 400;
    constexpr std::uint16_t kHeight = 300;
    std::vector<ARGB> palette;
    for (std::uint32_t i = 0; i < 256; ++i) palette.push_back(0xFF000000u | i << 16 | (255 - i) << 8 | i / 2);
    test::GifBuilder writer(kWidth, kHeight, palette);
    writer.Loop(0);
    std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight);
    for (int frame = 0; frame < kFrames; ++frame) {
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i % kWidth + frame * 7);
      writer.Control(1, 5).Image(0, 0, kWidth, kHeight, pixels);
    }
    gifBytes_ = writer.Bytes();
    std::ofstream(gif(), std::ios::binary)
        .write(reinterpret_cast<const char*>(gifBytes_.data()), static_cast<std::streamsize>(gifBytes_.size()));
  }

  fs::path folder_;
  headless::HeadlessHost host_;
  std::unique_ptr<headless::HeadlessControl> control_;
  std::vector<std::uint8_t> jpegBytes_;
  std::vector<std::uint8_t> gifBytes_;
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

void ImagingDecodeOfTheJpeg(benchmark::State& state) {
  const std::u16string path = Wide(Files().jpeg());
  for (auto _ : state) {
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Ok) state.SkipWithError("decode failed");
    PixelFormat format = 0;
    GdipGetImagePixelFormat(bitmap, &format);
    benchmark::DoNotOptimize(format);
    GdipDisposeImage(bitmap);
  }
}

void DisplayFromFileOfTheJpeg(benchmark::State& state) {
  ImageBox& box = Files().Box();
  const std::string path = Files().jpeg().string();
  for (auto _ : state) {
    if (box.DisplayFromFile(path) != QuorvexStatus::OK) state.SkipWithError("load failed");
    box.CloseImage();
  }
}

void DisplayFromByteArrayOfTheJpeg(benchmark::State& state) {
  ImageBox& box = Files().Box();
  for (auto _ : state) {
    if (box.DisplayFromByteArray(Files().jpegBytes()) != 0) state.SkipWithError("load failed");
    box.CloseImage();
  }
}

void GifFromFileInPlace(benchmark::State& state) {
  ImageBox& box = Files().Box();
  const std::string path = Files().gif().string();
  for (auto _ : state) {
    if (box.DisplayFromFile(path) != QuorvexStatus::OK) state.SkipWithError("load failed");
    box.CloseImage();
  }
}

void GifFromStreamSplit(benchmark::State& state) {
  ImageBox& box = Files().Box();
  for (auto _ : state) {
    ComPtr<IStream> stream;
    CreateMemoryStream(Files().gifBytes(), stream.ReleaseAndGetAddressOf());
    if (box.DisplayFromStream(stream.Get()) != QuorvexStatus::OK) state.SkipWithError("load failed");
    box.CloseImage();
  }
}

BENCHMARK(ImagingDecodeOfTheJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DisplayFromFileOfTheJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DisplayFromByteArrayOfTheJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GifFromFileInPlace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GifFromStreamSplit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
