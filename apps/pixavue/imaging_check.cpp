#include "imaging_check.h"

#include <array>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/wide_file_name.h>

#include "private_folder.h"

namespace pixavue::app {
namespace {

using namespace platform;

constexpr INT kWidth = 3;
constexpr INT kHeight = 2;
// Opaque primaries and greys: every lossless encoder keeps them exactly.
constexpr std::array<ARGB, kWidth * kHeight> kPixels{0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                     0xFFFFFFFF, 0xFF000000, 0xFF808080};

std::u16string Wide(const std::string& path) { return WideFromFileName(path); }

GpStatus TransferPixels(GpBitmap* bitmap, UINT32 mode, ARGB* pixels) {
  BitmapData data;
  data.Width = kWidth;
  data.Height = kHeight;
  data.Stride = kWidth * 4;
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = pixels;
  const GpRect rect{0, 0, kWidth, kHeight};
  GpStatus status = GdipBitmapLockBits(bitmap, &rect, mode | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data);
  return status == Ok ? GdipBitmapUnlockBits(bitmap, &data) : status;
}

// Saves `bitmap` with `encoder`, loads the file and compares.
std::string RoundTrip(GpBitmap* bitmap, const CLSID& encoder, const char* name) {
  const PrivateFolder folder;
  if (!folder.Made()) return "could not make a folder in the temporary folder";
  const std::string path = (folder / (std::string("round-trip.") + name)).string();
  GpImage* loaded = nullptr;
  if (GdipSaveImageToFile(bitmap, Wide(path).c_str(), &encoder, nullptr) != Ok) {
    return std::string("could not save ") + name;
  }
  if (GdipLoadImageFromFile(Wide(path).c_str(), &loaded) != Ok) return std::string("could not load the saved ") + name;
  std::array<ARGB, kWidth * kHeight> back{};
  const bool kept = TransferPixels(loaded, ImageLockModeRead, back.data()) == Ok && back == kPixels;
  GdipDisposeImage(loaded);
  return kept ? "" : std::string(name) + " did not keep the pixels";
}

}  // namespace

std::string CheckImagingRoundTrips() {
  GdiplusStartupInput input;
  GDIP_ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &input, nullptr) != Ok) return "the imaging session did not start";
  GpBitmap* bitmap = nullptr;
  std::string failure;
  auto pixels = kPixels;
  if (GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat24bppRGB, nullptr, &bitmap) != Ok ||
      TransferPixels(bitmap, ImageLockModeWrite, pixels.data()) != Ok) {
    failure = "could not make a bitmap";
  }
  const std::array<std::pair<CLSID, const char*>, 4> lossless{
      {{CLSID_PngCodec, "png"}, {CLSID_BmpCodec, "bmp"}, {CLSID_TiffCodec, "tif"}, {CLSID_GifCodec, "gif"}}};
  for (const auto& [encoder, name] : lossless) {
    if (failure.empty()) failure = RoundTrip(bitmap, encoder, name);
  }
  if (bitmap != nullptr) GdipDisposeImage(bitmap);
  GdiplusShutdown(token);
  return failure;
}

}  // namespace pixavue::app
