// What the control adds to the imaging layer's own frame selection and draw
// in the same run: one animation tick of a 40-frame 1000 x 800 GIF shown in
// a 1000 x 800 headless control (the virtual clock advanced by one frame's
// delay), against selecting the next frame of the same file opened by the
// imaging layer and drawing it bare; and one page turn of a 20-page
// 2000 x 1500 TIFF in the same control, against selecting the page and
// drawing it bare. The bare draws use the rectangles and interpolation of
// the control's own draw, seen once through the draw interceptor; both
// documents are shown in place (frames of one decoder), which is checked.
// Wall-clock times: the imaging layer may use two threads inside one call.

#include <benchmark/benchmark.h>
#include <pixavue/engine/image_slot.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "bare_draw.h"
#include "gif_test_files.h"
#include "tiff_test_files.h"

namespace {

namespace fs = std::filesystem;
using namespace pixavue;
using namespace pixavue::platform;
using bench::DrawRects;

constexpr int kControlWidth = 1000;
constexpr int kControlHeight = 800;
constexpr int kGifFrames = 40;
constexpr std::uint16_t kGifDelay = 10;  // hundredths: each tick is 100 ms of the clock
constexpr std::int64_t kTickMs = kGifDelay * 10;
constexpr int kTiffPages = 20;

// Frames of one colour each, from a 16-colour table.
std::vector<std::uint8_t> GifFile() {
  std::vector<ARGB> colours;
  for (std::uint32_t i = 0; i < 16; ++i) colours.push_back(0xFF000000u | (i * 0x0F0B07u));
  test::GifBuilder gif(kControlWidth, kControlHeight, colours);
  for (int i = 0; i < kGifFrames; ++i) {
    gif.Control(1, kGifDelay).UniformImage(0, 0, kControlWidth, kControlHeight, static_cast<std::uint8_t>(i % 16));
  }
  return gif.Bytes();
}

// 8-bit grey pages, LZW-compressed, each a gradient of its own.
std::vector<std::uint8_t> TiffFile() {
  std::vector<test::TiffPageSpec> pages(kTiffPages);
  for (int p = 0; p < kTiffPages; ++p) {
    test::TiffPageSpec& page = pages[static_cast<std::size_t>(p)];
    page.width = 2000;
    page.height = 1500;
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 64;
    page.samples.resize(std::size_t{page.width} * page.height);
    for (std::size_t i = 0; i < page.samples.size(); ++i) {
      page.samples[i] = static_cast<std::uint8_t>(i % page.width / 8 + p * 12 + i / page.width / 16);
    }
  }
  return test::WriteTiffPages(pages);
}

std::u16string Wide(const fs::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());  // the benchmark's paths are ASCII
}

// A control, the two files, and the imaging layer's own images of them,
// made once for the process.
class Scene final {
 public:
  Scene() : folder_(Folder()) {
    fs::create_directories(folder_);
    Write("frames.gif", GifFile());
    Write("pages.tif", TiffFile());
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->InitNew();
    control_->Show();
    control_->Resize(kControlWidth, kControlHeight);
    GdipLoadImageFromFile(Wide(folder_ / "frames.gif").c_str(), &bareGif_);
    GdipLoadImageFromFile(Wide(folder_ / "pages.tif").c_str(), &bareTiff_);
  }
  static fs::path Folder() { return fs::temp_directory_path() / ("pixavue_animation_bench_" + std::to_string(::getpid())); }
  static void RemoveFolder() {
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
  }

  headless::HeadlessHost& Host() { return host_; }
  ImageBox& Box() { return control_->Control(); }
  GpImage* BareGif() { return bareGif_; }
  GpImage* BareTiff() { return bareTiff_; }
  // Shows the file in the control; false unless it is a document of
  // `pages` pages shown in place.
  bool Show(const std::string& name, bool animate, std::int32_t pages) {
    // Closed first: AnimateGIF would otherwise start the GIF shown before,
    // and the load that stops it would clear AnimateGIF again.
    Box().CloseImage();
    Box().put_AnimateGIF(animate);
    if (Box().DisplayFromFile((folder_ / name).string()) != QuorvexStatus::OK) return false;
    const engine::ImageSlot* slot = engine::SlotOf(Box().GetNativeImage());
    return slot != nullptr && slot->InPlacePages && Box().get_PageCount() == pages;
  }

 private:
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  fs::path folder_;
  headless::HeadlessHost host_;
  std::unique_ptr<headless::HeadlessControl> control_;
  GpImage* bareGif_ = nullptr;
  GpImage* bareTiff_ = nullptr;
};

// Never destroyed: the thread's window and image state it relies on ends
// before static objects are destroyed. Its folder goes at exit.
Scene& TheScene() {
  static Scene* scene = [] {
    auto* made = new Scene();
    std::atexit([] { Scene::RemoveFolder(); });
    return made;
  }();
  return *scene;
}

// The file shown (a document of `pages` pages in place), and the
// rectangles of the one draw that `step` makes.
template <typename Step>
std::optional<DrawRects> Prepare(benchmark::State& state, const std::string& file, bool animate, int pages,
                                 Step step) {
  if (!TheScene().Show(file, animate, pages)) {
    state.SkipWithError("the file is not a document shown in place");
    return std::nullopt;
  }
  const auto rects = bench::ObservedDraw(step);
  if (!rects) state.SkipWithError("the step did not draw exactly once");
  return rects;
}

// The animation playing: a step is a tick.
std::optional<DrawRects> PrepareAnimation(benchmark::State& state) {
  return Prepare(state, "frames.gif", true, kGifFrames, [] { TheScene().Host().Advance(kTickMs); });
}

// The TIFF on page 1: a step is a page turn.
std::optional<DrawRects> PreparePages(benchmark::State& state) {
  return Prepare(state, "pages.tif", false, kTiffPages, [] { TheScene().Box().DisplayNextFrame(); });
}

void ControlAnimationTick(benchmark::State& state) {
  if (!PrepareAnimation(state)) return;
  for (auto _ : state) TheScene().Host().Advance(kTickMs);  // one tick: the next frame shown
  TheScene().Box().StopGif();
}

void BareFrameSelectAndDraw(benchmark::State& state) {
  const auto rects = PrepareAnimation(state);
  if (!rects) return;
  TheScene().Box().StopGif();
  const HDC hdc = TheScene().Box().get_hdc();
  UINT frame = 0;
  for (auto _ : state) {
    frame = (frame + 1) % kGifFrames;
    if (GdipImageSelectActiveFrame(TheScene().BareGif(), &FrameDimensionTime, frame) != Ok ||
        bench::BareDraw(hdc, TheScene().BareGif(), *rects) != Ok) {
      state.SkipWithError("select or draw failed");
    }
  }
}

void ControlPageTurn(benchmark::State& state) {
  if (!PreparePages(state)) return;
  ImageBox& box = TheScene().Box();
  for (auto _ : state) {
    const QuorvexStatus status = box.get_CurrentPage() < kTiffPages ? box.DisplayNextFrame() : box.DisplayFirstFrame();
    if (status != QuorvexStatus::OK) state.SkipWithError("page turn failed");
  }
}

void BarePageSelectAndDraw(benchmark::State& state) {
  const auto rects = PreparePages(state);
  if (!rects) return;
  const HDC hdc = TheScene().Box().get_hdc();
  UINT page = 0;
  for (auto _ : state) {
    page = (page + 1) % kTiffPages;
    if (GdipImageSelectActiveFrame(TheScene().BareTiff(), &FrameDimensionPage, page) != Ok ||
        bench::BareDraw(hdc, TheScene().BareTiff(), *rects) != Ok) {
      state.SkipWithError("select or draw failed");
    }
  }
}

BENCHMARK(ControlAnimationTick)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareFrameSelectAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ControlPageTurn)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BarePageSelectAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
