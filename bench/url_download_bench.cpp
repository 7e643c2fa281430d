// A 20 MB image from a local HTTP server: DisplayFromURL with 4096-byte and
// 64 KiB chunks, the session's network part alone (request, headers and
// the body read into memory, as DisplayFromURL does it) with both chunk
// sizes, against libcurl's easy interface downloading the same URL to
// memory and against the byte-array load of the same bytes. The network
// part over libcurl's time is the figure to watch; DisplayFromURL is about
// the network part plus the byte-array load.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <curl/curl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/net/c_inet.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "net_test_servers.h"

namespace {

namespace fs = std::filesystem;
using namespace pixavue;
using namespace pixavue::platform;

// 2600 x 2600 pixels of 24 bits: a BMP of about 20 MB.
constexpr int kSide = 2600;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Fixture final {
 public:
  Fixture() {
    ::setenv("TMP", temp_.path().c_str(), 1);
    testing::UseTestNetworkSettings(30'000);
    // The control starts the imaging session the image is written with.
    control_ = std::make_unique<headless::HeadlessControl>(host_);
    control_->InitNew();
    control_->Show();
    control_->Resize(800, 600);
    WriteImage();
    server_ = std::make_unique<testing::TestServer>(std::vector<std::string>{"http", files_.path().string()});
  }
  ~Fixture() { control_.reset(); }

  ImageBox& Box() { return control_->Control(); }
  int port() const { return server_->port(); }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port()) + kPath; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  static constexpr const char* kPath = "/file/large.bmp";

 private:
  void WriteImage() {
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(kSide, kSide, 0, PixelFormat24bppRGB, nullptr, &bitmap);
    const fs::path file = files_.path() / "large.bmp";
    const std::string name = file.string();
    const std::u16string wide(name.begin(), name.end());
    GdipSaveImageToFile(bitmap, wide.c_str(), &CLSID_BmpCodec, nullptr);
    GdipDisposeImage(bitmap);
    bytes_ = ReadAll(file);
  }

  testing::TestFolder temp_{"bench_temp"};
  testing::TestFolder files_{"bench_files"};
  std::vector<std::uint8_t> bytes_;
  std::unique_ptr<testing::TestServer> server_;
  headless::HeadlessHost host_;
  std::unique_ptr<headless::HeadlessControl> control_;
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Files().bytes().size()));
}

void DisplayFromUrl(benchmark::State& state) {
  ImageBox& box = Files().Box();
  box.SetHttpTransfertBufferSize(static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    if (box.DisplayFromURL("127.0.0.1", Fixture::kPath, Files().port()) != QuorvexStatus::OK) {
      state.SkipWithError("download failed");
    }
    box.CloseImage();
  }
  SetBytes(state);
}

// What DisplayFromURL does before it hands the bytes on.
void SessionNetworkPart(benchmark::State& state) {
  for (auto _ : state) {
    net::cInet inet;
    inet.put_BufferSize(static_cast<std::int32_t>(state.range(0)));
    std::string text;
    std::int32_t length = 0;
    std::vector<std::uint8_t> body;
    if (inet.Request("GET", "127.0.0.1", Fixture::kPath, Files().port(), 3) == nullptr ||
        !inet.SendRequest("", "") || !inet.QueryInfo(0x20000005, text, length) || !inet.ReadArray(body, length) ||
        body.size() != Files().bytes().size()) {
      state.SkipWithError("download failed");
    }
    benchmark::DoNotOptimize(body.data());
  }
  SetBytes(state);
}

std::size_t Append(char* data, std::size_t size, std::size_t count, void* body) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(body);
  bytes->insert(bytes->end(), data, data + size * count);
  return size * count;
}

// libcurl's easy interface, one HTTP/1.0 GET into a vector sized from the
// start, as the session's buffer is.
void CurlEasyToMemory(benchmark::State& state) {
  const std::string url = Files().url();
  for (auto _ : state) {
    std::vector<std::uint8_t> body;
    body.reserve(Files().bytes().size());
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(easy) != CURLE_OK || body.size() != Files().bytes().size()) {
      state.SkipWithError("curl failed");
    }
    curl_easy_cleanup(easy);
  }
  SetBytes(state);
}

void ByteArrayLoad(benchmark::State& state) {
  ImageBox& box = Files().Box();
  for (auto _ : state) {
    if (box.DisplayFromByteArray(Files().bytes()) != 0) state.SkipWithError("load failed");
    box.CloseImage();
  }
  SetBytes(state);
}

BENCHMARK(CurlEasyToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SessionNetworkPart)->Arg(4096)->Arg(65536)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ByteArrayLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DisplayFromUrl)->Arg(4096)->Arg(65536)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
