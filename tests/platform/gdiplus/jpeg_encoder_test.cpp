// Saving JPEG files: quality, the pixel formats that reach libjpeg, and
// what a save-then-load keeps (pixels, resolution, EXIF properties).

#include <cstring>
#include <string>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "jpeg_test_files.h"

namespace pixavue::platform::test {
namespace {

// Smooth colours, so that 4:2:0 chroma changes little.
std::vector<ARGB> Gradient(std::uint32_t width, std::uint32_t height, std::uint32_t alpha = 0xFF) {
  std::vector<ARGB> pixels;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      pixels.push_back((alpha << 24) | ((x * 255 / width) << 16) | ((y * 255 / height) << 8) | 0x60);
    }
  }
  return pixels;
}

std::vector<ARGB> Noise(std::uint32_t count) {
  std::vector<ARGB> pixels(count);
  std::uint32_t state = 12345;
  for (ARGB& p : pixels) {
    state = state * 1664525u + 1013904223u;
    p = 0xFF000000u | (state >> 8);
  }
  return pixels;
}

struct QualityParameter final {
  EncoderParameters params{};
  std::int32_t value = 0;
  QualityParameter(std::int32_t quality, GDIP_ULONG type = EncoderParameterValueTypeLong, GDIP_ULONG count = 1)
      : value(quality) {
    params.Count = 1;
    params.Parameter[0] = EncoderParameter{EncoderQuality, count, type, &value};
  }
};

int WorstDifference(const std::vector<ARGB>& a, const std::vector<ARGB>& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(Channel(a[i], shift) - Channel(b[i], shift)));
  }
  return worst;
}

class JpegEncoding : public JpegFileTest {
 protected:
  GpImage* SaveAndLoad(GpImage* image, const EncoderParameters* params = nullptr) {
    const auto path = temp_dir() / ("saved" + std::to_string(++saves_) + ".jpg");
    EXPECT_EQ(SaveImage(image, path, CLSID_JpegCodec, params), Ok);
    GpImage* loaded = nullptr;
    EXPECT_EQ(GdipLoadImageFromFile(Wide(path).c_str(), &loaded), Ok);
    return loaded;
  }
  std::uintmax_t SavedSize(GpImage* image, std::int32_t quality) {
    const auto path = temp_dir() / ("q" + std::to_string(quality) + ".jpg");
    QualityParameter parameter(quality);
    EXPECT_EQ(SaveImage(image, path, CLSID_JpegCodec, &parameter.params), Ok);
    return std::filesystem::file_size(path);
  }

 private:
  int saves_ = 0;
};

TEST_F(JpegEncoding, QualityChangesTheSizeAndIsChecked) {
  ImageGuard bitmap(MakeBitmap(64, 64, PixelFormat24bppRGB, Noise(64 * 64)));
  ASSERT_NE(bitmap.get(), nullptr);
  std::uintmax_t previous = 0;
  for (std::int32_t quality : {0, 25, 50, 75, 90, 100}) {
    const std::uintmax_t size = SavedSize(bitmap.get(), quality);
    EXPECT_GT(size, previous) << "quality " << quality;
    previous = size;
  }
  const auto path = temp_dir() / "refused.jpg";
  for (const QualityParameter& bad : {QualityParameter(101), QualityParameter(-1),
                                      QualityParameter(50, EncoderParameterValueTypeShort),
                                      QualityParameter(50, EncoderParameterValueTypeLong, 2)}) {
    EXPECT_EQ(SaveImage(bitmap.get(), path, CLSID_JpegCodec, &bad.params), InvalidParameter);
  }
}

TEST_F(JpegEncoding, SaveThenLoadKeepsPixelsResolutionAndExif) {
  const std::vector<ARGB> pixels = Gradient(40, 24);
  ImageGuard bitmap(MakeBitmap(40, 24, PixelFormat24bppRGB, pixels));
  ASSERT_NE(bitmap.get(), nullptr);
  ASSERT_EQ(GdipBitmapSetResolution(bitmap.get(), 300, 150), Ok);
  char make[] = "Pixavue";
  const PropertyItem item{PropertyTagEquipMake, sizeof make, PropertyTagTypeASCII, make};
  ASSERT_EQ(GdipSetPropertyItem(bitmap.get(), &item), Ok);
  QualityParameter best(100);
  ImageGuard loaded(SaveAndLoad(bitmap.get(), &best.params));
  ASSERT_NE(loaded.get(), nullptr);
  EXPECT_LE(WorstDifference(ReadArgbPixels(loaded.get()), pixels), 6);
  REAL dpiX = 0, dpiY = 0;
  GdipGetImageHorizontalResolution(loaded.get(), &dpiX);
  GdipGetImageVerticalResolution(loaded.get(), &dpiY);
  EXPECT_FLOAT_EQ(dpiX, 300);
  EXPECT_FLOAT_EQ(dpiY, 150);
  EXPECT_EQ(PropertyBytes(loaded.get(), PropertyTagEquipMake), std::vector<std::uint8_t>(make, make + sizeof make));
}

TEST_F(JpegEncoding, EveryPixelFormatReachesTheEncoder) {
  const std::vector<ARGB> opaque = Gradient(32, 16);
  const std::vector<ARGB> translucent = Gradient(32, 16, 0x80);
  struct Case {
    PixelFormat format;
    const std::vector<ARGB>& pixels;
    int tolerance;
  };
  // The gradient climbs 8 levels a pixel across, which 4:2:0 chroma
  // blurs by about as much.
  for (const Case& c : {Case{PixelFormat32bppRGB, opaque, 10}, Case{PixelFormat32bppARGB, translucent, 10},
                        Case{PixelFormat32bppPARGB, translucent, 10}, Case{PixelFormat16bppRGB565, opaque, 14},
                        Case{PixelFormat48bppRGB, opaque, 10}, Case{PixelFormat64bppPARGB, translucent, 10}}) {
    SCOPED_TRACE(testing::Message() << std::hex << c.format);
    ImageGuard bitmap(MakeBitmap(32, 16, c.format, c.pixels));
    ASSERT_NE(bitmap.get(), nullptr);
    QualityParameter best(100);
    ImageGuard loaded(SaveAndLoad(bitmap.get(), &best.params));
    ASSERT_NE(loaded.get(), nullptr);
    PixelFormat format = 0;
    GdipGetImagePixelFormat(loaded.get(), &format);
    EXPECT_EQ(format, PixelFormat24bppRGB);
    // Alpha is dropped; premultiplied colours come back unpremultiplied.
    EXPECT_LE(WorstDifference(ReadArgbPixels(loaded.get()), opaque), c.tolerance);
  }
}

TEST_F(JpegEncoding, GreyPaletteImagesStayGrey) {
  TestJpeg spec;
  spec.input = JCS_GRAYSCALE;
  spec.components = 1;
  spec.samples = BlockSamples(16, 16, 1, {{90}});
  ImageGuard grey(Load(WriteTestJpeg(spec)));
  ASSERT_NE(grey.get(), nullptr);
  ImageGuard loaded(SaveAndLoad(grey.get()));
  ASSERT_NE(loaded.get(), nullptr);
  PixelFormat format = 0;
  GdipGetImagePixelFormat(loaded.get(), &format);
  EXPECT_EQ(format, PixelFormat8bppIndexed);
  EXPECT_NEAR(Channel(ReadArgbPixels(loaded.get())[0], 8), 90, 2);
}

TEST_F(JpegEncoding, OversizedExifItemsAreDroppedNotTheWholeBlock) {
  ImageGuard bitmap(MakeBitmap(8, 8, PixelFormat24bppRGB, Gradient(8, 8)));
  ASSERT_NE(bitmap.get(), nullptr);
  std::string description(70000, 'x');
  char make[] = "Pixavue";
  const PropertyItem big{PropertyTagImageDescription, static_cast<GDIP_ULONG>(description.size() + 1),
                         PropertyTagTypeASCII, description.data()};
  const PropertyItem small{PropertyTagEquipMake, sizeof make, PropertyTagTypeASCII, make};
  ASSERT_EQ(GdipSetPropertyItem(bitmap.get(), &big), Ok);
  ASSERT_EQ(GdipSetPropertyItem(bitmap.get(), &small), Ok);
  ImageGuard loaded(SaveAndLoad(bitmap.get()));
  ASSERT_NE(loaded.get(), nullptr);
  UINT32 size = 0;
  EXPECT_EQ(GdipGetPropertyItemSize(loaded.get(), PropertyTagEquipMake, &size), Ok);
  EXPECT_EQ(GdipGetPropertyItemSize(loaded.get(), PropertyTagImageDescription, &size), PropertyNotFound);
}

}  // namespace
}  // namespace pixavue::platform::test
