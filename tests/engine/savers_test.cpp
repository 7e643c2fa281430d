// The PNG and TIFF savers (tiny resolutions raised for TIFF, fax
// compressions only for one-bit pages) and temporary files.

#include <sys/stat.h>

#include <cstring>

#include <gtest/gtest.h>

#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

struct Saved {
  float dpiX = 0;
  float dpiY = 0;
  std::uint16_t compression = 0;
};

Saved ReadBack(const std::filesystem::path& path) {
  platform::test::ImageGuard image(platform::test::LoadImage(path));
  Saved saved;
  GdipGetImageHorizontalResolution(image.get(), &saved.dpiX);
  GdipGetImageVerticalResolution(image.get(), &saved.dpiY);
  const auto bytes = platform::test::ReadProperty(image.get(), PropertyTagCompression).bytes;
  if (bytes.size() == 2) std::memcpy(&saved.compression, bytes.data(), 2);
  return saved;
}

using SaversTest = EngineTest;

TEST_F(SaversTest, TinyResolutionsAreRaisedForTiff) {
  const auto path = temp_dir() / "page.tif";
  const ImageId tiny = MakeImage(2, 2);
  GdipBitmapSetResolution(NativeHandle(tiny), 0.2f, 0.3f);
  ASSERT_EQ(SaveAsTiff(tiny, path.string(), 0, 0), QuorvexStatus::OK);
  const Saved saved = ReadBack(path);
  EXPECT_NEAR(saved.dpiX, 0.5f, 1e-6);  // factor 2.5
  EXPECT_NEAR(saved.dpiY, 0.75f, 1e-6);
  EXPECT_TRUE(SlotOf(tiny)->Modified);

  const ImageId normal = MakeImage(2, 2);
  GdipBitmapSetResolution(NativeHandle(normal), 0.5f, 300.0f);
  ASSERT_EQ(SaveAsTiff(normal, path.string(), 0, 0), QuorvexStatus::OK);
  EXPECT_EQ(ReadBack(path).dpiX, 0.5f);
  EXPECT_FALSE(SlotOf(normal)->Modified);
}

TEST_F(SaversTest, FaxCompressionFallsBackToLzwAboveOneBit) {
  const auto path = temp_dir() / "page.tif";
  const struct {
    PixelFormat format;
    std::int32_t compression;
    std::int32_t depth;
    std::uint16_t written;  // the file's compression tag (5 = LZW)
  } cases[] = {
      {PixelFormat24bppRGB, EncoderValueCompressionCCITT4, 0, 5},
      {PixelFormat24bppRGB, EncoderValueCompressionRle, 0, 5},
      {PixelFormat1bppIndexed, EncoderValueCompressionCCITT3, 0, 3},
      {PixelFormat1bppIndexed, EncoderValueCompressionCCITT4, 8, 5},  // depth above one bit
      {PixelFormat24bppRGB, EncoderValueCompressionCCITT4, 1, 4},      // saved as one bit
      {PixelFormat24bppRGB, EncoderValueCompressionNone, 16, 1},       // 16 is saved as 24
  };
  for (const auto& c : cases) {
    const ImageId image = MakeImage(8, 2, c.format);
    ASSERT_EQ(SaveAsTiff(image, path.string(), c.compression, c.depth), QuorvexStatus::OK) << c.compression;
    EXPECT_EQ(ReadBack(path).compression, c.written) << c.compression << " at depth " << c.depth;
  }
}

TEST_F(SaversTest, PngKeepsTheResolution) {
  const ImageId image = MakeImage(3, 3);
  GdipBitmapSetResolution(NativeHandle(image), 72.5f, 144.0f);
  const auto path = temp_dir() / "page.png";
  ASSERT_EQ(SaveAsPng(image, path.string()), QuorvexStatus::OK);
  EXPECT_NEAR(ReadBack(path).dpiX, 72.5f, 0.05f);
  EXPECT_EQ(platform::test::ReadProperty(NativeHandle(image), PropertyTagXResolution).bytes,
            (std::vector<std::uint8_t>{0xD5, 0x02, 0, 0, 10, 0, 0, 0}));  // 725 / 10
  EXPECT_FALSE(SlotOf(image)->Modified);
  EXPECT_EQ(SaveAsPng(12345, path.string()), QuorvexStatus::InvalidParameter);
}

TEST_F(SaversTest, TemporaryFilesAreNewAndPrivate) {
  const std::string first = MakeTempFileName();
  EXPECT_NE(first, MakeTempFileName());
  const std::string prefix = temp_dir().string() + "/";
  ASSERT_EQ(first.rfind(prefix, 0), 0u);
  const std::string name = first.substr(prefix.size());
  EXPECT_EQ(name.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_LT(std::stoll(name), 100'000'000);
  struct stat info {};
  ASSERT_EQ(stat(first.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(FileExists(first), first);
  EXPECT_EQ(FileExists(temp_dir().string()), "");  // a folder is no file
  DeleteFileIgnoringErrors(first);
  EXPECT_EQ(FileExists(first), "");

  EXPECT_EQ(ControlTempFilePath(static_cast<HWND>(-4711)), prefix + "4711");
  setenv("TMP", (temp_dir() / "missing").c_str(), 1);
  EXPECT_EQ(MakeTempFileName(), "");
}

}  // namespace
}  // namespace pixavue::engine::test
