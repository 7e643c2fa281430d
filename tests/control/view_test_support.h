#pragma once
// Pieces of the selection, page and animation tests: images of one colour
// per page or frame, written as GIF and TIFF files; bitmaps of a chosen size
// and resolution; and what a control shows, saved as a PNG and read back.

#include <pixavue/control/view_image.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "gdiplus_test_support.h"
#include "temp_directory.h"
#include "tiff_test_files.h"

namespace pixavue::testing {

// A GIF89a of width x height frames, frame i all of colours[i] (opaque), shown
// for delays[i] hundredths of a second.
inline std::vector<std::uint8_t> ColouredGif(std::uint16_t width, std::uint16_t height,
                                             const std::vector<platform::ARGB>& colours,
                                             const std::vector<std::uint16_t>& delays) {
  platform::test::GifBuilder gif(width, height, colours);
  for (std::size_t i = 0; i < delays.size(); ++i) {
    gif.Control(1, delays[i]).UniformImage(0, 0, width, height, static_cast<std::uint8_t>(i % colours.size()));
  }
  return gif.Bytes();
}

// An 8-bit grey TIFF whose page p is all greys[p].
inline std::vector<std::uint8_t> GreyTiff(std::uint32_t width, std::uint32_t height,
                                          const std::vector<std::uint8_t>& greys) {
  std::vector<platform::test::TiffPageSpec> pages(greys.size());
  for (std::size_t p = 0; p < greys.size(); ++p) {
    pages[p].width = width;
    pages[p].height = height;
    pages[p].samples.assign(std::size_t{width} * height, greys[p]);
  }
  return platform::test::WriteTiffPages(pages);
}

inline platform::ARGB Grey(std::uint8_t level) { return 0xFF000000u | level * 0x010101u; }

// A registered width x height 32-bit bitmap of one colour at the given
// resolutions; it stays the caller's when shown with SetNativeImage.
inline engine::ImageId SolidBitmap(int width, int height, platform::ARGB colour, float dpiX = 96, float dpiY = 96) {
  platform::GpBitmap* bitmap = nullptr;
  EXPECT_EQ(platform::GdipCreateBitmapFromScan0(width, height, 0, platform::PixelFormat32bppARGB, nullptr, &bitmap),
            platform::Ok);
  platform::GpGraphics* graphics = nullptr;
  platform::GdipGetImageGraphicsContext(bitmap, &graphics);
  platform::GdipGraphicsClear(graphics, colour);
  platform::GdipDeleteGraphics(graphics);
  EXPECT_EQ(platform::GdipBitmapSetResolution(bitmap, dpiX, dpiY), platform::Ok);
  engine::ImageId id = engine::kNoImage;
  engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
  return id;
}

// Files of one test in a folder of their own, removed with the object.
class TestFolder final {
 public:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    platform::test::WriteFile(folder_ / name, bytes);
    return Path(name);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

 private:
  platform::testing::TempDirectory folder_;
};

// What the control shows, through a PNG file written by the host and read
// back by the imaging layer.
inline ViewImage SavedView(headless::HeadlessControl& control, const TestFolder& folder) {
  ViewImage view;
  const std::string path = folder.Path("view.png");
  EXPECT_EQ(control.SaveView(path), platform::Ok);
  platform::GpImage* image = platform::test::LoadImage(path);
  if (image == nullptr) return view;
  platform::UINT width = 0, height = 0;
  platform::GdipGetImageWidth(image, &width);
  platform::GdipGetImageHeight(image, &height);
  view.width = static_cast<int>(width);
  view.height = static_cast<int>(height);
  view.pixels.resize(std::size_t{width} * height);
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      platform::GdipBitmapGetPixel(image, x, y, &view.pixels[static_cast<std::size_t>(y) * width + x]);
    }
  }
  platform::GdipDisposeImage(image);
  return view;
}

}  // namespace pixavue::testing
