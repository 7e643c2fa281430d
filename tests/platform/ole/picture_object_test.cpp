// OLE picture objects: type, handle, palette and HIMETRIC size of each kind,
// deletion of owned handles on the last release, refused descriptions.

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pixavue::platform {
namespace {

// The 18-byte header of a Windows metafile and its end record.
const std::vector<BYTE> kWmf = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};

HENHMETAFILE MakeEmf(RECT frame) {
  ENHMETAHEADER header;
  header.nSize = sizeof(ENHMETAHEADER);
  header.rclBounds = {0, 0, 99, 49};
  header.rclFrame = frame;
  header.nBytes = sizeof(ENHMETAHEADER) + 20;
  header.nRecords = 2;
  header.nHandles = 1;
  header.szlDevice = {1920, 1080};
  header.szlMillimeters = {508, 286};
  std::vector<BYTE> bytes(header.nBytes);
  std::memcpy(bytes.data(), &header, sizeof(header));
  const DWORD end[5] = {14, 20, 0, 16, 20};  // EMR_EOF
  std::memcpy(bytes.data() + sizeof(header), end, sizeof(end));
  return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
}

HICON MakeIcon(int width, int height) {
  ICONINFO parts;
  parts.hbmColor = CreateBitmap(width, height, 1, 32, nullptr);
  parts.hbmMask = CreateBitmap(width, height, 1, 1, nullptr);
  const HICON icon = CreateIconIndirect(&parts);
  DeleteObject(ToGdiObject(parts.hbmColor));
  DeleteObject(ToGdiObject(parts.hbmMask));
  return icon;
}

struct Expected {
  SHORT type;
  OLE_HANDLE handle;
  LONG width, height;
};

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = GdiObjectCount(); }
  void TearDown() override { EXPECT_EQ(GdiObjectCount(), baseline_) << "graphics objects left behind"; }

  static ComPtr<IPicture> Make(const PICTDESC& description, bool own) {
    ComPtr<IPicture> picture;
    EXPECT_EQ(OleCreatePictureIndirect(&description, own, picture.ReleaseAndGetAddressOf()), S_OK);
    return picture;
  }

  static void ExpectPicture(IPicture& picture, const Expected& expected) {
    SHORT type = 0;
    OLE_HANDLE handle = 0;
    LONG width = 0, height = 0;
    EXPECT_EQ(picture.get_Type(&type), S_OK);
    EXPECT_EQ(picture.get_Handle(&handle), S_OK);
    EXPECT_EQ(picture.get_Width(&width), S_OK);
    EXPECT_EQ(picture.get_Height(&height), S_OK);
    EXPECT_EQ(type, expected.type);
    EXPECT_EQ(handle, expected.handle);
    EXPECT_EQ(width, expected.width);
    EXPECT_EQ(height, expected.height);
  }

 private:
  std::size_t baseline_ = 0;
};

TEST_F(PictureTest, EachKindReportsItsHandleAndSizeAndOwnedHandlesGoWithIt) {
  const std::size_t before = GdiObjectCount();
  PICTDESC bitmap;
  bitmap.picType = PICTYPE_BITMAP;
  bitmap.bmp.hbitmap = CreateBitmap(96, 48, 1, 24, nullptr);
  PICTDESC wmf;
  wmf.picType = PICTYPE_METAFILE;
  wmf.wmf.hmeta = SetMetaFileBitsEx(static_cast<UINT>(kWmf.size()), kWmf.data());
  wmf.wmf.xExt = 1000;
  wmf.wmf.yExt = 700;
  PICTDESC icon;
  icon.picType = PICTYPE_ICON;
  icon.icon.hicon = MakeIcon(32, 16);
  PICTDESC emf;
  emf.picType = PICTYPE_ENHMETAFILE;
  emf.emf.hemf = MakeEmf({10, 20, 5090, 2560});
  ASSERT_EQ(GdiObjectCount(), before + 4);

  const struct {
    const PICTDESC& description;
    Expected expected;
  } cases[] = {
      {bitmap, {PICTYPE_BITMAP, HandleBits(bitmap.bmp.hbitmap), 2540, 1270}},
      {wmf, {PICTYPE_METAFILE, HandleBits(wmf.wmf.hmeta), 1000, 700}},
      {icon, {PICTYPE_ICON, HandleBits(icon.icon.hicon), 847, 423}},
      {emf, {PICTYPE_ENHMETAFILE, HandleBits(emf.emf.hemf), 5080, 2540}},
  };
  for (const auto& c : cases) {
    ComPtr<IPicture> borrowed = Make(c.description, false);
    ASSERT_TRUE(borrowed);
    ExpectPicture(*borrowed, c.expected);
    borrowed.Reset();
    EXPECT_EQ(GdiObjectCount(), before + 4) << "a picture without ownership deleted its handle";
  }
  std::size_t live = before + 4;
  for (const auto& c : cases) {
    ComPtr<IPicture> owner = Make(c.description, true);
    ComPtr<IPicture> second = owner;
    owner.Reset();
    EXPECT_EQ(GdiObjectCount(), live) << "deleted while referenced";
    second.Reset();
    EXPECT_EQ(GdiObjectCount(), --live) << "not deleted with the last reference";
  }
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(PictureTest, PaletteBelongsToBitmapPicturesOnly) {
  LOGPALETTE logical;
  logical.palNumEntries = 1;
  const HPALETTE palette = CreatePalette(&logical);
  PICTDESC description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = CreateBitmap(2, 2, 1, 8, nullptr);
  description.bmp.hpal = palette;
  description.cbSizeofstruct = kPictDescSize32;
  ComPtr<IPicture> picture = Make(description, true);
  OLE_HANDLE handle = 0;
  EXPECT_EQ(picture->get_hPal(&handle), S_OK);
  EXPECT_EQ(handle, HandleBits(palette));
  picture.Reset();
  EXPECT_EQ(GetObjectType(ToGdiObject(palette)), OBJ_PAL) << "the palette stays its creator's";
  DeleteObject(ToGdiObject(palette));

  ComPtr<IPicture> empty;
  ASSERT_EQ(OleCreatePictureIndirect(nullptr, true, empty.ReleaseAndGetAddressOf()), S_OK);
  ExpectPicture(*empty, {PICTYPE_UNINITIALIZED, 0, 0, 0});
  EXPECT_EQ(empty->get_hPal(&handle), E_FAIL);
  EXPECT_EQ(empty->get_Width(nullptr), E_POINTER);
}

TEST_F(PictureTest, RefusedDescriptionsOwnNothing) {
  const HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  PICTDESC description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  IPicture* picture = nullptr;
  EXPECT_EQ(OleCreatePictureIndirect(&description, true, nullptr), E_POINTER);
  for (UINT size : {0u, 16u, 28u}) {
    description.cbSizeofstruct = size;
    EXPECT_EQ(OleCreatePictureIndirect(&description, true, &picture), E_INVALIDARG) << size;
  }
  description.cbSizeofstruct = sizeof(PICTDESC);
  for (SHORT wrongType : {PICTYPE_ICON, PICTYPE_METAFILE, PICTYPE_ENHMETAFILE, SHORT{5}}) {
    description.picType = static_cast<UINT>(wrongType);
    EXPECT_EQ(OleCreatePictureIndirect(&description, true, &picture), E_INVALIDARG) << wrongType;
    EXPECT_EQ(picture, nullptr);
  }
  description.picType = PICTYPE_BITMAP;
  description.bmp.hpal = HPALETTE{HandleBits(bitmap)};
  EXPECT_EQ(OleCreatePictureIndirect(&description, true, &picture), E_INVALIDARG) << "a bitmap is no palette";
  EXPECT_EQ(GetObjectType(ToGdiObject(bitmap)), OBJ_BITMAP);
  DeleteObject(ToGdiObject(bitmap));
  description.bmp.hpal = HPALETTE{};
  EXPECT_EQ(OleCreatePictureIndirect(&description, true, &picture), E_INVALIDARG) << "a deleted bitmap";
}

TEST(HimetricFromPixels, RoundsAtNinetySixDpi) {
  EXPECT_EQ(HimetricFromPixels(0), 0);
  EXPECT_EQ(HimetricFromPixels(1), 26);    // 26.46
  EXPECT_EQ(HimetricFromPixels(3), 79);    // 79.375
  EXPECT_EQ(HimetricFromPixels(96), 2540);
  EXPECT_EQ(HimetricFromPixels(65535), 1733947);  // 1733946.875
}

}  // namespace
}  // namespace pixavue::platform
