// What small hostile GIF and TIFF files cost to load against an ordinary
// file of the same decoded size, in the same run: a huge GIF screen with
// two 1-pixel frames, a GIF of many full-screen frames, a huge interlaced
// GIF frame of which two rows show, a TIFF page in one
// strip and in one tile, and a TIFF page whose strip cannot hold it. Each
// load runs in a forked child, which reports its time and the growth of its
// resident peak; the counters give both for the hostile file and the
// baseline, and their ratios. The budget is raised to 4 GiB so that large
// images are allowed and what they cost is measured.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gif_test_files.h"
#include "imaging_session.h"
#include "peak_memory.h"
#include "tiff_test_files.h"

namespace {

namespace fs = std::filesystem;
using namespace pixavue::platform;
using pixavue::platform::test::GifBuilder;
using pixavue::platform::test::TiffPageSpec;

constexpr std::uint64_t kRaisedBudget = std::uint64_t{4} << 30;

std::u16string Wide(const fs::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());  // the benchmark's paths are ASCII
}

fs::path Folder() {
  static const fs::path folder = [] {
    fs::path made = fs::temp_directory_path() / ("pixavue_hostile_bench_" + std::to_string(::getpid()));
    fs::create_directories(made);
    return made;
  }();
  return folder;
}

// Writes the file once for the process; later calls return its path.
fs::path Made(const std::string& name, const std::function<std::vector<std::uint8_t>()>& bytes) {
  const fs::path path = Folder() / name;
  if (!fs::exists(path)) {
    const std::vector<std::uint8_t> data = bytes();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                static_cast<std::streamsize>(data.size()));
  }
  return path;
}

std::vector<std::uint8_t> FramesGif(std::uint16_t side, std::uint32_t frames) {
  GifBuilder gif(side, side, {0xFFFF0000u, 0xFF00FF00u});
  for (std::uint32_t i = 0; i < frames; ++i) gif.UniformImage(0, 0, side, side, static_cast<std::uint8_t>(i % 2));
  return gif.Bytes();
}

std::vector<std::uint8_t> TinyFramesGif(std::uint16_t side) {
  GifBuilder gif(side, side, {0xFFFF0000u, 0xFF00FF00u});
  gif.Image(0, 0, 1, 1, {0}).Image(1, 1, 1, 1, {1});
  return gif.Bytes();
}

// An LZW grey page of smooth bands: strips of `rowsPerStrip` rows (0 for
// one strip), or tiles of `tile` pixels a side.
std::vector<std::uint8_t> GreyTiff(std::uint32_t side, std::uint32_t rowsPerStrip, std::uint32_t tile) {
  TiffPageSpec page;
  page.width = side;
  page.height = side;
  page.compression = COMPRESSION_LZW;
  page.rowsPerStrip = rowsPerStrip;
  page.tileWidth = tile;
  page.tileLength = tile;
  page.samples.resize(std::uint64_t{side} * side);
  for (std::uint32_t y = 0; y < side; ++y) {
    for (std::uint32_t x = 0; x < side; ++x) {
      page.samples[std::uint64_t{y} * side + x] = static_cast<std::uint8_t>((y / 64 + x / 512) * 37);
    }
  }
  return pixavue::platform::test::WriteTiffPage(page);
}

// A page of `side` pixels a side whose one strip holds 64 bytes.
std::vector<std::uint8_t> StarvedTiff(std::uint32_t side) {
  using pixavue::platform::test::RawTiffEntry;
  return pixavue::platform::test::RawTiff(
      std::vector<std::uint8_t>(64, 0x80),
      {{TIFFTAG_IMAGEWIDTH, TIFF_LONG, {side}}, {TIFFTAG_IMAGELENGTH, TIFF_LONG, {side}},
       {TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, {8}}, {TIFFTAG_COMPRESSION, TIFF_SHORT, {COMPRESSION_LZW}},
       {TIFFTAG_PHOTOMETRIC, TIFF_SHORT, {1}}, {TIFFTAG_STRIPOFFSETS, TIFF_LONG, {8}},
       {TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, {1}}, {TIFFTAG_ROWSPERSTRIP, TIFF_LONG, {side}},
       {TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, {64}}});
}

// Loads the file and selects each of `frames`; the first failure or Ok.
GpStatus Load(const fs::path& path, const std::vector<UINT32>& frames) {
  GpImage* image = nullptr;
  GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
  for (UINT32 frame : frames) {
    if (status == Ok) status = GdipImageSelectActiveFrame(image, &FrameDimensionTime, frame);
  }
  if (image != nullptr) GdipDisposeImage(image);
  return status;
}

struct Case final {
  fs::path hostile;
  fs::path baseline;
  std::vector<UINT32> frames;  // selected after the load, in both files
};

// Hostile and baseline loads alternate, each in a child of its own.
void Measure(benchmark::State& state, const Case& file) {
  const pixavue::bench::ImagingSession session;
  SetDecodeMemoryBudget(kRaisedBudget);
  double hostileSeconds = 0, baselineSeconds = 0, hostilePeak = 0, baselinePeak = 0;
  GpStatus hostileStatus = Ok;
  for (auto _ : state) {
    const auto hostile = pixavue::platform::test::RunInChild([&] { return Load(file.hostile, file.frames); }, 120);
    const auto baseline = pixavue::platform::test::RunInChild([&] { return Load(file.baseline, file.frames); }, 120);
    if (!hostile.finished || !baseline.finished) state.SkipWithError("a load did not finish");
    if (baseline.status != Ok) state.SkipWithError("the baseline did not load");
    hostileStatus = hostile.status;
    hostileSeconds += hostile.seconds;
    baselineSeconds += baseline.seconds;
    hostilePeak += static_cast<double>(hostile.peakBytes);
    baselinePeak += static_cast<double>(baseline.peakBytes);
    state.SetIterationTime(hostile.seconds);
  }
  SetDecodeMemoryBudget(0);
  const double runs = static_cast<double>(state.iterations());
  constexpr double kMiB = 1024.0 * 1024.0;
  state.counters["status"] = hostileStatus;
  state.counters["hostile_s"] = hostileSeconds / runs;
  state.counters["baseline_s"] = baselineSeconds / runs;
  state.counters["time_ratio"] = hostileSeconds / baselineSeconds;
  state.counters["hostile_peak_MiB"] = hostilePeak / runs / kMiB;
  state.counters["baseline_peak_MiB"] = baselinePeak / runs / kMiB;
  state.counters["peak_ratio"] = baselinePeak > 0 ? hostilePeak / baselinePeak : 0;
}

// 8192 x 8192 screen (256 MiB of 32-bit pixels), stepping to the second
// frame; baseline: two full-screen frames.
void BM_GifHugeScreenTinyFrames(benchmark::State& state) {
  Measure(state, {Made("tiny_frames.gif", [] { return TinyFramesGif(8192); }),
                  Made("two_full_frames.gif", [] { return FramesGif(8192, 2); }), {1}});
}

// 100 full 4096 x 4096 frames in 1.6 MB; baseline: 2 such frames.
void BM_GifManyFullScreenFrames(benchmark::State& state) {
  Measure(state, {Made("many_frames.gif", [] { return FramesGif(4096, 100); }),
                  Made("two_frames.gif", [] { return FramesGif(4096, 2); }), {}});
}

// A 2 x 2 screen under an interlaced 65535 x 4096 frame, whose last
// visible row is in its last pass; baseline: the visible part alone.
void BM_GifHiddenInterlacedFrame(benchmark::State& state) {
  Measure(state, {Made("hidden_interlaced.gif",
                       [] {
                         GifBuilder gif(2, 2, {0xFFFF0000u, 0xFF00FF00u});
                         gif.Image(0, 0, 2, 2, {0, 1, 1, 0}).UniformImage(0, 0, 65535, 4096, 1, true);
                         return gif.Bytes();
                       }),
                  Made("small_frames.gif", [] { return FramesGif(2, 2); }), {1}});
}

// 16384 x 16384 grey page in one LZW strip; baseline: strips of 16 rows.
void BM_TiffOneStrip(benchmark::State& state) {
  Measure(state, {Made("one_strip.tif", [] { return GreyTiff(16384, 0, 0); }),
                  Made("strips.tif", [] { return GreyTiff(16384, 16, 0); }), {}});
}

// 8192 x 8192 grey page in one tile; baseline: tiles of 256.
void BM_TiffOneTile(benchmark::State& state) {
  Measure(state, {Made("one_tile.tif", [] { return GreyTiff(8192, 0, 8192); }),
                  Made("tiles.tif", [] { return GreyTiff(8192, 0, 256); }), {}});
}

// 16384 x 16384 page whose strip holds 64 bytes; baseline: a sound page.
void BM_TiffStarvedStrip(benchmark::State& state) {
  Measure(state, {Made("starved.tif", [] { return StarvedTiff(16384); }),
                  Made("strips.tif", [] { return GreyTiff(16384, 16, 0); }), {}});
}

BENCHMARK(BM_GifHugeScreenTinyFrames)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_GifManyFullScreenFrames)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_GifHiddenInterlacedFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_TiffOneStrip)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_TiffOneTile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_TiffStarvedStrip)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
