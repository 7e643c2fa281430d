// The picture loader and saver: each file format gives the right kind of
// picture, size and pixels, and each kind saves to a file that loads back
// the same; failures are reported as the documented errors.

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/picture_io.h>
#include <pixavue/platform/ole/com_ptr.h>

#include "gdiplus_test_support.h"
#include "metafile_render.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

const std::vector<ARGB> kPixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF808080};

struct PictureInfo {
  SHORT type = 0;
  OLE_HANDLE handle = 0;
  LONG width = 0, height = 0;
};

PictureInfo Describe(IPicture& picture) {
  PictureInfo info;
  EXPECT_EQ(picture.get_Type(&info.type), S_OK);
  EXPECT_EQ(picture.get_Handle(&info.handle), S_OK);
  EXPECT_EQ(picture.get_Width(&info.width), S_OK);
  EXPECT_EQ(picture.get_Height(&info.height), S_OK);
  return info;
}

// A 3 x 2 icon: the pixels above with the middle of the top row fully
// transparent and the last pixel half transparent.
HICON MakeIcon(bool isIcon) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  ICONINFO parts;
  parts.fIcon = isIcon ? 1 : 0;
  parts.xHotspot = 2;
  parts.yHotspot = 1;
  parts.hbmColor = CreateDIBSection(HDC{}, &info, DIB_RGB_COLORS, &bits, 0, 0);
  std::vector<ARGB> argb = kPixels;
  argb[1] = 0;
  argb[5] = 0x80808080;
  std::memcpy(bits, argb.data(), argb.size() * sizeof(ARGB));
  const std::uint16_t mask[2] = {0x40, 0};  // 1 bit a pixel, rows of 2 bytes
  parts.hbmMask = CreateBitmap(3, 2, 1, 1, mask);
  const HICON icon = CreateIconIndirect(&parts);
  DeleteObject(ToGdiObject(parts.hbmColor));
  DeleteObject(ToGdiObject(parts.hbmMask));
  return icon;
}

// A placeable WMF of 1440 x 720 units at 1440 an inch, with no drawing
// but its window.
std::vector<std::uint8_t> PlaceableWmf() {
  WmfRecords records;
  records.Add(U_WMRSETWINDOWORG_set(point16_set(0, 0))).Add(U_WMRSETWINDOWEXT_set(point16_set(1440, 720)));
  return Placeable(0, 0, 1440, 720, 1440, Wmf(records.Finish()));
}

// The METAHEADER's size in words, of a handle's bytes.
std::uint32_t DeclaredWords(const std::vector<std::uint8_t>& metafile) {
  std::uint32_t words = 0;
  std::memcpy(&words, metafile.data() + 6, 4);
  return words;
}

std::vector<std::uint8_t> HandleBytes(OLE_HANDLE handle) {
  std::vector<std::uint8_t> bytes(GetMetaFileBitsEx(HMETAFILE{handle}, 0, nullptr));
  if (!bytes.empty()) {
    EXPECT_EQ(GetMetaFileBitsEx(HMETAFILE{handle}, static_cast<UINT>(bytes.size()), bytes.data()), bytes.size());
  }
  return bytes;
}

std::vector<std::uint8_t> Emf() {
  ENHMETAHEADER header;
  header.nSize = sizeof(ENHMETAHEADER);
  header.rclBounds = {0, 0, 99, 49};
  header.rclFrame = {0, 0, 2645, 1322};
  header.nBytes = sizeof(ENHMETAHEADER) + 20;
  header.nRecords = 2;
  header.nHandles = 1;
  header.szlDevice = {1920, 1080};
  header.szlMillimeters = {508, 286};
  std::vector<std::uint8_t> file(header.nBytes);
  std::memcpy(file.data(), &header, sizeof(header));
  const DWORD end[5] = {14, 20, 0, 16, 20};
  std::memcpy(file.data() + sizeof(header), end, sizeof(end));
  return file;
}

class PictureFileTest : public GdiplusTest {
 protected:
  void SetUp() override {
    GdiplusTest::SetUp();
    baseline_ = GdiObjectCount();
  }
  void TearDown() override {
    EXPECT_EQ(GdiObjectCount(), baseline_) << "graphics objects left behind";
    GdiplusTest::TearDown();
  }

  std::string Path(const char* name) const { return (temp_dir() / name).string(); }

  ComPtr<IPicture> Load(const std::string& path) {
    ComPtr<IPicture> picture;
    EXPECT_EQ(LoadPictureFile(path, picture.ReleaseAndGetAddressOf()), S_OK) << path;
    return picture;
  }

  // A picture owning the handle.
  static ComPtr<IPicture> Own(const PICTDESC& description) {
    ComPtr<IPicture> picture;
    EXPECT_EQ(OleCreatePictureIndirect(&description, true, picture.ReleaseAndGetAddressOf()), S_OK);
    return picture;
  }

 private:
  std::size_t baseline_ = 0;
};

TEST_F(PictureFileTest, BitmapFilesBecomeBitmapPicturesAndSaveAsBmp) {
  const struct {
    const char* name;
    CLSID encoder;
    int bitsPerPixel;
    bool exact;
  } cases[] = {{"a.bmp", CLSID_BmpCodec, 24, true}, {"a.gif", CLSID_GifCodec, 8, true},
               {"a.jpg", CLSID_JpegCodec, 24, false}};
  ImageGuard source(MakeBitmap(3, 2, PixelFormat24bppRGB, kPixels));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(SaveImage(source.get(), Path(c.name), c.encoder), Ok);
    ComPtr<IPicture> picture = Load(Path(c.name));
    ASSERT_TRUE(picture);
    const PictureInfo info = Describe(*picture);
    EXPECT_EQ(info.type, PICTYPE_BITMAP);
    EXPECT_EQ(info.width, 79);   // 3 pixels at 96 dpi
    EXPECT_EQ(info.height, 53);  // 2 pixels
    const std::optional<GdiPixels> pixels = BitmapPixels(HBITMAP{info.handle});
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->bitsPerPixel, c.bitsPerPixel);
    EXPECT_TRUE(pixels->bottomUp);

    ASSERT_EQ(SavePictureFile(picture.Get(), Path("saved.bmp")), S_OK);
    ImageGuard saved(LoadImage(Path("saved.bmp")));
    GUID format{};
    EXPECT_EQ(GdipGetImageRawFormat(saved.get(), &format), Ok);
    EXPECT_EQ(format, ImageFormatBMP);
    if (c.exact) {
      EXPECT_EQ(ReadArgbPixels(saved.get()), kPixels);
    }
  }
}

TEST_F(PictureFileTest, IconsAndCursorsSaveAndLoadWithAlphaMaskAndHotspot) {
  for (bool isIcon : {true, false}) {
    SCOPED_TRACE(isIcon);
    PICTDESC description;
    description.picType = PICTYPE_ICON;
    description.icon.hicon = MakeIcon(isIcon);
    const std::string path = Path(isIcon ? "a.ico" : "a.cur");
    ASSERT_EQ(SavePictureFile(Own(description).Get(), path), S_OK);

    ImageGuard decoded(LoadImage(path));
    std::vector<ARGB> expected = kPixels;
    expected[1] = 0;
    expected[5] = 0x80808080;
    EXPECT_EQ(ReadArgbPixels(decoded.get()), expected);

    ComPtr<IPicture> picture = Load(path);
    ASSERT_TRUE(picture);
    const PictureInfo info = Describe(*picture);
    EXPECT_EQ(info.type, PICTYPE_ICON);
    EXPECT_EQ(info.width, 79);
    ICONINFO parts;
    ASSERT_NE(GetIconInfo(HICON{info.handle}, &parts), 0);
    EXPECT_EQ(parts.fIcon, isIcon ? 1 : 0);
    EXPECT_EQ(parts.xHotspot, isIcon ? 0u : 2u);
    EXPECT_EQ(parts.yHotspot, isIcon ? 0u : 1u);
    const std::optional<GdiPixels> colour = BitmapPixels(parts.hbmColor);
    ASSERT_TRUE(colour);
    ASSERT_EQ(colour->bitsPerPixel, 32);
    std::vector<ARGB> top(3);
    std::memcpy(top.data(), colour->bits + (colour->bottomUp ? colour->stride : 0), sizeof(ARGB) * 3);
    EXPECT_EQ(top, std::vector<ARGB>(expected.begin(), expected.begin() + 3));
    DeleteObject(ToGdiObject(parts.hbmColor));
    DeleteObject(ToGdiObject(parts.hbmMask));
  }
}

TEST_F(PictureFileTest, MetafilesKeepTheirSizeAndRecords) {
  const std::vector<std::uint8_t> wmf = PlaceableWmf();
  WriteFile(Path("a.wmf"), wmf);
  ComPtr<IPicture> picture = Load(Path("a.wmf"));
  ASSERT_TRUE(picture);
  PictureInfo info = Describe(*picture);
  EXPECT_EQ(info.type, PICTYPE_METAFILE);
  EXPECT_EQ(info.width, 2540);  // 1440 units at 1440 an inch
  EXPECT_EQ(info.height, 1270);
  EXPECT_EQ(GetMetaFileBitsEx(HMETAFILE{info.handle}, 0, nullptr), wmf.size() - 22);
  ASSERT_EQ(SavePictureFile(picture.Get(), Path("saved.wmf")), S_OK);
  ComPtr<IPicture> reloaded = Load(Path("saved.wmf"));
  ASSERT_TRUE(reloaded);
  info = Describe(*reloaded);
  EXPECT_EQ(info.width, 2540);
  EXPECT_EQ(info.height, 1270);
  const std::vector<std::uint8_t> saved = ReadFile(Path("saved.wmf"));
  EXPECT_EQ(std::vector<std::uint8_t>(saved.begin() + 22, saved.end()),
            std::vector<std::uint8_t>(wmf.begin() + 22, wmf.end()));

  PICTDESC wide;
  wide.picType = PICTYPE_METAFILE;
  wide.wmf.hmeta = SetMetaFileBitsEx(static_cast<UINT>(wmf.size() - 22), wmf.data() + 22);
  wide.wmf.xExt = 100000;  // does not fit 16 bits at 2540 an inch
  wide.wmf.yExt = 50000;
  ASSERT_EQ(SavePictureFile(Own(wide).Get(), Path("wide.wmf")), S_OK);
  info = Describe(*Load(Path("wide.wmf")));
  EXPECT_NEAR(info.width, 100000, 10);
  EXPECT_NEAR(info.height, 50000, 10);

  WriteFile(Path("a.emf"), Emf());
  picture = Load(Path("a.emf"));
  ASSERT_TRUE(picture);
  info = Describe(*picture);
  EXPECT_EQ(info.type, PICTYPE_ENHMETAFILE);
  EXPECT_EQ(info.width, 2645);
  EXPECT_EQ(info.height, 1322);
  ASSERT_EQ(SavePictureFile(picture.Get(), Path("saved.emf")), S_OK);
  EXPECT_EQ(ReadFile(Path("saved.emf")), Emf());
}

TEST_F(PictureFileTest, PlaceableMetafilesKeepTheirWindowAndRecordsInTheHandle) {
  // No window records: the box (at 50, 50) becomes the handle's window, and
  // the handle plays on its own, drawing the rectangle where the box says.
  WmfRecords records;
  records.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(255, 0, 0), 0}));
  records.Add(U_WMRSELECTOBJECT_set(0)).Add(U_WMRRECTANGLE_set(U_RECT16{50, 50, 100, 100}));
  const auto body = Wmf(records.Finish());
  WriteFile(Path("box.wmf"), Placeable(50, 50, 150, 150, 96, body));
  ComPtr<IPicture> picture = Load(Path("box.wmf"));
  ASSERT_TRUE(picture);
  std::vector<std::uint8_t> bytes = HandleBytes(Describe(*picture).handle);
  ASSERT_EQ(bytes.size(), body.size() + 20);
  EXPECT_EQ(DeclaredWords(bytes), bytes.size() / 2);
  const std::vector<std::uint8_t> window = {5, 0, 0, 0, 0x0B, 0x02, 50, 0, 50, 0, 5, 0, 0, 0, 0x0C, 0x02, 100, 0, 100, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 18, bytes.begin() + 38), window);
  GpMetafile* metafile = nullptr;
  ASSERT_EQ(GdipCreateMetafileFromWmf(HMETAFILE{Describe(*picture).handle}, 0, nullptr, &metafile), Ok);
  gdiplus::PixelBuffer pixels;
  EXPECT_EQ(gdiplus::RenderMetafile(*metafile, 100, 100, pixels), Ok);
  EXPECT_EQ(reinterpret_cast<const ARGB*>(pixels.Row(25))[25], 0xFFFF0000u);
  EXPECT_EQ(reinterpret_cast<const ARGB*>(pixels.Row(75))[75], 0u);
  GdipDisposeImage(metafile);

  // A size that counts the placeable header: the handle holds the records
  // and says their true size.
  std::vector<std::uint8_t> counted = PlaceableWmf();
  const std::uint32_t claimed = static_cast<std::uint32_t>(counted.size() / 2);
  std::memcpy(counted.data() + 22 + 6, &claimed, 4);
  WriteFile(Path("counted.wmf"), counted);
  picture = Load(Path("counted.wmf"));
  ASSERT_TRUE(picture);
  bytes = HandleBytes(Describe(*picture).handle);
  ASSERT_EQ(bytes.size(), counted.size() - 22);
  EXPECT_EQ(DeclaredWords(bytes), bytes.size() / 2);
  EXPECT_TRUE(std::equal(bytes.begin() + 18, bytes.end(), counted.begin() + 40));
}

TEST_F(PictureFileTest, FailuresAreReported) {
  IPicture* picture = nullptr;
  EXPECT_EQ(LoadPictureFile(Path("a.bmp"), nullptr), E_POINTER);
  EXPECT_EQ(LoadPictureFile(Path("missing.bmp"), &picture), CTL_E_FILENOTFOUND);
  EXPECT_EQ(LoadPictureFile(temp_dir().string(), &picture), CTL_E_PATHFILEACCESSERROR);
  ImageGuard source(MakeBitmap(3, 2, PixelFormat24bppRGB, kPixels));
  ASSERT_EQ(SaveImage(source.get(), Path("a.png"), CLSID_PngCodec), Ok);
  EXPECT_EQ(LoadPictureFile(Path("a.png"), &picture), CTL_E_INVALIDPICTURE);
  ASSERT_EQ(SaveImage(source.get(), Path("a.bmp"), CLSID_BmpCodec), Ok);
  std::vector<std::uint8_t> truncated = ReadFile(Path("a.bmp"));
  truncated.resize(30);
  WriteFile(Path("short.bmp"), truncated);
  EXPECT_EQ(LoadPictureFile(Path("short.bmp"), &picture), CTL_E_INVALIDPICTURE);
  WriteFile(Path("empty.bmp"), {});
  EXPECT_EQ(LoadPictureFile(Path("empty.bmp"), &picture), CTL_E_INVALIDPICTURE);
  EXPECT_EQ(picture, nullptr);

  EXPECT_EQ(SavePictureFile(nullptr, Path("x.bmp")), E_POINTER);
  ComPtr<IPicture> empty;
  ASSERT_EQ(OleCreatePictureIndirect(nullptr, true, empty.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(SavePictureFile(empty.Get(), Path("x.bmp")), CTL_E_INVALIDPICTURE);
  ComPtr<IPicture> loaded = Load(Path("a.bmp"));
  EXPECT_EQ(SavePictureFile(loaded.Get(), Path("no/such/folder/x.bmp")), CTL_E_PATHFILEACCESSERROR);
}

}  // namespace
}  // namespace pixavue::platform::test
