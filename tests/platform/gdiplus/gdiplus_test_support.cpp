#include "gdiplus_test_support.h"

#include <fstream>
#include <iterator>
#include <random>

namespace pixavue::platform::test {

void GdiplusTest::SetUp() {
  GdiplusStartupInput input;
  ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
  std::random_device random;
  tempDir_ = std::filesystem::temp_directory_path() / ("pixavue-gdiplus-" + std::to_string(random()));
  std::filesystem::create_directories(tempDir_);
}

void GdiplusTest::TearDown() {
  GdiplusShutdown(token_);
  std::error_code ignored;
  std::filesystem::remove_all(tempDir_, ignored);
}

std::u16string Wide(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int k = 1; k < length && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += length;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::filesystem::path CorporaDir() { return PIXAVUE_CORPORA_DIR; }

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

GpImage* LoadImage(const std::filesystem::path& path) {
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), &image), Ok) << path;
  return image;
}

namespace {

// Moves all pixels between the image and a 32bppARGB caller buffer.
void TransferArgb(GpImage* image, std::uint32_t width, std::uint32_t height, ARGB* pixels, UINT32 mode) {
  BitmapData data;
  data.Width = width;
  data.Height = height;
  data.Stride = static_cast<INT>(width * 4);
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = pixels;
  const GpRect rect{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  EXPECT_EQ(GdipBitmapLockBits(image, &rect, mode | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(GdipBitmapUnlockBits(image, &data), Ok);
}

}  // namespace

std::vector<ARGB> ReadArgbPixels(GpImage* image) {
  UINT32 width = 0;
  UINT32 height = 0;
  GdipGetImageWidth(image, &width);
  GdipGetImageHeight(image, &height);
  std::vector<ARGB> pixels(std::size_t{width} * height);
  if (!pixels.empty()) TransferArgb(image, width, height, pixels.data(), ImageLockModeRead);
  return pixels;
}

GpBitmap* MakeBitmap(std::uint32_t width, std::uint32_t height, PixelFormat format, const std::vector<ARGB>& pixels) {
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, format, nullptr, &bitmap),
            Ok);
  if (bitmap == nullptr) return nullptr;
  std::vector<ARGB> copy = pixels;
  TransferArgb(bitmap, width, height, copy.data(), ImageLockModeWrite);
  return bitmap;
}

TestProperty ReadProperty(GpImage* image, PROPID id) {
  UINT32 size = 0;
  if (GdipGetPropertyItemSize(image, id, &size) != Ok) return {};
  std::vector<std::uint8_t> storage(size);
  auto* item = reinterpret_cast<PropertyItem*>(storage.data());
  EXPECT_EQ(GdipGetPropertyItem(image, id, size, item), Ok);
  const auto* value = static_cast<const std::uint8_t*>(item->value);
  return {item->type, std::vector<std::uint8_t>(value, value + item->length)};
}

GpStatus SaveImage(GpImage* image, const std::filesystem::path& path, const CLSID& encoder,
                   const EncoderParameters* params) {
  return GdipSaveImageToFile(image, Wide(path).c_str(), &encoder, params);
}

}  // namespace pixavue::platform::test
