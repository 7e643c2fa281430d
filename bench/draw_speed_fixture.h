#pragma once
// The picture of the drawing-speed benchmarks: a 6000 x 4000 photo-like
// JPEG written once for the process, decoded by the imaging layer (which
// keeps it as 24bppRGB), and a 32-bit copy of the same pixels (x8r8g8b8,
// top-down, no padding) for the libraries it is measured against.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::bench {

inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;
// The view the control shows it in, and the fitted size inside that view.
inline constexpr int kViewWidth = 1600;
inline constexpr int kViewHeight = 1000;
inline constexpr int kFitWidth = 1500;
inline constexpr int kFitHeight = 1000;

class Photo final {
 public:
  Photo();
  ~Photo();
  Photo(const Photo&) = delete;
  Photo& operator=(const Photo&) = delete;

  const std::filesystem::path& path() const { return path_; }
  platform::GpBitmap* decoded() const { return decoded_; }  // 24bppRGB
  std::uint32_t* pixels32() { return pixels32_.data(); }
  static constexpr int stride32() { return kPhotoWidth * 4; }

 private:
  std::filesystem::path path_;
  platform::GDIP_ULONG_PTR token_ = 0;
  platform::GpBitmap* decoded_ = nullptr;
  std::vector<std::uint32_t> pixels32_;
};

// The process's picture, made on first use.
Photo& ThePhoto();

// Source areas of the scroll steps: two positions a step apart, at zoom 1
// (1600 x 1000 source pixels) and zoom 2 (800 x 500).
struct SourceArea final {
  int x;
  int y;
  int width;
  int height;
};
inline constexpr SourceArea kZoom1Steps[2] = {{2200, 1500, 1600, 1000}, {2264, 1500, 1600, 1000}};
inline constexpr SourceArea kZoom2Steps[2] = {{2600, 1750, 800, 500}, {2632, 1750, 800, 500}};

// Registers the Qt baselines (draw_speed_qt.cpp) when the build found Qt.
void RegisterQtBaselines();

}  // namespace pixavue::bench
