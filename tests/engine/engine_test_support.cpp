#include "engine_test_support.h"

#include <cstdlib>
#include <random>

#include <pixavue/engine/image_session.h>

#include "engine_buffer.h"
#include "gdiplus_test_support.h"
#include "page_files.h"

namespace pixavue::engine::test {

using namespace pixavue::platform;

std::vector<ARGB> PatternPixels(std::uint32_t width, std::uint32_t height) {
  std::vector<ARGB> pixels(std::size_t{width} * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | static_cast<ARGB>(i * 0x00030507u);
  return pixels;
}

void EngineTest::SetUp() {
  tempDir_ = std::filesystem::temp_directory_path() / ("pixavue-engine-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(tempDir_);
  if (const char* tmp = std::getenv("TMP")) savedTmp_ = tmp;
  setenv("TMP", tempDir_.c_str(), 1);
  ASSERT_TRUE(StartEngine());
}

void EngineTest::TearDown() {
  StopEngine();
  EXPECT_TRUE(Images().Slots.empty());
  EXPECT_EQ(LiveEngineBufferCount(), 0);
  if (savedTmp_) {
    setenv("TMP", savedTmp_->c_str(), 1);
  } else {
    unsetenv("TMP");
  }
  std::filesystem::remove_all(tempDir_);
}

std::size_t EngineTest::FilesInTempDir() const {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(tempDir_), {}));
}

ImageId EngineTest::MakeImage(std::uint32_t width, std::uint32_t height, PixelFormat format, SourceKind kind) {
  GpBitmap* bitmap = platform::test::MakeBitmap(width, height, format, PatternPixels(width, height));
  ImageId id = kNoImage;
  RegisterImage(bitmap, "", "", kind, id);
  return id;
}

ImageId EngineTest::MakeSplitDocument(DocumentKind kind, int pages) {
  ImageId document = kNoImage;
  RegisterImage(nullptr, kind == DocumentKind::Tiff ? "TIFF" : "GIF", "", SourceKind::Plain, document);
  for (int p = 0; p < pages; ++p) {
    const ImageId page = MakeImage(static_cast<std::uint32_t>(p + 1), 2);
    std::string path;
    EXPECT_EQ(SavePageToTempFile(page, kind, path), QuorvexStatus::OK);
    ReleaseImage(page);
    ImageSlot& slot = *SlotOf(document);
    slot.PageFiles.push_back(path);
    slot.PageImages.push_back(kNoImage);
    slot.PageBitDepths.push_back(24);
    slot.PageDelays.push_back(5 * (p + 1));
  }
  ImageSlot& slot = *SlotOf(document);
  slot.PageCount = pages;
  (kind == DocumentKind::Tiff ? slot.IsMultiPageTiff : slot.IsAnimatedGif) = true;
  slot.LoopCount = 3;
  return document;
}

}  // namespace pixavue::engine::test
