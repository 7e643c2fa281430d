// The library session, image object validation and file errors of the
// loading path.

#include <fstream>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

TEST(GdiplusSession, EveryCallWaitsForAStartupAndStartupsAreCounted) {
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, &bitmap), GdiplusNotInitialized);
  UINT32 count = 0;
  UINT32 size = 0;
  EXPECT_EQ(GdipGetImageEncodersSize(&count, &size), GdiplusNotInitialized);

  GdiplusStartupInput input;
  GDIP_ULONG_PTR first = 0;
  GDIP_ULONG_PTR second = 0;
  ASSERT_EQ(GdiplusStartup(&first, &input, nullptr), Ok);
  ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
  EXPECT_NE(first, second);
  GdiplusShutdown(second);
  GdiplusShutdown(second);  // a token already closed changes nothing
  ASSERT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, &bitmap), Ok);
  EXPECT_EQ(GdipDisposeImage(bitmap), Ok);
  GdiplusShutdown(first);
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, &bitmap), GdiplusNotInitialized);
}

TEST(GdiplusSession, StartupRefusesBadArguments) {
  GdiplusStartupInput input;
  GDIP_ULONG_PTR token = 0;
  EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
  EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
  input.GdiplusVersion = 7;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);
  input.GdiplusVersion = 1;
  input.SuppressBackgroundThread = 1;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), InvalidParameter);
  GdiplusStartupOutput output;
  ASSERT_EQ(GdiplusStartup(&token, &input, &output), Ok);
  GdiplusShutdown(token);
}

class GdiplusObjects : public GdiplusTest {};

TEST_F(GdiplusObjects, DisposedAndUnknownImagesAreRefused) {
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(4, 3, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
  UINT32 width = 0;
  EXPECT_EQ(GdipGetImageWidth(bitmap, &width), Ok);
  EXPECT_EQ(width, 4u);
  EXPECT_EQ(GdipGetImageWidth(bitmap, nullptr), InvalidParameter);
  EXPECT_EQ(GdipDisposeImage(bitmap), Ok);
  EXPECT_EQ(GdipDisposeImage(bitmap), InvalidParameter);
  EXPECT_EQ(GdipGetImageWidth(bitmap, &width), InvalidParameter);
  int notAnImage = 0;
  EXPECT_EQ(GdipGetImageWidth(reinterpret_cast<GpImage*>(&notAnImage), &width), InvalidParameter);
  EXPECT_EQ(GdipDisposeImage(nullptr), InvalidParameter);
}

TEST_F(GdiplusObjects, MemoryBitmapQueries) {
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(5, 7, 0, PixelFormat24bppRGB, nullptr, &bitmap), Ok);
  ImageGuard guard(bitmap);
  GUID format{};
  EXPECT_EQ(GdipGetImageRawFormat(bitmap, &format), Ok);
  EXPECT_EQ(format, ImageFormatMemoryBMP);
  PixelFormat pixelFormat = 0;
  EXPECT_EQ(GdipGetImagePixelFormat(bitmap, &pixelFormat), Ok);
  EXPECT_EQ(pixelFormat, PixelFormat24bppRGB);
  ImageType type = ImageTypeUnknown;
  EXPECT_EQ(GdipGetImageType(bitmap, &type), Ok);
  EXPECT_EQ(type, ImageTypeBitmap);
  REAL dpi = 0;
  EXPECT_EQ(GdipGetImageHorizontalResolution(bitmap, &dpi), Ok);
  EXPECT_EQ(dpi, 96.0f);
  EXPECT_EQ(GdipBitmapSetResolution(bitmap, 300.0f, 150.0f), Ok);
  EXPECT_EQ(GdipBitmapSetResolution(bitmap, 0.0f, 150.0f), InvalidParameter);
  EXPECT_EQ(GdipGetImageVerticalResolution(bitmap, &dpi), Ok);
  EXPECT_EQ(dpi, 150.0f);
  UINT32 flags = 0;
  EXPECT_EQ(GdipGetImageFlags(bitmap, &flags), Ok);
  EXPECT_EQ(flags & ImageFlagsHasAlpha, 0u);
  EXPECT_NE(flags & ImageFlagsColorSpaceRGB, 0u);
}

TEST_F(GdiplusObjects, PaletteRoundTripAndSizes) {
  GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(8, 1, 0, PixelFormat1bppIndexed, nullptr, &bitmap), Ok);
  ImageGuard guard(bitmap);
  INT size = 0;
  ASSERT_EQ(GdipGetImagePaletteSize(bitmap, &size), Ok);
  EXPECT_EQ(size, static_cast<INT>(offsetof(ColorPalette, Entries) + 2 * sizeof(ARGB)));
  std::vector<std::uint8_t> block(static_cast<std::size_t>(size));
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  ASSERT_EQ(GdipGetImagePalette(bitmap, palette, size), Ok);
  EXPECT_EQ(palette->Count, 2u);
  EXPECT_EQ(GdipGetImagePalette(bitmap, palette, size - 1), InvalidParameter);
  palette->Entries[0] = 0xFFFF0000;
  palette->Entries[1] = 0x800000FF;
  palette->Flags = PaletteFlagsHasAlpha;
  ASSERT_EQ(GdipSetImagePalette(bitmap, palette), Ok);
  UINT32 flags = 0;
  EXPECT_EQ(GdipGetImageFlags(bitmap, &flags), Ok);
  EXPECT_NE(flags & ImageFlagsHasAlpha, 0u);
  std::vector<std::uint8_t> again(block.size());
  auto* read = reinterpret_cast<ColorPalette*>(again.data());
  ASSERT_EQ(GdipGetImagePalette(bitmap, read, size), Ok);
  EXPECT_EQ(read->Entries[0], 0xFFFF0000u);
  EXPECT_EQ(read->Entries[1], 0x800000FFu);
  EXPECT_EQ(read->Flags, static_cast<UINT32>(PaletteFlagsHasAlpha));
  palette->Count = 0;
  EXPECT_EQ(GdipSetImagePalette(bitmap, palette), InvalidParameter);
}

TEST_F(GdiplusObjects, CloneIsDeepAndIndependent) {
  GpBitmap* bitmap = MakeBitmap(2, 1, PixelFormat32bppARGB, {0xFF112233, 0x80445566});
  ImageGuard guard(bitmap);
  GpImage* clone = nullptr;
  ASSERT_EQ(GdipCloneImage(bitmap, &clone), Ok);
  ImageGuard cloneGuard(clone);
  ASSERT_EQ(GdipBitmapSetPixel(bitmap, 0, 0, 0xFF000000), Ok);
  EXPECT_EQ(ReadArgbPixels(clone), (std::vector<ARGB>{0xFF112233, 0x80445566}));
  EXPECT_EQ(ReadArgbPixels(bitmap)[0], 0xFF000000u);
}

class GdiplusFiles : public GdiplusTest {};

TEST_F(GdiplusFiles, LoadingErrorsHaveTheirStatus) {
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromFile(Wide(temp_dir() / "missing.png").c_str(), &image), FileNotFound);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(GdipLoadImageFromFile(Wide(temp_dir()).c_str(), &image), AccessDenied);
  EXPECT_EQ(GdipLoadImageFromFile(u"", &image), InvalidParameter);
  EXPECT_EQ(GdipLoadImageFromFile(nullptr, &image), InvalidParameter);
  EXPECT_EQ(GdipLoadImageFromFile(Wide(temp_dir() / "x").c_str(), nullptr), InvalidParameter);

  WriteFile(temp_dir() / "text.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  EXPECT_EQ(GdipLoadImageFromFile(Wide(temp_dir() / "text.png").c_str(), &image), UnknownImageFormat);
  WriteFile(temp_dir() / "empty.bmp", {});
  EXPECT_EQ(GdipLoadImageFromFile(Wide(temp_dir() / "empty.bmp").c_str(), &image), UnknownImageFormat);
  EXPECT_EQ(image, nullptr);
}

TEST_F(GdiplusFiles, NonAsciiFileNamesArePassedAsUtf8) {
  GpBitmap* bitmap = MakeBitmap(1, 1, PixelFormat24bppRGB, {0xFF102030});
  ImageGuard guard(bitmap);
  const auto path = temp_dir() / u8"b\u00e9b\u00e9 \U0001F600.png";
  ASSERT_EQ(SaveImage(bitmap, path, CLSID_PngCodec), Ok);
  EXPECT_TRUE(std::filesystem::exists(path));
  ImageGuard loaded(LoadImage(path));
  ASSERT_NE(loaded.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(loaded.get()), std::vector<ARGB>{0xFF102030});
}

TEST_F(GdiplusFiles, AFailedSaveLeavesTheExistingFileAlone) {
  const auto path = temp_dir() / "keep.tif";
  WriteFile(path, {1, 2, 3});
  GpBitmap* bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF});
  ImageGuard guard(bitmap);
  // CCITT compression needs a 1-bit image; the encoder refuses and the
  // file keeps its old content.
  std::uint32_t compression = EncoderValueCompressionCCITT4;
  EncoderParameters params{1, {{EncoderCompression, 1, EncoderParameterValueTypeLong, &compression}}};
  EXPECT_EQ(SaveImage(bitmap, path, CLSID_TiffCodec, &params), InvalidParameter);
  EXPECT_EQ(ReadFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
  const CLSID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(SaveImage(bitmap, path, unknown), FileNotFound);
  EXPECT_EQ(ReadFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace pixavue::platform::test
