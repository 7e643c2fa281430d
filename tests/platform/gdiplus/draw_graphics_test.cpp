// Graphics objects, compositing, image attributes and thumbnails.

#include <cmath>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>

#include "draw_test_support.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

class DrawGraphicsTest : public GdiplusTest {};

constexpr ARGB kBlue = 0xFF0000FF;
constexpr ARGB kHalfRed = 0x80FF0000;

TEST_F(DrawGraphicsTest, GraphicsOnBitmapsAndItsModes) {
  for (const PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat32bppARGB,
                                   PixelFormat32bppPARGB, PixelFormat16bppRGB565, PixelFormat64bppARGB}) {
    ImageGuard bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, format, nullptr, bitmap.out()), Ok);
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(GdipGetImageGraphicsContext(bitmap.get(), &graphics), Ok) << format;
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
  }
  for (const PixelFormat format : {PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed}) {
    ImageGuard bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, format, nullptr, bitmap.out()), Ok);
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(GdipGetImageGraphicsContext(bitmap.get(), &graphics), OutOfMemory) << format;
    EXPECT_EQ(graphics, nullptr);
  }

  DrawTarget target(2, 2, PixelFormat32bppARGB, 0);
  GpGraphics* g = target.graphics();
  EXPECT_EQ(GdipSetSmoothingMode(g, SmoothingModeNone), Ok);
  EXPECT_EQ(GdipSetCompositingQuality(g, CompositingQualityHighSpeed), Ok);
  target.Modes(InterpolationModeHighQualityBicubic, PixelOffsetModeHalf);
  SmoothingMode smoothing{};
  PixelOffsetMode offset{};
  CompositingQuality compositing{};
  InterpolationMode interpolation{};
  EXPECT_EQ(GdipGetSmoothingMode(g, &smoothing), Ok);
  EXPECT_EQ(GdipGetPixelOffsetMode(g, &offset), Ok);
  EXPECT_EQ(GdipGetCompositingQuality(g, &compositing), Ok);
  EXPECT_EQ(GdipGetInterpolationMode(g, &interpolation), Ok);
  EXPECT_EQ(smoothing, SmoothingModeNone);
  EXPECT_EQ(offset, PixelOffsetModeHalf);
  EXPECT_EQ(compositing, CompositingQualityHighSpeed);
  EXPECT_EQ(interpolation, InterpolationModeHighQualityBicubic);
  EXPECT_EQ(GdipSetSmoothingMode(g, SmoothingModeInvalid), InvalidParameter);
  EXPECT_EQ(GdipSetPixelOffsetMode(g, static_cast<PixelOffsetMode>(5)), InvalidParameter);
  EXPECT_EQ(GdipSetCompositingQuality(g, CompositingQualityInvalid), InvalidParameter);
  EXPECT_EQ(GdipSetInterpolationMode(g, static_cast<InterpolationMode>(8)), InvalidParameter);
  EXPECT_EQ(GdipGetInterpolationMode(g, nullptr), InvalidParameter);

  GpGraphics* deleted = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(target.bitmap(), &deleted), Ok);
  ASSERT_EQ(GdipDeleteGraphics(deleted), Ok);
  EXPECT_EQ(GdipDeleteGraphics(deleted), InvalidParameter);
  EXPECT_EQ(GdipGraphicsClear(deleted, 0), InvalidParameter);
}

// Half-transparent red over opaque blue, in each fast-pathed target format
// and one that goes through straight colours.
TEST_F(DrawGraphicsTest, SourceOverOntoAnOpaqueBackground) {
  std::vector<ARGB> source(16, kHalfRed);
  source[0] = 0;  // fully transparent: the background stays
  ImageGuard image(MakeBitmap(4, 4, PixelFormat32bppARGB, source));
  for (const PixelFormat format :
       {PixelFormat32bppARGB, PixelFormat32bppPARGB, PixelFormat32bppRGB, PixelFormat24bppRGB, PixelFormat48bppRGB}) {
    DrawTarget target(4, 4, format, kBlue);
    ASSERT_EQ(GdipDrawImageRectI(target.graphics(), image.get(), 0, 0, 4, 4), Ok);
    const std::vector<ARGB> out = target.pixels();
    EXPECT_EQ(out[0], kBlue) << format;
    EXPECT_TRUE(Near(out[5], 0xFF80007F, 1)) << format << std::hex << " " << out[5];
  }
  // Onto a transparent target the colour and alpha stay.
  DrawTarget clear(4, 4, PixelFormat32bppARGB, 0);
  ASSERT_EQ(GdipDrawImageRectI(clear.graphics(), image.get(), 0, 0, 4, 4), Ok);
  EXPECT_TRUE(Near(clear.pixels()[5], kHalfRed, 1));
}

TEST_F(DrawGraphicsTest, AnImageDrawnOntoItselfReadsItsOriginalPixels) {
  const std::vector<ARGB> column = {0xFFFF0000, 0xFF00FF00, kBlue};
  ImageGuard image(MakeBitmap(1, 3, PixelFormat32bppARGB, column));
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(image.get(), &graphics), Ok);
  ASSERT_EQ(GdipDrawImageRectRectI(graphics, image.get(), 0, 1, 1, 2, 0, 0, 1, 2, UnitPixel, nullptr, nullptr, nullptr),
            Ok);
  EXPECT_EQ(ReadArgbPixels(image.get()), (std::vector<ARGB>{column[0], column[0], column[1]}));
  EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
}

TEST_F(DrawGraphicsTest, ClearWritesTheColourInTheTargetFormat) {
  DrawTarget premultiplied(3, 2, PixelFormat32bppPARGB, kHalfRed);
  for (const ARGB p : premultiplied.pixels()) EXPECT_TRUE(Near(p, kHalfRed, 1));
  DrawTarget rgb(3, 2, PixelFormat24bppRGB, 0xFF123456);
  for (const ARGB p : rgb.pixels()) EXPECT_EQ(p, 0xFF123456u);
}

struct AttributesGuard {
  AttributesGuard() { EXPECT_EQ(GdipCreateImageAttributes(&attributes), Ok); }
  ~AttributesGuard() { GdipDisposeImageAttributes(attributes); }
  GpImageAttributes* attributes = nullptr;
};

GpStatus DrawWith(const DrawTarget& target, GpImage* image, const GpImageAttributes* attributes) {
  return GdipDrawImageRectRectI(target.graphics(), image, 0, 0, 2, 1, 0, 0, 2, 1, UnitPixel, attributes, nullptr,
                                nullptr);
}

TEST_F(DrawGraphicsTest, ImageAttributesGammaRemapAndColourKeys) {
  ImageGuard image(MakeBitmap(2, 1, PixelFormat32bppARGB, {0xFF808080, 0xFFFFFFFF}));
  struct Case {
    const char* what;
    void (*set)(GpImageAttributes*);
    ARGB first;
    ARGB second;
  };
  const Case cases[] = {
      {"gamma 2 darkens mid grey",
       [](GpImageAttributes* a) { EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 1, 2.0f), Ok); },
       0xFF404040, 0xFFFFFFFF},
      {"white remapped to transparent",
       [](GpImageAttributes* a) {
         const ColorMap map{0xFFFFFFFF, 0x00000000};
         EXPECT_EQ(GdipSetImageAttributesRemapTable(a, ColorAdjustTypeDefault, 1, 1, &map), Ok);
       },
       0xFF808080, kBlue},
      {"bitmap category replaces the default one",
       [](GpImageAttributes* a) {
         EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 1, 2.0f), Ok);
         const ColorMap map{0xFF808080, 0xFF00FF00};
         EXPECT_EQ(GdipSetImageAttributesRemapTable(a, ColorAdjustTypeBitmap, 1, 1, &map), Ok);
       },
       0xFF00FF00, 0xFFFFFFFF},
      {"colour key range",
       [](GpImageAttributes* a) {
         EXPECT_EQ(GdipSetImageAttributesColorKeys(a, ColorAdjustTypeBitmap, 1, 0xFF707070, 0xFF909090), Ok);
       },
       kBlue, 0xFFFFFFFF},
      {"disabled again",
       [](GpImageAttributes* a) {
         EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 1, 2.0f), Ok);
         EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 0, 0.0f), Ok);
       },
       0xFF808080, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    AttributesGuard guard;
    c.set(guard.attributes);
    DrawTarget target(2, 1, PixelFormat32bppARGB, kBlue);
    ASSERT_EQ(DrawWith(target, image.get(), guard.attributes), Ok) << c.what;
    const std::vector<ARGB> out = target.pixels();
    EXPECT_TRUE(Near(out[0], c.first, 1)) << c.what << std::hex << " " << out[0];
    EXPECT_TRUE(Near(out[1], c.second, 1)) << c.what << std::hex << " " << out[1];
  }

  AttributesGuard guard;
  GpImageAttributes* a = guard.attributes;
  EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeCount, 1, 2.0f), InvalidParameter);
  EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 1, -1.0f), InvalidParameter);
  EXPECT_EQ(GdipSetImageAttributesGamma(a, ColorAdjustTypeDefault, 1, NAN), InvalidParameter);
  EXPECT_EQ(GdipSetImageAttributesRemapTable(a, ColorAdjustTypeDefault, 1, 0, nullptr), InvalidParameter);
  GpImageAttributes* disposed = nullptr;
  ASSERT_EQ(GdipCreateImageAttributes(&disposed), Ok);
  ASSERT_EQ(GdipDisposeImageAttributes(disposed), Ok);
  EXPECT_EQ(GdipDisposeImageAttributes(disposed), InvalidParameter);
  DrawTarget target(2, 1, PixelFormat32bppARGB, 0);
  EXPECT_EQ(DrawWith(target, image.get(), disposed), InvalidParameter);
}

TEST_F(DrawGraphicsTest, RefusedDrawsAndAbort) {
  ImageGuard image(MakeBitmap(2, 2, PixelFormat32bppARGB, std::vector<ARGB>(4, kBlue)));
  DrawTarget target(4, 4, PixelFormat32bppARGB, 0);
  GpGraphics* g = target.graphics();
  EXPECT_EQ(GdipDrawImageRectRect(g, image.get(), NAN, 0, 4, 4, 0, 0, 2, 2, UnitPixel, nullptr, nullptr, nullptr),
            InvalidParameter);
  EXPECT_EQ(GdipDrawImageRectRectI(g, image.get(), 0, 0, 4, 4, 0, 0, 2, 2, UnitInch, nullptr, nullptr, nullptr),
            NotImplemented);
  EXPECT_EQ(GdipDrawImageRectI(nullptr, image.get(), 0, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(GdipDrawImageRectI(g, nullptr, 0, 0, 4, 4), InvalidParameter);
  // Entirely outside the target or the image: nothing to do.
  EXPECT_EQ(GdipDrawImageRectI(g, image.get(), 10, 10, 4, 4), Ok);
  EXPECT_EQ(GdipDrawImageRectRectI(g, image.get(), 0, 0, 4, 4, 5, 5, 2, 2, UnitPixel, nullptr, nullptr, nullptr), Ok);
  EXPECT_EQ(target.pixels(), std::vector<ARGB>(16, 0));
  const DrawImageAbort stop = [](void*) -> BOOL { return 1; };
  EXPECT_EQ(GdipDrawImageRectRectI(g, image.get(), 0, 0, 4, 4, 0, 0, 2, 2, UnitPixel, nullptr, stop, nullptr), Aborted);
  // At the physical size: a 192-dpi image covers half as many pixels.
  ASSERT_EQ(GdipBitmapSetResolution(image.get(), 192, 192), Ok);
  ASSERT_EQ(GdipDrawImageI(g, image.get(), 0, 0), Ok);
  const std::vector<ARGB> out = target.pixels();
  EXPECT_EQ(out[0], kBlue);
  EXPECT_EQ(out[1], 0u);
}

TEST_F(DrawGraphicsTest, DeviceContextsDrawIntoTheirSelectedBitmap) {
  const HDC screen = GetDC(kNoWindow);
  GpGraphics* onScreen = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(screen, &onScreen), Ok);
  ImageGuard image(MakeBitmap(2, 2, PixelFormat32bppARGB, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
  EXPECT_EQ(GdipGraphicsClear(onScreen, kBlue), Ok);
  EXPECT_EQ(GdipDrawImageRectI(onScreen, image.get(), 0, 0, 2, 2), Ok);
  EXPECT_EQ(GdipDeleteGraphics(onScreen), Ok);

  // A bottom-up 24-bit DIB section in a memory context.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  const HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, 0, 0);
  ASSERT_NE(dib, HBITMAP{});
  const HDC memory = CreateCompatibleDC(screen);
  const HGDIOBJ previous = SelectObject(memory, ToGdiObject(dib));
  GpGraphics* graphics = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(memory, &graphics), Ok);
  EXPECT_EQ(GdipGraphicsClear(graphics, 0xFF000000), Ok);
  ASSERT_EQ(GdipDrawImageRectI(graphics, image.get(), 0, 0, 2, 2), Ok);
  EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
  // Row 0 of the image is the last row in memory (stride 8 bytes).
  const auto* bytes = static_cast<const std::uint8_t*>(bits);
  EXPECT_EQ((std::vector<int>(bytes, bytes + 6)), (std::vector<int>{0xFF, 0, 0, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ((std::vector<int>(bytes + 8, bytes + 14)), (std::vector<int>{0, 0, 0xFF, 0, 0xFF, 0}));

  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(ToGdiObject(dib));
  ReleaseDC(kNoWindow, screen);
  GpGraphics* stale = nullptr;
  EXPECT_EQ(GdipCreateFromHDC(memory, &stale), InvalidParameter);
}

TEST_F(DrawGraphicsTest, ThumbnailIsAPremultipliedBitmapOfTheAskedSize) {
  ImageGuard image(MakeBitmap(300, 200, PixelFormat24bppRGB, std::vector<ARGB>(60000, 0xFF336699)));
  ImageGuard thumbnail;
  ASSERT_EQ(GdipGetImageThumbnail(image.get(), 0, 0, thumbnail.out(), nullptr, nullptr), Ok);
  UINT32 width = 0;
  UINT32 height = 0;
  PixelFormat format = 0;
  GdipGetImageWidth(thumbnail.get(), &width);
  GdipGetImageHeight(thumbnail.get(), &height);
  GdipGetImagePixelFormat(thumbnail.get(), &format);
  EXPECT_EQ(width, 120u);
  EXPECT_EQ(height, 120u);
  EXPECT_EQ(format, PixelFormat32bppPARGB);
  for (const ARGB p : ReadArgbPixels(thumbnail.get())) ASSERT_EQ(p, 0xFF336699u);
  ImageGuard small;
  ASSERT_EQ(GdipGetImageThumbnail(image.get(), 30, 20, small.out(), nullptr, nullptr), Ok);
  GdipGetImageWidth(small.get(), &width);
  EXPECT_EQ(width, 30u);
  GpImage* none = nullptr;
  EXPECT_EQ(GdipGetImageThumbnail(image.get(), 70000, 10, &none, nullptr, nullptr), OutOfMemory);
}

TEST_F(DrawGraphicsTest, MetafilesArePlayedAtTheDrawnSize) {
  EmfFile emf(100, 100);
  emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(255, 0, 0), 0)));
  emf.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 50, 50}));
  WriteFile(temp_dir() / "square.emf", emf.Finish());
  ImageGuard metafile(LoadImage(temp_dir() / "square.emf"));
  UINT32 width = 0;
  UINT32 height = 0;
  ASSERT_EQ(GdipGetImageWidth(metafile.get(), &width), Ok);
  ASSERT_EQ(GdipGetImageHeight(metafile.get(), &height), Ok);
  constexpr ARGB kRed = 0xFFFF0000;

  // The red square is the top left quarter of the frame.
  DrawTarget whole(40, 40, PixelFormat32bppARGB, 0);
  ASSERT_EQ(GdipDrawImageRectI(whole.graphics(), metafile.get(), 0, 0, 40, 40), Ok);
  std::vector<ARGB> out = whole.pixels();
  EXPECT_EQ(out[10 * 40 + 10], kRed);
  EXPECT_EQ(out[10 * 40 + 30], 0u);
  EXPECT_EQ(out[30 * 40 + 30], 0u);

  // That quarter alone, enlarged.
  DrawTarget quarter(40, 40, PixelFormat32bppARGB, 0);
  ASSERT_EQ(GdipDrawImageRectRectI(quarter.graphics(), metafile.get(), 0, 0, 40, 40, 0, 0, static_cast<INT>(width / 2),
                                   static_cast<INT>(height / 2), UnitPixel, nullptr, nullptr, nullptr),
            Ok);
  out = quarter.pixels();
  EXPECT_EQ(out[5 * 40 + 5], kRed);
  EXPECT_EQ(out[35 * 40 + 35], kRed);

  ImageGuard thumbnail;
  ASSERT_EQ(GdipGetImageThumbnail(metafile.get(), 20, 20, thumbnail.out(), nullptr, nullptr), Ok);
  out = ReadArgbPixels(thumbnail.get());
  EXPECT_EQ(out[5 * 20 + 5], kRed);
  EXPECT_EQ(out[15 * 20 + 15], 0u);
}

}  // namespace
}  // namespace pixavue::platform::test
