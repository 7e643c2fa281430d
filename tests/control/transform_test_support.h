#pragma once
// Pieces shared by the tests of the control's transforms and exports: a
// sink that keeps what the events carried, images registered by hand, and
// the pixels of whatever the clipboard holds.

#include <pixavue/control/image_box_events.h>
#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/ole/clipboard.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdiplus_test_support.h"

namespace pixavue::testing {

class CapturingSink final : public ImageBoxEvents {
 public:
  void Rotation(platform::RotateFlipType type) override { rotations.push_back(type); }
  void FileDrop(const std::string& path) override {
    order.push_back("FileDrop");
    firstFiles.push_back(path);
  }
  void FilesDrop(std::vector<std::string>& paths, std::int32_t count) override {
    order.push_back("FilesDrop");
    fileLists.push_back(paths);
    counts.push_back(count);
  }

  std::vector<platform::RotateFlipType> rotations;
  std::vector<std::string> order;
  std::vector<std::string> firstFiles;
  std::vector<std::vector<std::string>> fileLists;
  std::vector<std::int32_t> counts;
};

// Pixel (x, y) = 0xFF000000 | x << 16 | y << 8 | 0x5A, registered with the
// engine.
inline engine::ImageId RegisterPattern(int width, int height,
                                       platform::PixelFormat format = platform::PixelFormat24bppRGB) {
  std::vector<platform::ARGB> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(0xFF00005Au | static_cast<platform::ARGB>(x << 16 | y << 8));
  }
  engine::ImageId id = engine::kNoImage;
  platform::GpBitmap* bitmap = platform::test::MakeBitmap(width, height, format, pixels);
  engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
  return id;
}

inline std::vector<platform::ARGB> PixelsOf(engine::ImageId id) {
  return platform::test::ReadArgbPixels(engine::NativeHandle(id));
}

// The clipboard's bitmap loaded as a new image (0 when it holds none).
inline engine::ImageId ClipboardImage() {
  engine::ImageId image = engine::kNoImage;
  if (engine::LoadFromClipboard(image) != QuorvexStatus::OK) return engine::kNoImage;
  return image;
}

inline void EmptyTheClipboard() {
  ASSERT_TRUE(platform::OpenClipboard(platform::kNoWindow));
  platform::EmptyClipboard();
  platform::CloseClipboard();
}

}  // namespace pixavue::testing
