// Playback of metafiles that make the players work hard for their size,
// each against an ordinary drawing of the same 4000 x 4000 output played in
// the same run: floods of clip records (EMF intersections, exclusions and
// regions, and a WMF mix with created regions), a WMF churning its full
// object table, one EMF polygon (and one polyline) of 400,000 random points
// and the largest such shapes the work budget lets through, and nested saved
// states over a clip of a million pieces. Each hostile benchmark reports its
// time as a multiple of the ordinary one ("x_ordinary"), the status of the
// playback and the process's peak resident memory so far.

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "codec.h"
#include "image.h"
#include "imaging_session.h"
#include "metafile_hostile_files.h"
#include "metafile_render.h"

namespace {

using namespace pixavue::platform;
using namespace pixavue::platform::test;

constexpr int kOutputSide = 4000;

struct Loaded final {
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;
  std::unique_ptr<GpImage> image;
};

Loaded Load(std::vector<std::uint8_t> file) {
  Loaded out;
  out.bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(file));
  gdiplus::DecodedImage decoded;
  if (gdiplus::DecodeMetafile(out.bytes, {}, decoded) != Ok) return out;
  out.image = gdiplus::ImageFromDecoded(std::move(decoded));
  out.image->metafileBytes = out.bytes;
  return out;
}

GpStatus Play(const Loaded& loaded) {
  gdiplus::PixelBuffer pixels;
  const GpStatus status = gdiplus::RenderMetafile(*loaded.image, kOutputSide, kOutputSide, pixels);
  benchmark::DoNotOptimize(pixels.scan0());
  return status;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Seconds of one play of the ordinary drawing, measured once per process.
double OrdinarySeconds() {
  static const double seconds = [] {
    const Loaded ordinary = Load(EmfOrdinaryDrawing(kOutputSide, 400));
    constexpr int kRuns = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) Play(ordinary);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRuns;
  }();
  return seconds;
}

void Ordinary(benchmark::State& state) {
  pixavue::bench::ImagingSession session;
  const Loaded loaded = Load(EmfOrdinaryDrawing(kOutputSide, 400));
  for (auto _ : state) {
    if (Play(loaded) != Ok) state.SkipWithError("ordinary drawing did not play");
  }
  state.counters["bytes"] = static_cast<double>(loaded.bytes->size());
}

void Hostile(benchmark::State& state, std::vector<std::uint8_t> (*make)()) {
  pixavue::bench::ImagingSession session;
  const double ordinary = OrdinarySeconds();
  const Loaded loaded = Load(make());
  if (!loaded.image) {
    state.SkipWithError("file did not load");
    return;
  }
  GpStatus status = Ok;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    status = Play(loaded);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["x_ordinary"] = seconds / static_cast<double>(state.iterations()) / ordinary;
  state.counters["status"] = status;
  state.counters["bytes"] = static_cast<double>(loaded.bytes->size());
  state.counters["peak_rss_mb"] = PeakResidentMegabytes();
}

std::vector<std::uint8_t> IntersectFlood() { return EmfClipFlood(ClipFlood::Intersect, kOutputSide, 100000, 100); }
std::vector<std::uint8_t> ExcludeFlood() { return EmfClipFlood(ClipFlood::Exclude, kOutputSide, 100000, 100); }
std::vector<std::uint8_t> RegionFlood() { return EmfClipFlood(ClipFlood::Region, kOutputSide, 100000, 100); }
std::vector<std::uint8_t> MixedFlood() { return EmfClipFlood(ClipFlood::Mixed, kOutputSide, 100000, 0); }
std::vector<std::uint8_t> WmfFlood() { return WmfClipFlood(4000, 100000); }
std::vector<std::uint8_t> ObjectChurn() { return WmfObjectChurn(200000); }
std::vector<std::uint8_t> RandomPolygon() { return EmfRandomPolygon(kOutputSide, 400000); }
std::vector<std::uint8_t> PolygonInBudget() { return EmfRandomPolygon(kOutputSide, 3500); }
std::vector<std::uint8_t> RandomPolyline() { return EmfRandomPolyline(kOutputSide, 400000); }
std::vector<std::uint8_t> PolylineInBudget() { return EmfRandomPolyline(kOutputSide, 1000); }
std::vector<std::uint8_t> NestedSaves() { return EmfNestedSaves(kOutputSide, 1000, 1000, 20); }

void Register() {
  benchmark::RegisterBenchmark("Ordinary/emf400shapes", Ordinary)->Unit(benchmark::kMillisecond)->UseRealTime();
  const std::pair<const char*, std::vector<std::uint8_t> (*)()> cases[] = {
      {"Hostile/emf_intersect_clip", IntersectFlood}, {"Hostile/emf_exclude_clip", ExcludeFlood},
      {"Hostile/emf_region_clip", RegionFlood},       {"Hostile/emf_mixed_clip", MixedFlood},
      {"Hostile/wmf_clip_regions", WmfFlood},         {"Hostile/wmf_object_churn", ObjectChurn},
      {"Hostile/emf_random_polygon", RandomPolygon},  {"Hostile/emf_polygon_3500", PolygonInBudget},
      {"Hostile/emf_random_polyline", RandomPolyline}, {"Hostile/emf_polyline_1000", PolylineInBudget},
      {"Hostile/emf_nested_saves", NestedSaves}};
  for (const auto& [name, make] : cases) {
    benchmark::RegisterBenchmark(name, Hostile, make)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
  }
}

const int registered = (Register(), 0);

}  // namespace
