#include "draw_speed_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <jpeglib.h>

#include "jpeg_memory_writer.h"

namespace pixavue::bench {
namespace {

using namespace pixavue::platform;

// Smooth gradients with a little noise, like a photograph, at quality 90
// with 4:2:0 chroma (libjpeg's defaults for colour).
std::vector<std::uint8_t> PhotoLikeJpeg() {
  test::JpegMemoryWriter writer(kPhotoWidth, kPhotoHeight, 3, JCS_RGB);
  jpeg_set_quality(&writer.cinfo(), 90, TRUE);
  writer.Start();
  std::vector<std::uint8_t> row(std::size_t{kPhotoWidth} * 3);
  std::uint32_t noise = 1;
  while (writer.WantsRow()) {
    const auto y = static_cast<int>(writer.NextRow());
    for (int x = 0; x < kPhotoWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int jitter = static_cast<int>(noise >> 28) - 8;
      const auto channel = [&](int base) { return static_cast<std::uint8_t>(std::clamp(base + jitter, 0, 255)); };
      row[std::size_t{static_cast<std::size_t>(x)} * 3] = channel(x * 255 / kPhotoWidth);
      row[std::size_t{static_cast<std::size_t>(x)} * 3 + 1] = channel(y * 255 / kPhotoHeight);
      row[std::size_t{static_cast<std::size_t>(x)} * 3 + 2] = channel((x + y) % 512 / 2);
    }
    writer.WriteRow(row.data());
  }
  return writer.Finish();
}

std::u16string Wide(const std::filesystem::path& path) {
  const std::string narrow = path.string();
  return {narrow.begin(), narrow.end()};
}

}  // namespace

Photo::Photo()
    : path_(std::filesystem::temp_directory_path() / ("pixavue_draw_speed_" + std::to_string(::getpid()) + ".jpg")) {
  const std::vector<std::uint8_t> bytes = PhotoLikeJpeg();
  if (std::FILE* file = std::fopen(path_.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  const GdiplusStartupInput input;
  GdiplusStartup(&token_, &input, nullptr);
  GdipCreateBitmapFromFile(Wide(path_).c_str(), &decoded_);
  pixels32_.resize(std::size_t{kPhotoWidth} * kPhotoHeight);
  BitmapData data{};
  data.Width = kPhotoWidth;
  data.Height = kPhotoHeight;
  data.Stride = stride32();
  data.PixelFormat = PixelFormat32bppRGB;
  data.Scan0 = pixels32_.data();
  const GpRect all{0, 0, kPhotoWidth, kPhotoHeight};
  GdipBitmapLockBits(decoded_, &all, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppRGB, &data);
  GdipBitmapUnlockBits(decoded_, &data);
  for (std::uint32_t& pixel : pixels32_) pixel |= 0xFF000000u;
}

Photo::~Photo() {
  GdipDisposeImage(decoded_);
  GdiplusShutdown(token_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

Photo& ThePhoto() {
  static Photo photo;
  return photo;
}

}  // namespace pixavue::bench
