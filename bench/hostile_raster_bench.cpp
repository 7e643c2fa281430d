// What small hostile JPEG, PNG and icon files cost to load or be refused,
// against loading an ordinary file of the same decoded size in the same
// run: the time (wall and processor) and the resident peak of each load,
// measured in a forked child, and their ratios to the ordinary file's. A refused load reports
// its status; the ordinary file is loaded with the budget raised when its
// image needs more than the default.
//
// Goals: a file under 10 MB with at most 16 million pixels loads or is
// refused within 2 s, a larger image within 2 s per 100 million pixels;
// the peak stays within 1.25 x the decoded pixels plus 64 MiB (2.1 x for
// progressive JPEG).

#include <sys/mman.h>
#include <unistd.h>

#include <ctime>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "hostile_raster_files.h"
#include "imaging_session.h"
#include "peak_memory.h"

namespace {

namespace fs = std::filesystem;
using namespace pixavue::platform;
using namespace pixavue::platform::test;

constexpr std::uint64_t kRaised = std::uint64_t{6} << 30;

// ---- ordinary files, written a row at a time ----

// A gradient with noise at quality 90, 4:2:0 chroma.
std::vector<std::uint8_t> OrdinaryJpeg(std::uint32_t width, std::uint32_t height) {
  JpegMemoryWriter writer(width, height, 3, JCS_RGB);
  jpeg_set_quality(&writer.cinfo(), 90, TRUE);
  writer.Start();
  std::vector<std::uint8_t> row(std::size_t{width} * 3);
  std::uint32_t noise = 1;
  while (writer.WantsRow()) {
    const std::uint32_t y = writer.NextRow();
    for (std::uint32_t x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      row[x * 3] = static_cast<std::uint8_t>(x * 255 / width + (noise >> 29));
      row[x * 3 + 1] = static_cast<std::uint8_t>(y * 255 / height);
      row[x * 3 + 2] = static_cast<std::uint8_t>((x + y) * 127 / (width + height) + 40);
    }
    writer.WriteRow(row.data());
  }
  return writer.Finish();
}

// Rows of a pattern of gradients (every interlace pass when interlaced),
// deflated as they are made.
std::vector<std::uint8_t> OrdinaryPng(const ZeroPngSpec& spec) {
  z_stream stream{};
  deflateInit(&stream, 1);
  std::vector<std::uint8_t> compressed;
  std::vector<std::uint8_t> piece(1 << 16);
  const auto feed = [&](const std::vector<std::uint8_t>& bytes, int flush) {
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    do {
      stream.next_out = piece.data();
      stream.avail_out = static_cast<uInt>(piece.size());
      deflate(&stream, flush);
      compressed.insert(compressed.end(), piece.data(), piece.data() + (piece.size() - stream.avail_out));
    } while (stream.avail_out == 0);
  };
  const std::uint64_t bitsPerPixel = PngChannels(spec.colourType) * spec.depth;
  const auto pass = [&](std::uint64_t width, std::uint64_t height) {
    if (width == 0) return;
    std::vector<std::uint8_t> row(1 + (width * bitsPerPixel + 7) / 8);
    for (std::uint64_t y = 0; y < height; ++y) {
      for (std::size_t i = 1; i < row.size(); ++i) row[i] = static_cast<std::uint8_t>(i * 3 / 2 + y * 5 / 4);
      feed(row, Z_NO_FLUSH);
    }
  };
  if (spec.interlaced) {
    static constexpr std::uint32_t kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto& [x0, y0, dx, dy] : kAdam7) {
      pass(spec.width > x0 ? (spec.width - x0 + dx - 1) / dx : 0, spec.height > y0 ? (spec.height - y0 + dy - 1) / dy : 0);
    }
  } else {
    pass(spec.width, spec.height);
  }
  feed({}, Z_FINISH);
  deflateEnd(&stream);
  std::vector<std::uint8_t> file = PngSignature();
  PutPngChunk(file, "IHDR", PngHeaderChunkData(spec));
  if (spec.colourType == 3) {
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 3 << spec.depth; ++i) palette.push_back(static_cast<std::uint8_t>(i * 37));
    PutPngChunk(file, "PLTE", palette);
  }
  // IDAT chunks of at most 1 GiB each.
  for (std::size_t at = 0; at < compressed.size(); at += std::size_t{1} << 30) {
    const std::size_t end = std::min(compressed.size(), at + (std::size_t{1} << 30));
    PutPngChunk(file, "IDAT", std::vector<std::uint8_t>(compressed.begin() + static_cast<std::ptrdiff_t>(at),
                                                        compressed.begin() + static_cast<std::ptrdiff_t>(end)));
  }
  PutPngChunk(file, "IEND", {});
  return file;
}

ZeroPngSpec Spec(std::uint32_t side, std::uint8_t depth, std::uint8_t colourType, bool interlaced = false,
                 bool wholeData = true) {
  ZeroPngSpec spec;
  spec.width = spec.height = side;
  spec.depth = depth;
  spec.colourType = colourType;
  spec.interlaced = interlaced;
  spec.wholeData = wholeData;
  return spec;
}

// ---- loads ----

class Files final {
 public:
  Files() : folder_(fs::temp_directory_path() / ("pixavue_hostile_raster_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;

  std::u16string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    const std::string text = path.string();
    return std::u16string(text.begin(), text.end());  // the folder's path is ASCII
  }

 private:
  fs::path folder_;
};

Files& BenchFiles() {
  static Files files;
  return files;
}

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct LoadCost final {
  ChildRun run;
  double processorSeconds = 0;
};

// The child reports its processor time through a page shared with the
// parent: on a machine shared with other work, wall time says little.
LoadCost Load(const std::u16string& path, std::uint64_t budget) {
  void* page = mmap(nullptr, sizeof(double), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  auto* processor = static_cast<double*>(page);
  LoadCost cost;
  cost.run = RunInChild(
      [&] {
        pixavue::bench::ImagingSession session;
        SetDecodeMemoryBudget(budget);
        GpImage* image = nullptr;
        const double start = ProcessorSeconds();
        const GpStatus status = GdipLoadImageFromFile(path.c_str(), &image);
        *processor = ProcessorSeconds() - start;
        return status;
      },
      120);
  cost.processorSeconds = *processor;
  munmap(page, sizeof(double));
  return cost;
}

struct Case final {
  std::string name;
  std::function<std::vector<std::uint8_t>()> hostile;
  std::uint64_t budget;  // 0: the default
  std::function<std::vector<std::uint8_t>()> ordinary;
  std::uint64_t ordinaryBudget;
  std::string extension;
};

void Measure(benchmark::State& state, const Case& c) {
  const std::u16string hostile = BenchFiles().Write(c.name + "_hostile" + c.extension, c.hostile());
  const std::u16string ordinary = BenchFiles().Write(c.name + "_ordinary" + c.extension, c.ordinary());
  for (auto _ : state) {
    const LoadCost bad = Load(hostile, c.budget);
    const LoadCost good = Load(ordinary, c.ordinaryBudget);
    state.SetIterationTime(bad.run.seconds);
    constexpr double kMiB = 1024.0 * 1024.0;
    state.counters["status"] = bad.run.finished ? bad.run.status : -1;
    state.counters["cpu_s"] = bad.processorSeconds;
    state.counters["peak_MiB"] = static_cast<double>(bad.run.peakBytes) / kMiB;
    state.counters["ordinary_cpu_s"] = good.processorSeconds;
    state.counters["ordinary_peak_MiB"] = static_cast<double>(good.run.peakBytes) / kMiB;
    state.counters["cpu_ratio"] = good.processorSeconds > 0 ? bad.processorSeconds / good.processorSeconds : 0;
    state.counters["peak_ratio"] =
        good.run.peakBytes > 0 ? static_cast<double>(bad.run.peakBytes) / static_cast<double>(good.run.peakBytes) : 0;
  }
}

std::vector<std::uint8_t> TinyPng() { return ZeroPng(Spec(1, 8, 0)); }

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases{
      {"jpeg_progressive_header_16384", [] { return LargeJpegHeader(16384, 16384, JpegScans::Progressive); }, 0,
       [] { return OrdinaryJpeg(16384, 16384); }, 0, ".jpg"},
      {"jpeg_progressive_header_16384_raised", [] { return LargeJpegHeader(16384, 16384, JpegScans::Progressive); },
       kRaised, [] { return OrdinaryJpeg(16384, 16384); }, kRaised, ".jpg"},
      {"jpeg_500_empty_scans_16384_raised",
       [] { return LargeJpegHeader(16384, 16384, JpegScans::Progressive, 500); }, kRaised,
       [] { return OrdinaryJpeg(16384, 16384); }, kRaised, ".jpg"},
      {"jpeg_500_empty_scans_4096", [] { return LargeJpegHeader(4096, 4096, JpegScans::Progressive, 500); }, 0,
       [] { return OrdinaryJpeg(4096, 4096); }, 0, ".jpg"},
      {"jpeg_baseline_header_16384", [] { return LargeJpegHeader(16384, 16384, JpegScans::Baseline); }, 0,
       [] { return OrdinaryJpeg(16384, 16384); }, 0, ".jpg"},
      {"png_text_length_2g", [] { return PngWithOverlongChunk("tEXt", 0x7FFFFFFF); }, 0, TinyPng, 0, ".png"},
      {"png_40_ztxt_of_7mb", [] { return PngWithTextBombs(40, 7'000'000); }, 0, TinyPng, 0, ".png"},
      {"png_rgba16_16384", [] { return ZeroPng(Spec(16384, 16, 6, false, false)); }, 0,
       [] { return OrdinaryPng(Spec(16384, 16, 6)); }, kRaised, ".png"},
      {"png_rgba16_8192_raised", [] { return ZeroPng(Spec(8192, 16, 6)); }, kRaised,
       [] { return OrdinaryPng(Spec(8192, 16, 6)); }, kRaised, ".png"},
      {"png_rgba8_interlaced_8192", [] { return ZeroPng(Spec(8192, 8, 6, true)); }, 0,
       [] { return OrdinaryPng(Spec(8192, 8, 6, true)); }, 0, ".png"},
      {"png_palette2_16384", [] { return ZeroPng(Spec(16384, 2, 3)); }, 0,
       [] { return OrdinaryPng(Spec(16384, 2, 3)); }, 0, ".png"},
      {"ico_png_rgba16_16384", [] { return IconOfPng(ZeroPng(Spec(16384, 16, 6, false, false))); }, 0,
       [] { return IconOfPng(OrdinaryPng(Spec(16384, 8, 6))); }, kRaised, ".ico"},
      {"ico_png_rgba16_8192_raised", [] { return IconOfPng(ZeroPng(Spec(8192, 16, 6))); }, kRaised,
       [] { return IconOfPng(OrdinaryPng(Spec(8192, 8, 6))); }, kRaised, ".ico"},
  };
  return cases;
}

const bool kRegistered = [] {
  for (const Case& c : Cases()) {
    benchmark::RegisterBenchmark(c.name.c_str(), [&c](benchmark::State& state) { Measure(state, c); })
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
