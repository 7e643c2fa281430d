#pragma once
// The engine suite's fixture: a started engine, a temporary folder of its
// own (as the folder for temporary files), and images and documents built
// by hand.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine::test {

// Pixels 0xFF000000 | small numbers, different for every position.
std::vector<platform::ARGB> PatternPixels(std::uint32_t width, std::uint32_t height);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Stops the engine and checks that it released every image and buffer.
  void TearDown() override;

  const std::filesystem::path& temp_dir() const { return tempDir_; }
  std::size_t FilesInTempDir() const;

  // A bitmap with PatternPixels, registered.
  ImageId MakeImage(std::uint32_t width, std::uint32_t height,
                    platform::PixelFormat format = platform::PixelFormat24bppRGB,
                    SourceKind kind = SourceKind::Plain);
  // A document without an own handle whose pages are stored in page files;
  // page p is (p + 1) pixels wide. No page is current.
  ImageId MakeSplitDocument(DocumentKind kind, int pages);

 private:
  std::filesystem::path tempDir_;
  std::optional<std::string> savedTmp_;
};

}  // namespace pixavue::engine::test
