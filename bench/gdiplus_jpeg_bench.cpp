// Cost of loading a large JPEG through the imaging layer against
// libjpeg-turbo called directly on the same file in the same run: the
// ratio of processor times (goal: at most 1.05) and the memory one loaded
// image keeps resident against its 72,000,000 pixel bytes (goal: within
// 5%).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <benchmark/benchmark.h>

#include "imaging_session.h"
#include "jpeg_memory_writer.h"

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace {

using namespace pixavue::platform;

constexpr std::uint32_t kWidth = 6000;
constexpr std::uint32_t kHeight = 4000;
constexpr double kPixelBytes = double{kWidth} * 3 * kHeight;

// Smooth gradients with a little noise, like a photograph, at quality 90
// with 4:2:0 chroma (libjpeg's defaults for colour).
std::vector<std::uint8_t> PhotoLikeJpeg() {
  pixavue::platform::test::JpegMemoryWriter writer(kWidth, kHeight, 3, JCS_RGB);
  jpeg_set_quality(&writer.cinfo(), 90, TRUE);
  writer.Start();
  std::vector<std::uint8_t> row(std::size_t{kWidth} * 3);
  std::uint32_t noise = 1;
  while (writer.WantsRow()) {
    const std::uint32_t y = writer.NextRow();
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int jitter = static_cast<int>(noise >> 28) - 8;
      row[x * 3] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(x * 255 / kWidth) + jitter, 0, 255));
      row[x * 3 + 1] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(y * 255 / kHeight) + jitter, 0, 255));
      row[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(static_cast<int>((x + y) % 512 / 2) + jitter, 0, 255));
    }
    writer.WriteRow(row.data());
  }
  return writer.Finish();
}

// The test file, written once and removed at exit.
class BenchFile final {
 public:
  BenchFile()
      : path_(std::filesystem::temp_directory_path() / ("pixavue_jpeg_bench_" + std::to_string(getpid()) + ".jpg")) {
    const std::vector<std::uint8_t> bytes = PhotoLikeJpeg();
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
  }
  ~BenchFile() { std::filesystem::remove(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const BenchFile& TheFile() {
  static const BenchFile file;
  return file;
}

std::vector<std::uint8_t> ReadWhole(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  ::fstat(fd, &info);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return bytes;
}

// Decodes into a fresh buffer of 4-byte aligned B, G, R rows, as a program
// using libjpeg-turbo on its own would.
void DecodeDirectly(const std::vector<std::uint8_t>& bytes) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  const std::size_t stride = (std::size_t{cinfo.image_width} * 3 + 3) & ~std::size_t{3};
  auto* pixels = static_cast<std::uint8_t*>(std::malloc(stride * cinfo.image_height));
  std::vector<JSAMPROW> rows(cinfo.image_height);
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = pixels + y * stride;
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  benchmark::DoNotOptimize(pixels[stride * (rows.size() - 1)]);
  std::free(pixels);
}

// Processor time of this thread: the machine is shared, and waiting for a
// core says nothing about the code.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_Baseline_LibjpegTurboDecode(benchmark::State& state) {
  const auto& path = TheFile().path();
  for (auto _ : state) DecodeDirectly(ReadWhole(path));
}
BENCHMARK(BM_Baseline_LibjpegTurboDecode)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

double ResidentBytes() {
  long size = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = 0;
  std::fclose(statm);
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Loads and disposes the file; returns the resident bytes the loaded
// image added, or a negative value when the load failed.
double LoadThroughLayer(const std::u16string& name) {
  const double before = ResidentBytes();
  GpImage* image = nullptr;
  if (GdipLoadImageFromFile(name.c_str(), &image) != Ok) return -1;
  const double resident = ResidentBytes() - before;
  GdipDisposeImage(image);
  return resident;
}

void BM_GdipLoadImageFromFile(benchmark::State& state) {
  const pixavue::bench::ImagingSession session;
  const std::u16string name = TheFile().path().u16string();
  double resident = 0;
  for (auto _ : state) {
    resident = LoadThroughLayer(name);
    if (resident < 0) state.SkipWithError("load failed");
  }
  state.counters["resident_bytes"] = resident;
  state.counters["resident_over_pixels"] = resident / kPixelBytes;
}
BENCHMARK(BM_GdipLoadImageFromFile)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime();

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// The two loads alternate within each iteration, so that other work on a
// shared machine weighs on both alike; the counters are the layer's time
// over the direct decode's (median and best of the pairs).
void BM_Ratio_LoadOverDirectDecode(benchmark::State& state) {
  const pixavue::bench::ImagingSession session;
  const auto& path = TheFile().path();
  const std::u16string name = path.u16string();
  std::vector<double> direct, layer;
  for (auto _ : state) {
    double start = ThreadSeconds();
    DecodeDirectly(ReadWhole(path));
    direct.push_back(ThreadSeconds() - start);
    start = ThreadSeconds();
    if (LoadThroughLayer(name) < 0) state.SkipWithError("load failed");
    layer.push_back(ThreadSeconds() - start);
  }
  state.counters["ratio_median"] = Median(layer) / Median(direct);
  state.counters["ratio_best"] = *std::min_element(layer.begin(), layer.end()) /
                                 *std::min_element(direct.begin(), direct.end());
}
BENCHMARK(BM_Ratio_LoadOverDirectDecode)->Unit(benchmark::kMillisecond)->MinTime(6.0)->MeasureProcessCPUTime();

}  // namespace
