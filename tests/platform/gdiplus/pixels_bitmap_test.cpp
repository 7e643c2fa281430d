// Bitmaps over raw pixels: creation, default palettes, single pixels and
// area clones.

#include <algorithm>
#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

std::vector<ARGB> PaletteOf(GpImage* image) {
  INT size = 0;
  EXPECT_EQ(GdipGetImagePaletteSize(image, &size), Ok);
  std::vector<std::byte> block(static_cast<std::size_t>(size));
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  EXPECT_EQ(GdipGetImagePalette(image, palette, size), Ok);
  return std::vector<ARGB>(palette->Entries, palette->Entries + palette->Count);
}

class PixelsBitmap : public GdiplusTest {};

TEST_F(PixelsBitmap, CreationChecksSizeFormatAndStride) {
  ImageGuard bitmap;
  std::vector<BYTE> buffer(64);
  EXPECT_EQ(GdipCreateBitmapFromScan0(0, 1, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, -1, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(70000, 1, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), OutOfMemory);
  EXPECT_EQ(GdipCreateBitmapFromScan0(65535, 65535, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), OutOfMemory);
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppCMYK, nullptr, bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormatUndefined, nullptr, bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, nullptr), InvalidParameter);
  // Caller rows: non-zero, a multiple of 4, at least the packed row.
  EXPECT_EQ(GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat24bppRGB, buffer.data(), bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(3, 2, 10, PixelFormat24bppRGB, buffer.data(), bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(3, 2, 8, PixelFormat24bppRGB, buffer.data(), bitmap.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromScan0(3, 2, -8, PixelFormat24bppRGB, buffer.data(), bitmap.out()), InvalidParameter);
  EXPECT_EQ(bitmap.get(), nullptr);
  ASSERT_EQ(GdipCreateBitmapFromScan0(3, 2, 12, PixelFormat24bppRGB, buffer.data(), bitmap.out()), Ok);

  GUID raw{};
  EXPECT_EQ(GdipGetImageRawFormat(bitmap.get(), &raw), Ok);
  EXPECT_EQ(raw, ImageFormatMemoryBMP);
  REAL dpi = 0;
  EXPECT_EQ(GdipGetImageHorizontalResolution(bitmap.get(), &dpi), Ok);
  EXPECT_EQ(dpi, 96.0f);
  PixelFormat format = 0;
  EXPECT_EQ(GdipGetImagePixelFormat(bitmap.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat24bppRGB);
}

TEST_F(PixelsBitmap, OwnedPixelsStartZeroedWithTheDefaultPalettes) {
  struct Case {
    PixelFormat format;
    std::size_t entries;
    ARGB last;
  };
  for (const Case& c : {Case{PixelFormat1bppIndexed, 2, 0xFFFFFFFF}, Case{PixelFormat4bppIndexed, 16, 0xFFFFFFFF},
                        Case{PixelFormat8bppIndexed, 256, 0xFFFFFFFF}}) {
    ImageGuard bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(5, 3, 999, c.format, nullptr, bitmap.out()), Ok);
    const std::vector<ARGB> palette = PaletteOf(bitmap.get());
    ASSERT_EQ(palette.size(), c.entries);
    EXPECT_EQ(palette.front(), 0xFF000000u);
    EXPECT_EQ(palette.back(), c.last);
    EXPECT_TRUE(std::all_of(palette.begin(), palette.end(), [](ARGB e) { return e >> 24 == 0xFF; }));
    EXPECT_EQ(ReadArgbPixels(bitmap.get()), std::vector<ARGB>(15, 0xFF000000));
  }
  ImageGuard argb;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, argb.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(argb.get()), std::vector<ARGB>(4, 0u));
}

TEST_F(PixelsBitmap, WrappedPixelsAreSharedWithTheCaller) {
  std::vector<ARGB> pixels = {0xFF010203, 0x80040506, 0x00000000, 0xFFFFFFFF};
  ImageGuard bitmap;
  ASSERT_EQ(
      GdipCreateBitmapFromScan0(2, 2, 8, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()), bitmap.out()),
      Ok);
  pixels[2] = 0xFF0000FF;
  ARGB color = 0;
  ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 1, &color), Ok);
  EXPECT_EQ(color, 0xFF0000FFu);
  ASSERT_EQ(GdipBitmapSetPixel(bitmap.get(), 1, 1, 0x12345678), Ok);
  EXPECT_EQ(pixels[3], 0x12345678u);
}

TEST_F(PixelsBitmap, SinglePixelsConvertAndRefuseWhatTheyCannotDo) {
  ImageGuard bitmap(MakeBitmap(2, 1, PixelFormat32bppPARGB, {0xFF102030, 0x80FF8000}));
  ARGB color = 0;
  ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 1, 0, &color), Ok);
  EXPECT_EQ(color, 0x80FF8000u);
  ASSERT_EQ(GdipBitmapSetPixel(bitmap.get(), 0, 0, 0x00FFFFFF), Ok);
  ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, &color), Ok);
  EXPECT_EQ(color, 0u);
  for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{2, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
    EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), x, y, &color), InvalidParameter);
    EXPECT_EQ(GdipBitmapSetPixel(bitmap.get(), x, y, 0), InvalidParameter);
  }
  EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, nullptr), InvalidParameter);

  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat32bppPARGB, &data), Ok);
  EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, &color), WrongState);
  EXPECT_EQ(GdipBitmapSetPixel(bitmap.get(), 0, 0, 0), WrongState);
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);

  ImageGuard indexed;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 1, 0, PixelFormat4bppIndexed, nullptr, indexed.out()), Ok);
  EXPECT_EQ(GdipBitmapSetPixel(indexed.get(), 0, 0, 0xFFFFFFFF), InvalidParameter);
  ASSERT_EQ(GdipBitmapGetPixel(indexed.get(), 1, 0, &color), Ok);
  EXPECT_EQ(color, 0xFF000000u);
}

TEST_F(PixelsBitmap, CloneAreaConvertsInsideTheSource) {
  const std::vector<ARGB> pixels = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006};
  ImageGuard source(MakeBitmap(3, 2, PixelFormat24bppRGB, pixels));
  ASSERT_EQ(GdipBitmapSetResolution(source.get(), 300.0f, 150.0f), Ok);
  ImageGuard clone;
  for (const GpRect& bad : {GpRect{0, 0, 4, 1}, GpRect{-1, 0, 1, 1}, GpRect{2, 1, 2, 1}, GpRect{0, 0, 0, 1}}) {
    EXPECT_EQ(GdipCloneBitmapAreaI(bad.X, bad.Y, bad.Width, bad.Height, PixelFormatDontCare, source.get(), clone.out()),
              InvalidParameter);
  }
  EXPECT_EQ(GdipCloneBitmapAreaI(0, 0, 1, 1, PixelFormat8bppIndexed, source.get(), clone.out()), InvalidParameter);
  EXPECT_EQ(GdipCloneBitmapAreaI(0, 0, 1, 1, PixelFormat32bppCMYK, source.get(), clone.out()), InvalidParameter);
  EXPECT_EQ(clone.get(), nullptr);

  // 1.6, 0.4, 1.4, 1.5 round to 2, 0, 1, 2.
  ASSERT_EQ(GdipCloneBitmapArea(1.6f, 0.4f, 1.4f, 1.5f, PixelFormatDontCare, source.get(), clone.out()), Ok);
  PixelFormat format = 0;
  EXPECT_EQ(GdipGetImagePixelFormat(clone.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat24bppRGB);
  EXPECT_EQ(ReadArgbPixels(clone.get()), (std::vector<ARGB>{0xFF000003, 0xFF000006}));
  REAL dpiX = 0;
  REAL dpiY = 0;
  GdipGetImageHorizontalResolution(clone.get(), &dpiX);
  GdipGetImageVerticalResolution(clone.get(), &dpiY);
  EXPECT_EQ(dpiX, 300.0f);
  EXPECT_EQ(dpiY, 150.0f);
  GUID raw{};
  GdipGetImageRawFormat(clone.get(), &raw);
  EXPECT_EQ(raw, ImageFormatMemoryBMP);

  ImageGuard wide;
  ASSERT_EQ(GdipCloneBitmapAreaI(0, 1, 3, 1, PixelFormat64bppPARGB, source.get(), wide.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(wide.get()), std::vector<ARGB>(pixels.begin() + 3, pixels.end()));
  ImageGuard refused;
  EXPECT_EQ(GdipCloneBitmapArea(0.0f, 0.0f, 1e30f, 1.0f, PixelFormatDontCare, source.get(), refused.out()),
            InvalidParameter);
}

TEST_F(PixelsBitmap, IndexedCloneKeepsIndicesAndPalette) {
  // 1bpp, 12 pixels: 1100 1010 0111; clone x = 3..10 (8 pixels).
  std::vector<BYTE> bits = {0xCA, 0x70, 0x00, 0x00};
  ImageGuard source;
  ASSERT_EQ(GdipCreateBitmapFromScan0(12, 1, 4, PixelFormat1bppIndexed, bits.data(), source.out()), Ok);
  std::vector<BYTE> block(offsetof(ColorPalette, Entries) + 2 * sizeof(ARGB));
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  palette->Flags = 0;
  palette->Count = 2;
  palette->Entries[0] = 0xFF112233;
  palette->Entries[1] = 0xFF445566;
  ASSERT_EQ(GdipSetImagePalette(source.get(), palette), Ok);
  ImageGuard clone;
  ASSERT_EQ(GdipCloneBitmapAreaI(3, 0, 8, 1, PixelFormat1bppIndexed, source.get(), clone.out()), Ok);
  EXPECT_EQ(PaletteOf(clone.get()), (std::vector<ARGB>{0xFF112233, 0xFF445566}));
  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(clone.get(), nullptr, ImageLockModeRead, PixelFormat1bppIndexed, &data), Ok);
  EXPECT_EQ(*static_cast<BYTE*>(data.Scan0), 0x53);  // 0101 0011
  ASSERT_EQ(GdipBitmapUnlockBits(clone.get(), &data), Ok);
  ImageGuard refused;
  EXPECT_EQ(GdipCloneBitmapAreaI(0, 0, 1, 1, PixelFormat4bppIndexed, source.get(), refused.out()), InvalidParameter);
}

TEST(PixelsWithoutSession, EveryCallAnswersNotInitialized) {
  // No session is open between fixtures; the object is never looked at.
  GpBitmap* bitmap = nullptr;
  BitmapData data;
  ARGB color = 0;
  EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppARGB, nullptr, &bitmap), GdiplusNotInitialized);
  EXPECT_EQ(GdipBitmapLockBits(bitmap, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data),
            GdiplusNotInitialized);
  EXPECT_EQ(GdipBitmapUnlockBits(bitmap, &data), GdiplusNotInitialized);
  EXPECT_EQ(GdipBitmapGetPixel(bitmap, 0, 0, &color), GdiplusNotInitialized);
  EXPECT_EQ(GdipBitmapSetPixel(bitmap, 0, 0, color), GdiplusNotInitialized);
  EXPECT_EQ(GdipCloneBitmapAreaI(0, 0, 1, 1, 0, bitmap, &bitmap), GdiplusNotInitialized);
  EXPECT_EQ(GdipCloneBitmapArea(0, 0, 1, 1, 0, bitmap, &bitmap), GdiplusNotInitialized);
  EXPECT_EQ(GdipImageRotateFlip(bitmap, Rotate90FlipNone), GdiplusNotInitialized);
}

}  // namespace
}  // namespace pixavue::platform::test
