// Bitmaps, DIB sections, row transfers and memory contexts.

#include <cstring>

#include "gdi_test_support.h"

namespace pixavue::platform::testing {
namespace {

using BitmapTest = GdiTest;

TEST_F(BitmapTest, CreateBitmapReadsWordAlignedTopDownRows) {
  struct Case {
    UINT bitCount;
    std::vector<std::uint8_t> bits;  // 3 x 2 pixels, rows padded to 2 bytes
    std::vector<std::uint32_t> expected;
  };
  const Case cases[] = {
      {1, {0xA0, 0, 0x40, 0}, {0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0}},
      {16, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0, 0xFF, 0x7F, 0, 0, 0, 0},
       {0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF, 0}},
      {24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0},
       {0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D, 0x121110}},
  };
  for (const Case& c : cases) {
    const HBITMAP bitmap = CreateBitmap(3, 2, 1, c.bitCount, c.bits.data());
    ASSERT_NE(bitmap, HBITMAP{}) << c.bitCount;
    EXPECT_EQ(ReadRgb(bitmap, 3, 2), c.expected) << c.bitCount;
    BITMAP description;
    ASSERT_EQ(GetObject(ToGdiObject(bitmap), sizeof description, &description), int{sizeof description});
    EXPECT_EQ(description.bmWidthBytes % 2, 0);
    const void* pixels = description.bmBits;  // a packed field: copied before comparing
    EXPECT_EQ(pixels, nullptr);
    EXPECT_TRUE(DeleteObject(ToGdiObject(bitmap)));
  }
}

TEST_F(BitmapTest, DibSectionKeepsTheCallersRowOrderAndMasks) {
  DibInfo info(2, 2, 16, BI_BITFIELDS);
  const DWORD masks565[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(info.masks(), masks565, sizeof masks565);
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(HDC{}, info.get(), DIB_RGB_COLORS, &bits, 0, 0);
  ASSERT_NE(bitmap, HBITMAP{});
  auto* rows = static_cast<std::uint16_t*>(bits);
  rows[0] = 0xF800;  // bottom row, left: red
  rows[2] = 0x07E0;  // top row (second stored row, stride 4): green
  EXPECT_EQ(ReadRgb(bitmap, 2, 2), (std::vector<std::uint32_t>{0x00FF00, 0, 0xFF0000, 0}));

  DIBSECTION section;
  ASSERT_EQ(GetObject(ToGdiObject(bitmap), sizeof section, &section), int{sizeof section});
  const void* sectionBits = section.dsBm.bmBits;  // a packed field: copied before comparing
  EXPECT_EQ(sectionBits, bits);
  EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
  EXPECT_EQ(section.dsBmih.biHeight, 2);
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  ASSERT_TRUE(pixels);
  EXPECT_TRUE(pixels->bottomUp);
  EXPECT_EQ(pixels->stride, 4);
  EXPECT_EQ(pixels->bits, bits);
  EXPECT_TRUE(DeleteObject(ToGdiObject(bitmap)));
}

TEST_F(BitmapTest, BadDibHeadersAreRefusedBeforeAllocating) {
  struct Case {
    const char* what;
    int width, height, bitCount;
    DWORD compression;
    DWORD masks[3];
    UINT usage;
  };
  const Case cases[] = {
      {"3 bits", 4, 4, 3, BI_RGB, {}, DIB_RGB_COLORS},
      {"zero width", 0, 4, 8, BI_RGB, {}, DIB_RGB_COLORS},
      {"wider than 65535", 65536, 1, 1, BI_RGB, {}, DIB_RGB_COLORS},
      {"over 2^28 pixels", 65535, -8000, 1, BI_RGB, {}, DIB_RGB_COLORS},
      {"RLE8", 4, 4, 8, BI_RLE8, {}, DIB_RGB_COLORS},
      {"bitfields on 24 bits", 4, 4, 24, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}, DIB_RGB_COLORS},
      {"gap in a mask", 4, 4, 16, BI_BITFIELDS, {0xD800, 0x07E0, 0x001F}, DIB_RGB_COLORS},
      {"overlapping masks", 4, 4, 32, BI_BITFIELDS, {0xFF0000, 0xFFFF00, 0xFF}, DIB_RGB_COLORS},
      {"mask past 16 bits", 4, 4, 16, BI_BITFIELDS, {0x1F0000, 0x07E0, 0x1F}, DIB_RGB_COLORS},
      {"palette indices", 4, 4, 8, BI_RGB, {}, DIB_PAL_COLORS},
  };
  for (const Case& c : cases) {
    DibInfo info(c.width, c.height, c.bitCount, c.compression);
    std::memcpy(info.masks(), c.masks, sizeof c.masks);
    void* bits = &info;
    EXPECT_EQ(CreateDIBSection(HDC{}, info.get(), c.usage, &bits, 0, 0), HBITMAP{}) << c.what;
    EXPECT_EQ(bits, nullptr) << c.what;
  }
  EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), HBITMAP{});
  EXPECT_EQ(CreateBitmap(-1, 4, 1, 1, nullptr), HBITMAP{});
  EXPECT_EQ(CreateDIBSection(HDC{}, nullptr, DIB_RGB_COLORS, nullptr, 0, 0), HBITMAP{});
}

TEST_F(BitmapTest, SetAndGetDIBitsConvertBetweenFormats) {
  DibInfo indexed(4, 1, 8);
  indexed.header.biClrUsed = 3;
  indexed.colors[0] = {0, 0, 0, 0};
  indexed.colors[1] = {0, 0, 255, 0};  // red
  indexed.colors[2] = {255, 255, 255, 0};
  const HBITMAP target = CreateDIBSection(HDC{}, indexed.get(), DIB_RGB_COLORS, nullptr, 0, 0);
  const HBITMAP rgb = CreateBitmap(4, 1, 1, 32, nullptr);
  const HDC screen = GetDC(kNoWindow);

  // 24-bit colours go to the nearest entry of the colour table.
  const std::uint8_t source[12] = {0, 0, 250, 10, 10, 10, 240, 240, 240, 0, 0, 0};
  DibInfo info24(4, 1, 24);
  EXPECT_EQ(SetDIBits(screen, target, 0, 1, source, info24.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(ReadRgb(target, 4, 1), (std::vector<std::uint32_t>{0xFF0000, 0, 0xFFFFFF, 0}));

  // Indexed rows come out only at the bitmap's own depth, with its table.
  DibInfo out(4, 1, 8);
  std::uint8_t indices[4] = {};
  EXPECT_EQ(GetDIBits(screen, target, 0, 1, indices, out.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(indices[0], 1);
  EXPECT_EQ(indices[2], 2);
  EXPECT_EQ(out.header.biClrUsed, 3u);
  EXPECT_EQ(out.colors[1].rgbRed, 255);
  DibInfo out4(4, 1, 4);
  EXPECT_EQ(GetDIBits(screen, target, 0, 1, indices, out4.get(), DIB_RGB_COLORS), 0);

  // 5-6-5 in and out of a 32-bit bitmap, exact at the extremes.
  DibInfo info565(4, 1, 16, BI_BITFIELDS);
  const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(info565.masks(), masks, sizeof masks);
  const std::uint16_t words[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  EXPECT_EQ(SetDIBits(screen, rgb, 0, 1, words, info565.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(ReadRgb(rgb, 4, 1), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
  std::uint16_t back[4] = {};
  EXPECT_EQ(GetDIBits(screen, rgb, 0, 1, back, info565.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(std::memcmp(back, words, sizeof words), 0);

  // Bad arguments: width mismatch, no context, start past the end.
  DibInfo narrow(3, 1, 24);
  EXPECT_EQ(SetDIBits(screen, rgb, 0, 1, source, narrow.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBits(HDC{}, rgb, 0, 1, source, info24.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBits(screen, rgb, 1, 1, source, info24.get(), DIB_RGB_COLORS), 0);

  ReleaseDC(kNoWindow, screen);
  DeleteObject(ToGdiObject(target));
  DeleteObject(ToGdiObject(rgb));
}

TEST_F(BitmapTest, PartialScanRangesCountFromTheBottomOfABottomUpDib) {
  const std::uint32_t top[2] = {0x111111, 0x111111};
  const std::uint32_t rows[3][2] = {{1, 1}, {2, 2}, {3, 3}};  // image rows 0..2
  const HBITMAP bitmap = CreateBitmap(2, 3, 1, 32, rows);
  const HDC screen = GetDC(kNoWindow);
  DibInfo bottomUp(2, 3, 32);
  std::uint32_t got[2] = {};
  EXPECT_EQ(GetDIBits(screen, bitmap, 0, 1, got, bottomUp.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(got[0], 3u);  // scan 0 is the bottom row
  EXPECT_EQ(GetDIBits(screen, bitmap, 2, 5, got, bottomUp.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(got[0], 1u);
  EXPECT_EQ(SetDIBits(screen, bitmap, 2, 1, top, bottomUp.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(ReadRgb(bitmap, 2, 3)[0], 0x111111u);

  DibInfo query(0, 0, 0);
  EXPECT_EQ(GetDIBits(screen, bitmap, 0, 0, nullptr, query.get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(query.header.biWidth, 2);
  EXPECT_EQ(query.header.biBitCount, 32);
  ReleaseDC(kNoWindow, screen);
  DeleteObject(ToGdiObject(bitmap));
}

TEST_F(BitmapTest, MemoryContextsSelectOneBitmapAtATime) {
  const HDC first = CreateCompatibleDC(HDC{});
  const HDC second = CreateCompatibleDC(first);
  const HBITMAP stock = SelectedBitmap(first);
  EXPECT_EQ(GetDeviceCaps(first, BITSPIXEL), 1);
  const HBITMAP mono = CreateCompatibleBitmap(first, 8, 8);
  EXPECT_EQ(BitmapPixels(mono)->bitsPerPixel, 1);

  const HBITMAP colour = CreateCompatibleBitmap(first, 5, 7);
  EXPECT_EQ(SelectObject(first, ToGdiObject(colour)), ToGdiObject(stock));
  // colour came from a monochrome context, so it is 1 bit as well.
  EXPECT_EQ(GetDeviceCaps(first, BITSPIXEL), 1);
  EXPECT_EQ(GetDeviceCaps(first, HORZRES), 5);
  EXPECT_EQ(GetDeviceCaps(first, VERTRES), 7);
  EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), ToGdiObject(colour));
  EXPECT_EQ(SelectObject(second, ToGdiObject(colour)), HGDIOBJ{}) << "already in another context";
  EXPECT_FALSE(DeleteObject(ToGdiObject(colour))) << "selected bitmaps stay";
  EXPECT_NE(SelectObject(second, ToGdiObject(stock)), HGDIOBJ{}) << "the stock bitmap goes anywhere";
  EXPECT_FALSE(DeleteObject(ToGdiObject(stock)));

  EXPECT_EQ(SelectObject(first, ToGdiObject(stock)), ToGdiObject(colour));
  EXPECT_TRUE(DeleteObject(ToGdiObject(colour)));
  EXPECT_EQ(GetObjectType(ToGdiObject(first)), OBJ_MEMDC);
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_TRUE(DeleteDC(second));
  EXPECT_FALSE(DeleteDC(second));
  EXPECT_TRUE(DeleteObject(ToGdiObject(mono)));
}

TEST_F(BitmapTest, ScreenContextIs32BitsWithoutPixels) {
  const HDC screen = GetDC(kNoWindow);
  ASSERT_NE(screen, HDC{});
  EXPECT_EQ(GetObjectType(ToGdiObject(screen)), OBJ_DC);
  EXPECT_EQ(SelectedBitmap(screen), HBITMAP{});
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 3);
  EXPECT_EQ(BitmapPixels(bitmap)->bitsPerPixel, 32);
  EXPECT_EQ(SelectObject(screen, ToGdiObject(bitmap)), HGDIOBJ{}) << "only memory contexts take bitmaps";
  EXPECT_FALSE(DeleteDC(screen)) << "GetDC contexts are released, not deleted";
  EXPECT_EQ(ReleaseDC(kNoWindow, screen), 1);
  EXPECT_EQ(ReleaseDC(kNoWindow, screen), 0);
  DeleteObject(ToGdiObject(bitmap));
}

}  // namespace
}  // namespace pixavue::platform::testing
