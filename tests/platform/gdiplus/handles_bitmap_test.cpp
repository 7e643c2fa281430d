// Bitmaps to and from bitmap handles and packed DIBs.

#include <cstring>

#include "handles_test_support.h"

namespace pixavue::platform::test {
namespace {

using BitmapHandleTest = HandlesTest;

TEST_F(BitmapHandleTest, BitmapToHandleAndBackKeepsOpaquePixels) {
  const std::vector<ARGB> pixels = {0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  ImageGuard source(MakeBitmap(3, 2, PixelFormat32bppARGB, pixels));
  HBITMAP handle{};
  ASSERT_EQ(GdipCreateHBITMAPFromBitmap(source.get(), &handle, 0xFFFFFFFF), Ok);
  DIBSECTION section;
  ASSERT_EQ(GetObject(ToGdiObject(handle), sizeof section, &section), int{sizeof section});
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(section.dsBmih.biHeight, -2) << "top-down";

  ImageGuard back;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(handle, HPALETTE{}, back.out()), Ok);
  EXPECT_TRUE(DeleteObject(ToGdiObject(handle)));
  EXPECT_EQ(FormatOf(back.get()), PixelFormat32bppRGB);
  EXPECT_EQ(ReadArgbPixels(back.get()), pixels) << "the copy does not depend on the handle";
}

TEST_F(BitmapHandleTest, HandleCompositesOntoTheBackground) {
  ImageGuard source(MakeBitmap(2, 1, PixelFormat32bppARGB, {0x80FF0000, 0x00123456}));
  struct Case {
    ARGB background;
    std::uint32_t expected[2];  // the DIB's 32-bit words
  };
  const Case cases[] = {
      {0xFFFFFFFF, {0xFFFF7F7F, 0xFFFFFFFF}},  // opaque: plain colours
      {0x00000000, {0x80800000, 0x00000000}},  // transparent: premultiplied ARGB
      {0x800000FF, {0xC0800040, 0x80000080}},  // half over half
  };
  for (const Case& c : cases) {
    HBITMAP handle{};
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(source.get(), &handle, c.background), Ok);
    const auto* words = reinterpret_cast<const std::uint32_t*>(BitmapPixels(handle)->bits);
    EXPECT_EQ(words[0], c.expected[0]) << std::hex << c.background;
    EXPECT_EQ(words[1], c.expected[1]) << std::hex << c.background;
    DeleteObject(ToGdiObject(handle));
  }
}

TEST_F(BitmapHandleTest, HandleFormatsMapToTheClosestPixelFormat) {
  struct Case {
    int bitCount;
    DWORD compression;
    DWORD masks[3];
    std::vector<std::uint8_t> topRow;  // first stored row is the bottom one (bottom-up)
    PixelFormat format;
    ARGB firstPixel;
  };
  const Case cases[] = {
      {16, BI_RGB, {}, {0x00, 0x7C}, PixelFormat16bppRGB555, 0xFFFF0000},
      {16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07}, PixelFormat16bppRGB565, 0xFF00FF00},
      {16, BI_BITFIELDS, {0x001F, 0x07E0, 0xF800}, {0x1F, 0x00}, PixelFormat32bppRGB, 0xFFFF0000},
      {24, BI_RGB, {}, {1, 2, 3}, PixelFormat24bppRGB, 0xFF030201},
      {32, BI_BITFIELDS, {0x0000FF, 0x00FF00, 0xFF0000}, {1, 2, 3, 0}, PixelFormat32bppRGB, 0xFF010203},
  };
  for (const Case& c : cases) {
    DibInfo info(1, 2, c.bitCount, c.compression);
    info.SetMasks(c.masks[0], c.masks[1], c.masks[2]);
    void* bits = nullptr;
    const HBITMAP handle = CreateDIBSection(HDC{}, info.get(), DIB_RGB_COLORS, &bits, 0, 0);
    ASSERT_NE(handle, HBITMAP{});
    std::memcpy(static_cast<std::uint8_t*>(bits) + 4, c.topRow.data(), c.topRow.size());  // image row 0
    ImageGuard image;
    ASSERT_EQ(GdipCreateBitmapFromHBITMAP(handle, HPALETTE{}, image.out()), Ok) << c.bitCount;
    EXPECT_EQ(FormatOf(image.get()), c.format) << c.bitCount;
    ARGB pixel = 0;
    EXPECT_EQ(GdipBitmapGetPixel(image.get(), 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel, c.firstPixel) << c.bitCount << " bits, masks " << c.masks[0];
    DeleteObject(ToGdiObject(handle));
  }
}

TEST_F(BitmapHandleTest, IndexedHandlesKeepTheirTableOrTakeThePalette) {
  DibInfo info(4, 1, 4);
  info.header.biClrUsed = 3;
  info.colors[0] = {0, 0, 0, 0};
  info.colors[1] = {0, 0, 255, 0};
  info.colors[2] = {0, 255, 0, 0};
  void* bits = nullptr;
  const HBITMAP handle = CreateDIBSection(HDC{}, info.get(), DIB_RGB_COLORS, &bits, 0, 0);
  static_cast<std::uint8_t*>(bits)[0] = 0x12;
  ImageGuard own;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(handle, HPALETTE{}, own.out()), Ok);
  EXPECT_EQ(FormatOf(own.get()), PixelFormat4bppIndexed);
  EXPECT_EQ(PaletteOf(own.get()), (std::vector<ARGB>{0xFF000000, 0xFFFF0000, 0xFF00FF00}));
  EXPECT_EQ(ReadArgbPixels(own.get())[1], 0xFF00FF00u);

  std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 3;
  logical->palPalEntry[0] = {1, 1, 1, 0};
  logical->palPalEntry[1] = {2, 2, 2, 0};
  logical->palPalEntry[2] = {3, 3, 3, 0};
  const HPALETTE palette = CreatePalette(logical);
  ImageGuard withPalette;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(handle, palette, withPalette.out()), Ok);
  EXPECT_EQ(PaletteOf(withPalette.get()), (std::vector<ARGB>{0xFF010101, 0xFF020202, 0xFF030303}));

  ImageGuard refused;
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(handle, FromGdiObject<HPALETTE>(ToGdiObject(handle)), refused.out()),
            InvalidParameter);
  DeleteObject(ToGdiObject(palette));
  DeleteObject(ToGdiObject(handle));
}

TEST_F(BitmapHandleTest, PackedOneBitDibIsAViewOfTheCallersRows) {
  // 3 x 2, bottom-up, palette (white, black); image row 0 is 1,0,1.
  DibInfo info(3, 2, 1);
  info.colors[0] = {255, 255, 255, 0};
  info.colors[1] = {0, 0, 0, 0};
  info.header.biXPelsPerMeter = info.header.biYPelsPerMeter = 3780;
  std::uint8_t rows[8] = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};
  ImageGuard image;
  ASSERT_EQ(GdipCreateBitmapFromGdiDib(info.get(), rows, image.out()), Ok);
  EXPECT_EQ(FormatOf(image.get()), PixelFormat1bppIndexed);
  EXPECT_EQ(PaletteOf(image.get()), (std::vector<ARGB>{0xFFFFFFFF, 0xFF000000}));
  EXPECT_EQ(ReadArgbPixels(image.get()),
            (std::vector<ARGB>{0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
  REAL dpi = 0;
  GdipGetImageHorizontalResolution(image.get(), &dpi);
  EXPECT_NEAR(dpi, 96.0, 0.02);
  rows[4] = 0x00;  // not copied: the bitmap sees the change
  ARGB pixel = 0;
  EXPECT_EQ(GdipBitmapGetPixel(image.get(), 0, 0, &pixel), Ok);
  EXPECT_EQ(pixel, 0xFFFFFFFFu);
}

TEST_F(BitmapHandleTest, PackedDibVariants) {
  // Top-down 5-6-5 rows are used in place.
  DibInfo masked(2, -1, 16, BI_BITFIELDS);
  masked.SetMasks(0xF800, 0x07E0, 0x001F);
  std::uint16_t words[2] = {0xF800, 0x001F};
  ImageGuard rgb565;
  ASSERT_EQ(GdipCreateBitmapFromGdiDib(masked.get(), words, rgb565.out()), Ok);
  EXPECT_EQ(FormatOf(rgb565.get()), PixelFormat16bppRGB565);
  EXPECT_EQ(ReadArgbPixels(rgb565.get()), (std::vector<ARGB>{0xFFFF0000, 0xFF0000FF}));

  // RLE8 is decoded into the bitmap's own pixels (biSizeImage bytes read).
  DibInfo rle(4, 1, 8, BI_RLE8);
  rle.header.biClrUsed = 2;
  rle.colors[1] = {0, 0, 255, 0};
  std::uint8_t encoded[] = {3, 1, 1, 0, 0, 1};
  rle.header.biSizeImage = sizeof encoded;
  ImageGuard decoded;
  ASSERT_EQ(GdipCreateBitmapFromGdiDib(rle.get(), encoded, decoded.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(decoded.get()), (std::vector<ARGB>{0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF000000}));
  encoded[1] = 0;
  EXPECT_EQ(ReadArgbPixels(decoded.get())[0], 0xFFFF0000u);

  struct Bad {
    const char* what;
    DibInfo info;
    GpStatus status;
  };
  Bad bad[] = {
      {"3 bits", DibInfo(2, 2, 3), InvalidParameter},
      {"too wide", DibInfo(70000, 1, 1), OutOfMemory},
      {"RLE without size", DibInfo(4, 1, 8, BI_RLE8), InvalidParameter},
      {"JPEG inside", DibInfo(4, 1, 24, 4), UnknownImageFormat},
  };
  bad[0].info.header.biSize = 40;
  std::uint8_t bits[64] = {};
  for (Bad& b : bad) {
    ImageGuard image;
    EXPECT_EQ(GdipCreateBitmapFromGdiDib(b.info.get(), bits, image.out()), b.status) << b.what;
    EXPECT_EQ(image.get(), nullptr) << b.what;
  }
  DibInfo core(2, 2, 8);
  core.header.biSize = 12;
  ImageGuard image;
  EXPECT_EQ(GdipCreateBitmapFromGdiDib(core.get(), bits, image.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromGdiDib(nullptr, bits, image.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromGdiDib(core.get(), nullptr, image.out()), InvalidParameter);
}

}  // namespace
}  // namespace pixavue::platform::test
