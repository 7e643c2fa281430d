// RotateFlip of asymmetric images in packed, byte and multi-byte formats,
// against positions computed forward from the source.

#include <vector>

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"
#include "transform_reference.h"

namespace pixavue::platform::test {
namespace {

struct Picture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> values;  // palette indices or ARGB, row by row
};

// Where the source pixel (x, y) lands: `turns` clockwise quarter turns,
// then a left-right mirror.
Picture Transform(const Picture& source, int type) {
  const RawPixels raw{source.width, source.height, 32,
                      std::vector<std::uint64_t>(source.values.begin(), source.values.end())};
  const RawPixels turned = TurnedReference(raw, type);
  return Picture{turned.width, turned.height, std::vector<std::uint32_t>(turned.values.begin(), turned.values.end())};
}

// Palette indices through a lock in the image's own indexed format.
void AccessIndices(GpBitmap* bitmap, PixelFormat format, Picture& picture, bool write) {
  const std::uint32_t bits = (static_cast<std::uint32_t>(format) >> 8) & 0xFF;
  BitmapData data;
  const UINT32 mode = write ? ImageLockModeWrite : ImageLockModeRead;
  ASSERT_EQ(GdipBitmapLockBits(bitmap, nullptr, mode, format, &data), Ok);
  ASSERT_EQ(data.Width, picture.width);
  for (std::uint32_t y = 0; y < picture.height; ++y) {
    auto* row = static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride;
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const std::uint32_t bit = x * bits;
      const std::uint32_t shift = 8 - bits - bit % 8;
      const std::uint32_t mask = (1u << bits) - 1;
      std::uint32_t& value = picture.values[y * picture.width + x];
      if (write) {
        row[bit / 8] = static_cast<std::uint8_t>((row[bit / 8] & ~(mask << shift)) | (value << shift));
      } else {
        value = (row[bit / 8] >> shift) & mask;
      }
    }
  }
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap, &data), Ok);
}

GpBitmap* MakePicture(const Picture& picture, PixelFormat format) {
  if (!IsIndexedPixelFormat(format)) return MakeBitmap(picture.width, picture.height, format, picture.values);
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromScan0(static_cast<INT>(picture.width), static_cast<INT>(picture.height), 0, format,
                                      nullptr, &bitmap),
            Ok);
  Picture copy = picture;
  AccessIndices(bitmap, format, copy, true);
  return bitmap;
}

Picture ReadPicture(GpBitmap* bitmap, PixelFormat format) {
  Picture picture;
  GdipGetImageWidth(bitmap, &picture.width);
  GdipGetImageHeight(bitmap, &picture.height);
  if (!IsIndexedPixelFormat(format)) {
    picture.values = ReadArgbPixels(bitmap);
  } else {
    picture.values.assign(std::size_t{picture.width} * picture.height, 0);
    AccessIndices(bitmap, format, picture, false);
  }
  return picture;
}

Picture Pattern(std::uint32_t width, std::uint32_t height, PixelFormat format) {
  Picture picture{width, height, {}};
  const std::uint32_t bits = (static_cast<std::uint32_t>(format) >> 8) & 0xFF;
  for (std::uint32_t i = 0; i < width * height; ++i) {
    const std::uint32_t mixed = i * 2654435761u >> 7;
    picture.values.push_back(IsIndexedPixelFormat(format)     ? mixed & ((1u << bits) - 1)
                             : format == PixelFormat32bppARGB ? mixed
                                                              : 0xFF000000u | mixed);
  }
  return picture;
}

class PixelsRotateFlip : public GdiplusTest {};

TEST_F(PixelsRotateFlip, AllEightTypesMoveEveryPixelWhereExpected) {
  const std::vector<PixelFormat> formats = {PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed,
                                            PixelFormat24bppRGB, PixelFormat32bppARGB};
  for (PixelFormat format : formats) {
    // A 3x2 L shape the eight results all differ on, then a bigger image
    // whose rows cross byte boundaries at every bit depth.
    Picture small{3, 2, {1, 0, 0, 1, 1, 0}};
    if (!IsIndexedPixelFormat(format)) {
      const ARGB last = IsAlphaPixelFormat(format) ? 0x80000000 : 0xFF808080;
      small.values = {0xFF0000FF, 0xFF000000, 0xFF000000, 0xFF00FF00, 0xFFFF0000, last};
    }
    for (const Picture& source : {small, Pattern(11, 5, format)}) {
      for (int type = 0; type < 8; ++type) {
        ImageGuard bitmap(MakePicture(source, format));
        ASSERT_EQ(GdipBitmapSetResolution(bitmap.get(), 72.0f, 300.0f), Ok);
        ASSERT_EQ(GdipImageRotateFlip(bitmap.get(), static_cast<RotateFlipType>(type)), Ok);
        const Picture expected = Transform(source, type);
        const Picture actual = ReadPicture(bitmap.get(), format);
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
        EXPECT_EQ(actual.values, expected.values) << std::hex << format << " type " << type;
        REAL dpiX = 0;
        GdipGetImageHorizontalResolution(bitmap.get(), &dpiX);
        EXPECT_EQ(dpiX, type % 2 == 1 ? 300.0f : 72.0f);
        PixelFormat kept = 0;
        GdipGetImagePixelFormat(bitmap.get(), &kept);
        EXPECT_EQ(kept, format);
      }
    }
  }
}

TEST_F(PixelsRotateFlip, RefusesBadTypesAndLockedImagesAndLeavesCallerBuffersAlone) {
  std::vector<ARGB> pixels = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006};
  const std::vector<ARGB> original = pixels;
  ImageGuard bitmap;
  ASSERT_EQ(
      GdipCreateBitmapFromScan0(3, 2, 12, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()), bitmap.out()),
      Ok);
  EXPECT_EQ(GdipImageRotateFlip(bitmap.get(), static_cast<RotateFlipType>(8)), InvalidParameter);
  EXPECT_EQ(GdipImageRotateFlip(bitmap.get(), static_cast<RotateFlipType>(-1)), InvalidParameter);
  EXPECT_EQ(GdipImageRotateFlip(nullptr, Rotate90FlipNone), InvalidParameter);
  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(GdipImageRotateFlip(bitmap.get(), Rotate90FlipNone), WrongState);
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);

  ASSERT_EQ(GdipImageRotateFlip(bitmap.get(), Rotate180FlipNone), Ok);
  EXPECT_EQ(pixels, original);
  EXPECT_EQ(ReadArgbPixels(bitmap.get()), std::vector<ARGB>(original.rbegin(), original.rend()));
  // The bitmap now owns its pixels: writes no longer reach the caller.
  ASSERT_EQ(GdipBitmapSetPixel(bitmap.get(), 0, 0, 0xFFFFFFFF), Ok);
  EXPECT_EQ(pixels, original);
}

}  // namespace
}  // namespace pixavue::platform::test
