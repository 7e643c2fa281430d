// Bitmaps to and from icon handles, and handles that are refused.

#include <cstring>

#include "handles_test_support.h"

namespace pixavue::platform::test {
namespace {

using IconHandleTest = HandlesTest;

// An icon of a 2 x 2 colour bitmap of `bitCount` bits and a mask; the
// pixels are top-down 32-bit words, narrowed by SetDIBits.
HICON MakeIcon(int bitCount, const std::vector<std::uint32_t>& colours, std::uint8_t maskTopRow,
               std::uint8_t maskBottomRow) {
  const std::uint8_t maskBits[4] = {maskTopRow, 0, maskBottomRow, 0};
  ICONINFO info;
  info.hbmMask = CreateBitmap(2, 2, 1, 1, maskBits);
  info.hbmColor = CreateBitmap(2, 2, 1, static_cast<UINT>(bitCount), nullptr);
  DibInfo source(2, -2, 32);
  const HDC screen = GetDC(kNoWindow);
  SetDIBits(screen, info.hbmColor, 0, 2, colours.data(), source.get(), DIB_RGB_COLORS);
  ReleaseDC(kNoWindow, screen);
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(ToGdiObject(info.hbmMask));
  DeleteObject(ToGdiObject(info.hbmColor));
  return icon;
}

TEST_F(IconHandleTest, ColourIconsTakeTheMaskOrTheirOwnAlpha) {
  const std::vector<std::uint32_t> colours = {0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x00FFFFFF};
  struct Case {
    int bitCount;
    std::vector<ARGB> expected;
  };
  // Mask: top-right and bottom-left are transparent.
  const Case cases[] = {
      {24, {0xFFFF0000, 0x00000000, 0x00000000, 0xFFFFFFFF}},
      {32, {0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x00FFFFFF}},  // alpha present: the mask is not used
  };
  for (const Case& c : cases) {
    const HICON icon = MakeIcon(c.bitCount, colours, 0x40, 0x80);
    ASSERT_NE(icon, HICON{});
    ImageGuard image;
    ASSERT_EQ(GdipCreateBitmapFromHICON(icon, image.out()), Ok);
    EXPECT_EQ(FormatOf(image.get()), PixelFormat32bppARGB);
    EXPECT_EQ(ReadArgbPixels(image.get()), c.expected) << c.bitCount;
    DestroyIcon(icon);
  }
}

TEST_F(IconHandleTest, MonochromeIconsReadTheDoubleHeightMask) {
  // 2 x 2: AND rows 0x40, 0x00, then XOR rows 0xC0, 0x40.
  const std::uint8_t maskBits[8] = {0x40, 0, 0x00, 0, 0xC0, 0, 0x40, 0};
  ICONINFO info;
  info.hbmMask = CreateBitmap(2, 4, 1, 1, maskBits);
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(ToGdiObject(info.hbmMask));
  ImageGuard image;
  ASSERT_EQ(GdipCreateBitmapFromHICON(icon, image.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(image.get()), (std::vector<ARGB>{0xFFFFFFFF, 0x00000000, 0xFF000000, 0xFFFFFFFF}));
  DestroyIcon(icon);
}

TEST_F(IconHandleTest, BitmapToIconAndBack) {
  const std::vector<ARGB> pixels = {0xFF102030, 0x00000000, 0x80FFFFFF, 0xFF0000FF};
  ImageGuard source(MakeBitmap(2, 2, PixelFormat32bppARGB, pixels));
  HICON icon{};
  ASSERT_EQ(GdipCreateHICONFromBitmap(source.get(), &icon), Ok);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(icon, &info));
  DibInfo maskInfo(2, -2, 1);
  std::uint8_t mask[8] = {};
  const HDC screen = GetDC(kNoWindow);
  EXPECT_EQ(GetDIBits(screen, info.hbmMask, 0, 2, mask, maskInfo.get(), DIB_RGB_COLORS), 2);
  ReleaseDC(kNoWindow, screen);
  EXPECT_EQ(mask[0], 0x40) << "transparent pixels are set in the mask";
  EXPECT_EQ(mask[4], 0x00);
  DeleteObject(ToGdiObject(info.hbmMask));
  DeleteObject(ToGdiObject(info.hbmColor));

  ImageGuard back;
  ASSERT_EQ(GdipCreateBitmapFromHICON(icon, back.out()), Ok);
  EXPECT_EQ(ReadArgbPixels(back.get()), pixels);
  DestroyIcon(icon);
}

TEST_F(IconHandleTest, BadAndStaleHandlesAreRefused) {
  const HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  const HICON icon = MakeIcon(24, {0, 0, 0, 0}, 0, 0);
  ImageGuard image;
  // Each kind of handle is refused by the other's function.
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(FromGdiObject<HBITMAP>(ToGdiObject(icon)), HPALETTE{}, image.out()),
            InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromHICON(FromGdiObject<HICON>(ToGdiObject(bitmap)), image.out()), InvalidParameter);
  DeleteObject(ToGdiObject(bitmap));
  DestroyIcon(icon);
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(bitmap, HPALETTE{}, image.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromHICON(icon, image.out()), InvalidParameter);
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(HBITMAP{}, HPALETTE{}, image.out()), InvalidParameter);
  EXPECT_EQ(image.get(), nullptr);
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(bitmap, HPALETTE{}, nullptr), InvalidParameter);

  HBITMAP handle{};
  HICON iconOut{};
  EXPECT_EQ(GdipCreateHBITMAPFromBitmap(nullptr, &handle, 0), InvalidParameter);
  GpImage* disposed = MakeBitmap(1, 1, PixelFormat32bppARGB, {0});
  GdipDisposeImage(disposed);
  EXPECT_EQ(GdipCreateHBITMAPFromBitmap(disposed, &handle, 0), InvalidParameter);
  EXPECT_EQ(GdipCreateHICONFromBitmap(disposed, &iconOut), InvalidParameter);
  ImageGuard live(MakeBitmap(1, 1, PixelFormat32bppARGB, {0}));
  EXPECT_EQ(GdipCreateHBITMAPFromBitmap(live.get(), nullptr, 0), InvalidParameter);
  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(live.get(), nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(GdipCreateHBITMAPFromBitmap(live.get(), &handle, 0), WrongState);
  GdipBitmapUnlockBits(live.get(), &data);
  EXPECT_EQ(handle, HBITMAP{});
  EXPECT_EQ(iconOut, HICON{});
}

TEST(HandlesWithoutSession, AreRefused) {
  const HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, nullptr);
  GpBitmap* image = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromHBITMAP(bitmap, HPALETTE{}, &image), GdiplusNotInitialized);
  std::uint32_t pixel = 0;
  DibInfo info(1, 1, 32);
  EXPECT_EQ(GdipCreateBitmapFromGdiDib(info.get(), &pixel, &image), GdiplusNotInitialized);
  EXPECT_EQ(image, nullptr);
  DeleteObject(ToGdiObject(bitmap));
}

}  // namespace
}  // namespace pixavue::platform::test
