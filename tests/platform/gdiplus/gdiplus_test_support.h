#pragma once
// Helpers for the imaging-layer tests: a fixture with an open session,
// wide file names, temporary folders and reading pixels back.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::platform::test {

// Opens a library session for each test and closes it afterwards; gives a
// fresh temporary folder per test.
class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::filesystem::path& temp_dir() const { return tempDir_; }

 private:
  GDIP_ULONG_PTR token_ = 0;
  std::filesystem::path tempDir_;
};

// UTF-16 form of a path, for the flat interface.
std::u16string Wide(const std::filesystem::path& path);

// ../shared/corpora of the project.
std::filesystem::path CorporaDir();

// Writes bytes to a file.
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);

// Loads a file with GdipLoadImageFromFile; the status is EXPECTed Ok.
GpImage* LoadImage(const std::filesystem::path& path);

// All pixels of the active frame as 32bppARGB, read with LockBits.
std::vector<ARGB> ReadArgbPixels(GpImage* image);

// A bitmap owning its pixels, filled from 32bppARGB pixels (row by row) in
// `format` (through LockBits in write mode).
GpBitmap* MakeBitmap(std::uint32_t width, std::uint32_t height, PixelFormat format, const std::vector<ARGB>& pixels);

// A property item read through the flat interface; type 0 and no bytes
// when the image has no item with that id.
struct TestProperty {
  WORD type = 0;
  std::vector<std::uint8_t> bytes;
};
TestProperty ReadProperty(GpImage* image, PROPID id);
inline std::vector<std::uint8_t> PropertyBytes(GpImage* image, PROPID id) { return ReadProperty(image, id).bytes; }

// Saves with the encoder of that class id.
GpStatus SaveImage(GpImage* image, const std::filesystem::path& path, const CLSID& encoder,
                   const EncoderParameters* params = nullptr);

// Disposes on scope exit.
class ImageGuard final {
 public:
  explicit ImageGuard(GpImage* image = nullptr) : image_(image) {}
  ~ImageGuard() {
    if (image_ != nullptr) GdipDisposeImage(image_);
  }
  ImageGuard(const ImageGuard&) = delete;
  ImageGuard& operator=(const ImageGuard&) = delete;
  GpImage* get() const { return image_; }
  GpImage** out() { return &image_; }

 private:
  GpImage* image_;
};

}  // namespace pixavue::platform::test
