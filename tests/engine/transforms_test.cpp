// Rotation and flipping of registered images in every pixel format, who owns
// the pixels afterwards, the resolution tags, and the exports: bitmaps,
// pictures, area copies and the clipboard.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/engine/image_exports.h>
#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_resolution.h>
#include <pixavue/engine/image_transforms.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/gdiplus/property_tags.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/global_memory.h>

#include "engine_buffer.h"
#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "transform_reference.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;
using platform::test::RawPixels;

constexpr RotateFlipType kAllTypes[] = {RotateNoneFlipNone, Rotate90FlipNone, Rotate180FlipNone, Rotate270FlipNone,
                                        RotateNoneFlipX,    Rotate90FlipX,    Rotate180FlipX,    Rotate270FlipX};

constexpr PixelFormat kAllFormats[] = {
    PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed, PixelFormat16bppGrayScale,
    PixelFormat16bppRGB555, PixelFormat16bppRGB565, PixelFormat16bppARGB1555, PixelFormat24bppRGB,
    PixelFormat32bppRGB,    PixelFormat32bppARGB,   PixelFormat32bppPARGB,    PixelFormat48bppRGB,
    PixelFormat64bppARGB,   PixelFormat64bppPARGB};

class TransformsTest : public EngineTest {
 protected:
  // A registered bitmap of an odd size with distinct raw pixel values.
  ImageId MakeRawImage(PixelFormat format, std::uint32_t width = 13, std::uint32_t height = 5) {
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, format, nullptr, &bitmap),
              Ok);
    platform::test::WriteRawPixels(bitmap, platform::test::DistinctRawPixels(format, width, height));
    ImageId id = kNoImage;
    RegisterImage(bitmap, "", "", SourceKind::Plain, id);
    return id;
  }
};

TEST_F(TransformsTest, EveryFormatTurnsByEveryTypeExactlyAndTheEngineKeepsOwningItsPixels) {
  for (const PixelFormat format : kAllFormats) {
    for (const RotateFlipType type : kAllTypes) {
      SCOPED_TRACE(::testing::Message() << "format " << format << ", type " << type);
      const ImageId image = MakeRawImage(format);
      const RawPixels before = platform::test::ReadRawPixels(NativeHandle(image));
      ASSERT_EQ(RotateFlip(image, type, false), QuorvexStatus::OK);
      const RawPixels once = platform::test::TurnedReference(before, type);
      EXPECT_EQ(platform::test::ReadRawPixels(NativeHandle(image)), once);
      EXPECT_TRUE(SlotOf(image)->Modified);
      // The second turn starts from the engine buffer of the first one.
      ASSERT_EQ(RotateFlip(image, type, true), QuorvexStatus::OK);
      EXPECT_EQ(platform::test::ReadRawPixels(NativeHandle(image)), platform::test::TurnedReference(once, type));
      const ImageSlot& slot = *SlotOf(image);
      if (IsIndexedFormat(format)) {
        EXPECT_EQ(slot.Kind, SourceKind::Plain);
        EXPECT_EQ(LiveEngineBufferCount(), 0);
      } else {
        EXPECT_EQ(slot.Kind, SourceKind::EngineBuffer);
        EXPECT_NE(OwnedBufferInUse(slot), nullptr);
        EXPECT_EQ(LiveEngineBufferCount(), 1);
      }
      PixelFormat kept = PixelFormatUndefined;
      EXPECT_EQ(GetPixelFormat(image, kept), QuorvexStatus::OK);
      EXPECT_EQ(kept, format);
      EXPECT_EQ(ReleaseImage(image), QuorvexStatus::OK);
      EXPECT_EQ(LiveEngineBufferCount(), 0);
    }
  }
}

TEST_F(TransformsTest, OneBitImagesOverBorrowedMemory) {
  // A 1-bit packed DIB, 13 x 5, black first in its table, rows bottom-up.
  auto dibWithPattern = [] {
    constexpr std::size_t kHeader = 40, kTable = 8, kStride = 4, kRows = 5;
    const HGLOBAL block = GlobalAlloc(GHND, kHeader + kTable + kStride * kRows);
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
    const std::int32_t header[] = {40, 13, 5};
    std::memcpy(bytes, header, sizeof header);
    bytes[12] = 1;  // planes
    bytes[14] = 1;  // bits per pixel
    std::memset(bytes + kHeader + 4, 0xFF, 3);  // the second entry is white
    for (std::size_t i = 0; i < kStride * kRows; ++i) {
      bytes[kHeader + kTable + i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    GlobalUnlock(block);
    return block;
  };
  ImageId half = kNoImage;
  ImageId twice = kNoImage;
  ImageId mirrored = kNoImage;
  ASSERT_EQ(LoadFromGdiDib(dibWithPattern(), true, false, half), QuorvexStatus::OK);
  ASSERT_EQ(LoadFromGdiDib(dibWithPattern(), true, false, twice), QuorvexStatus::OK);
  ASSERT_EQ(LoadFromGdiDib(dibWithPattern(), true, false, mirrored), QuorvexStatus::OK);
  ASSERT_EQ(SlotOf(half)->Kind, SourceKind::PackedDib);
  const RawPixels original = platform::test::ReadRawPixels(NativeHandle(half));

  ASSERT_EQ(RotateFlip(half, Rotate180FlipNone, false), QuorvexStatus::OK);
  ASSERT_EQ(RotateFlip(twice, Rotate90FlipNone, false), QuorvexStatus::OK);
  ASSERT_EQ(RotateFlip(twice, Rotate90FlipNone, false), QuorvexStatus::OK);
  const RawPixels turned = platform::test::ReadRawPixels(NativeHandle(half));
  EXPECT_EQ(turned, platform::test::TurnedReference(original, Rotate180FlipNone));
  EXPECT_EQ(platform::test::ReadRawPixels(NativeHandle(twice)), turned);
  // Copied out of the DIB into an engine buffer, whose pixels the library
  // then moved: the buffer is gone and the slot owns none.
  for (const ImageId id : {half, twice}) {
    EXPECT_EQ(SlotOf(id)->Kind, SourceKind::ForeignPixels);
    EXPECT_EQ(SlotOf(id)->PixelBuffer, nullptr);
  }
  EXPECT_EQ(LiveEngineBufferCount(), 0);

  // A mirror keeps the axes: no copy, the DIB stays the image's.
  ASSERT_EQ(RotateFlip(mirrored, RotateNoneFlipX, false), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(mirrored)->Kind, SourceKind::PackedDib);
  EXPECT_EQ(platform::test::ReadRawPixels(NativeHandle(mirrored)),
            platform::test::TurnedReference(original, RotateNoneFlipX));
}

// A turn of an image over an engine buffer frees that buffer and makes one
// of the same size for the turned pixels: the freed one is filled again.
TEST_F(TransformsTest, ALargeTurnRefillsTheBufferItFreed) {
  const ImageId image = MakeRawImage(PixelFormat24bppRGB, 1500, 1100);
  ASSERT_EQ(RotateFlip(image, Rotate90FlipNone, false), QuorvexStatus::OK);
  const BYTE* first = SlotOf(image)->PixelBuffer;
  ASSERT_NE(first, nullptr);
  const RawPixels turned = platform::test::ReadRawPixels(NativeHandle(image));
  const std::int64_t made = NewEngineBufferCount();
  ASSERT_EQ(RotateFlip(image, Rotate180FlipX, false), QuorvexStatus::OK);
  EXPECT_EQ(NewEngineBufferCount(), made);
  EXPECT_EQ(SlotOf(image)->PixelBuffer, first);
  EXPECT_EQ(OwnedBufferInUse(*SlotOf(image)), first);
  EXPECT_EQ(platform::test::ReadRawPixels(NativeHandle(image)), platform::test::TurnedReference(turned, Rotate180FlipX));
  EXPECT_EQ(LiveEngineBufferCount(), 1);
}

TEST_F(TransformsTest, RotationRefusals) {
  EXPECT_EQ(RotateFlip(kNoImage, Rotate90FlipNone, false), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(RotateFlip(12345, Rotate90FlipNone, false), QuorvexStatus::InvalidParameter);
  const ImageId image = MakeImage(4, 3);
  const auto before = platform::test::ReadArgbPixels(NativeHandle(image));
  EXPECT_EQ(RotateFlip(image, static_cast<RotateFlipType>(8), false), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(image)), before);
  EXPECT_FALSE(SlotOf(image)->Modified);
}

TEST_F(TransformsTest, ResolutionIsWrittenAsDecimalRationals) {
  const ImageId image = MakeImage(2, 2);
  ASSERT_EQ(SetResolution(image, 72.0f, 72.5f, false), QuorvexStatus::OK);
  GpImage* handle = NativeHandle(image);
  EXPECT_EQ(platform::test::ReadProperty(handle, PropertyTagXResolution).bytes,
            (std::vector<std::uint8_t>{72, 0, 0, 0, 1, 0, 0, 0}));
  const platform::test::TestProperty y = platform::test::ReadProperty(handle, PropertyTagYResolution);
  EXPECT_EQ(y.type, PropertyTagTypeRational);
  EXPECT_EQ(y.bytes, (std::vector<std::uint8_t>{0xD5, 0x02, 0, 0, 10, 0, 0, 0}));  // 725 / 10
  REAL dpi = 0;
  GdipGetImageVerticalResolution(handle, &dpi);
  EXPECT_EQ(dpi, 72.5f);
  EXPECT_TRUE(SlotOf(image)->Modified);
  EXPECT_EQ(SetResolution(12345, 72, 72, false), QuorvexStatus::InvalidParameter);
}

TEST_F(TransformsTest, BitmapsAndPicturesOfImages) {
  HBITMAP bitmap{1};
  EXPECT_EQ(MakeHBitmap(12345, 0, bitmap), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(bitmap, HBITMAP{});
  ComPtr<IPicture> picture;
  EXPECT_EQ(MakePicture(12345, picture), QuorvexStatus::InvalidParameter);
  EXPECT_FALSE(picture);
  EXPECT_FALSE(MakePicture(kNoImage));

  const ImageId image = MakeImage(5, 3);
  const std::size_t objects = GdiObjectCount();
  ASSERT_EQ(MakeHBitmap(image, 0, bitmap), QuorvexStatus::OK);
  const auto pixels = BitmapPixels(bitmap);
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->width, 5);
  EXPECT_EQ(pixels->height, 3);
  DeleteObject(ToGdiObject(bitmap));
  EXPECT_EQ(GdiObjectCount(), objects);

  picture = MakePicture(image);
  ASSERT_TRUE(picture);
  SHORT type = 0;
  picture->get_Type(&type);
  EXPECT_EQ(type, PICTYPE_BITMAP);
  picture.Reset();
  EXPECT_EQ(GdiObjectCount(), objects);  // the picture deleted its bitmap
}

TEST_F(TransformsTest, AreaCopiesRegisterOnlyWhatTheLibraryCopied) {
  const ImageId image = MakeImage(8, 6);
  const auto source = platform::test::ReadArgbPixels(NativeHandle(image));
  ImageId copy = kNoImage;
  ASSERT_EQ(CopyImageArea(image, 2, 1, 3, 4, PixelFormat24bppRGB, copy), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(copy)->Kind, SourceKind::Plain);
  const auto copied = platform::test::ReadArgbPixels(NativeHandle(copy));
  ASSERT_EQ(copied.size(), 12u);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(copied[y * 3 + x], source[(y + 1) * 8 + x + 2]);
  }
  ReleaseImage(copy);

  const std::size_t live = Images().Slots.size();
  struct Area {
    INT left, top, width, height;
  };
  for (const Area area : {Area{6, 0, 3, 2}, Area{-1, 0, 2, 2}, Area{0, 5, 2, 2}, Area{0, 0, 0, 2}, Area{0, 0, 2, -1},
                          Area{100000, 100000, 10, 10}}) {
    SCOPED_TRACE(::testing::Message() << area.left << "," << area.top << " " << area.width << "x" << area.height);
    EXPECT_EQ(CopyImageArea(image, area.left, area.top, area.width, area.height, PixelFormat24bppRGB, copy),
              QuorvexStatus::InvalidParameter);
    EXPECT_EQ(copy, kNoImage);
  }
  EXPECT_EQ(CopyImageArea(12345, 0, 0, 1, 1, PixelFormat24bppRGB, copy), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(Images().Slots.size(), live);
}

TEST_F(TransformsTest, ClipboardGetsABitmapOfTheImage) {
  const ImageId image = MakeImage(6, 4);
  ASSERT_EQ(CopyToClipboard(image), QuorvexStatus::OK);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  const HBITMAP held = FromHandle<HBITMAP>(GetClipboardData(CF_BITMAP));
  ImageId back = kNoImage;
  ASSERT_EQ(LoadFromHBitmap(held, back), QuorvexStatus::OK);
  CloseClipboard();
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(back)), platform::test::ReadArgbPixels(NativeHandle(image)));
  EXPECT_EQ(CopyToClipboard(12345), QuorvexStatus::InvalidParameter);
  // A clipboard another window holds open refuses the copy.
  const std::size_t objects = GdiObjectCount();
  ASSERT_TRUE(OpenClipboard(HWND{7}));
  EXPECT_EQ(CopyToClipboard(image), QuorvexStatus::GenericError);
  CloseClipboard();
  EXPECT_EQ(GdiObjectCount(), objects);  // the refused bitmap was not left behind
}

}  // namespace
}  // namespace pixavue::engine::test
