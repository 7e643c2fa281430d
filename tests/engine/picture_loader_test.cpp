// Pictures of every type, bitmap and icon handles, the clipboard's formats,
// and metafile files drawn at a scale: sizes, pixels, resolutions, statuses,
// and no graphics object or temporary file left behind.

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/picture_dib.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "metafile_test_files.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;
using platform::test::ReadArgbPixels;

constexpr ARGB kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u;
// 2 x 2, 32 bits: blue, green, red, alpha in each pixel, top row first.
const std::vector<std::uint32_t> kPixels = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};

// A black rectangle over the left half of a 100 x 50 window.
std::vector<std::uint8_t> HalfBlackWmf() {
  platform::test::WmfRecords wmf;
  wmf.Add(U_WMRSETWINDOWEXT_set(U_POINT16{100, 50}));
  wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(0, 0, 0), 0}));
  wmf.Add(U_WMRSELECTOBJECT_set(0)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 50, 50}));
  return platform::test::Wmf(wmf.Finish());
}

// 40 x 20 pixels at 25.4 dpi, red over the left half.
std::vector<std::uint8_t> HalfRedEmf() {
  platform::test::EmfFile emf(40, 20);
  emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(255, 0, 0), 0)));
  emf.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 20, 20}));
  return emf.Finish();
}

// Another picture as seen through changes: another type, or no handle for
// the first `hiddenHandles` requests.
class AlteredPicture final : public RefCounted<IPicture> {
 public:
  AlteredPicture(IPicture* shown, SHORT type, int hiddenHandles)
      : shown_(shown), type_(type), hiddenHandles_(hiddenHandles) {}
  HRESULT get_Handle(OLE_HANDLE* handle) noexcept override {
    if (hiddenHandles_-- <= 0) return shown_->get_Handle(handle);
    *handle = 0;
    return S_OK;
  }
  HRESULT get_hPal(OLE_HANDLE* palette) noexcept override { return shown_->get_hPal(palette); }
  HRESULT get_Type(SHORT* type) noexcept override {
    *type = type_;
    return S_OK;
  }
  HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) noexcept override { return shown_->get_Width(width); }
  HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) noexcept override { return shown_->get_Height(height); }

 private:
  ComPtr<IPicture> shown_;
  SHORT type_;
  int hiddenHandles_;
};

class PictureLoaderTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    objects_ = GdiObjectCount();
    bitmap_ = CreateBitmap(2, 2, 1, 32, kPixels.data());
    mask_ = CreateBitmap(2, 2, 1, 1, nullptr);
    const ICONINFO parts{1, 0, 0, mask_, bitmap_};
    icon_ = CreateIconIndirect(&parts);
    const auto wmf = HalfBlackWmf();
    wmf_ = SetMetaFileBitsEx(static_cast<UINT>(wmf.size()), wmf.data());
    const auto emf = HalfRedEmf();
    emf_ = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  }
  void TearDown() override {
    if (OpenClipboard(kNoWindow)) {
      EmptyClipboard();
      CloseClipboard();
    }
    DestroyIcon(icon_);
    DeleteMetaFile(wmf_);
    DeleteEnhMetaFile(emf_);
    DeleteObject(ToGdiObject(mask_));
    DeleteObject(ToGdiObject(bitmap_));
    EXPECT_EQ(GdiObjectCount(), objects_) << "graphics objects leaked";
    EngineTest::TearDown();
  }

  // A picture naming (not owning) one of the fixture's handles; metafile
  // sizes in pixels.
  ComPtr<IPicture> Picture(SHORT type, LONG width = 0, LONG height = 0) const {
    PICTDESC d;
    d.picType = static_cast<UINT>(type);
    if (type == PICTYPE_BITMAP) d.bmp.hbitmap = bitmap_;
    if (type == PICTYPE_ICON) d.icon.hicon = icon_;
    if (type == PICTYPE_METAFILE) d.wmf = {wmf_, HimetricFromPixels(width), HimetricFromPixels(height)};
    if (type == PICTYPE_ENHMETAFILE) d.emf.hemf = emf_;
    ComPtr<IPicture> picture;
    EXPECT_EQ(OleCreatePictureIndirect(&d, false, picture.ReleaseAndGetAddressOf()), S_OK);
    return picture;
  }

  // Width, height, two pixels and the resolution of a loaded image, which is
  // released.
  struct Expected {
    std::int32_t width, height;
    ARGB left, right;  // at a quarter and three quarters of the middle row
    float dpi;
  };
  void ExpectImage(ImageId id, const Expected& e, const char* what) {
    std::int32_t width = 0, height = 0;
    float dpiX = 0, dpiY = 0;
    GetImageWidth(id, width);
    GetImageHeight(id, height);
    GetHorizontalResolution(id, dpiX);
    GetVerticalResolution(id, dpiY);
    EXPECT_EQ(width, e.width) << what;
    EXPECT_EQ(height, e.height) << what;
    EXPECT_FLOAT_EQ(dpiX, e.dpi) << what;
    EXPECT_FLOAT_EQ(dpiY, e.dpi) << what;
    const std::vector<ARGB> pixels = ReadArgbPixels(NativeHandle(id));
    if (pixels.size() == static_cast<std::size_t>(e.width) * e.height) {
      const std::size_t row = static_cast<std::size_t>(e.height / 2) * e.width;
      EXPECT_EQ(pixels[row + e.width / 4], e.left) << what;
      EXPECT_EQ(pixels[row + e.width * 3 / 4], e.right) << what;
    }
    ReleaseImage(id);
  }

  // Puts one handle on the clipboard, which takes it over.
  static void PutOnClipboard(UINT format, HANDLE data) {
    ASSERT_TRUE(OpenClipboard(kNoWindow));
    EmptyClipboard();
    if (data != HANDLE{}) {
      EXPECT_NE(SetClipboardData(format, data), HANDLE{});
    }
    CloseClipboard();
  }
  static bool AnotherThreadCanOpenClipboard() {
    bool opened = false;
    std::thread([&opened] {
      opened = OpenClipboard(kNoWindow);
      if (opened) CloseClipboard();
    }).join();
    return opened;
  }
  std::string WriteTemp(const std::vector<std::uint8_t>& bytes, const char* name) const {
    const std::filesystem::path path = temp_dir() / name;
    platform::test::WriteFile(path, bytes);
    return path.string();
  }

  HBITMAP bitmap_{};
  HBITMAP mask_{};
  HICON icon_{};
  HMETAFILE wmf_{};
  HENHMETAFILE emf_{};

 private:
  std::size_t objects_ = 0;
};

TEST_F(PictureLoaderTest, EachPictureTypeLoadsWithItsSizeAndPixels) {
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromPicture(Picture(PICTYPE_BITMAP).Get(), id), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::GdiBitmap);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels);
  ReleaseImage(id);

  ASSERT_EQ(LoadFromPicture(Picture(PICTYPE_ICON).Get(), id), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::Icon);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels);
  ReleaseImage(id);

  // Metafiles are drawn on white at the size the picture has on screen.
  ASSERT_EQ(LoadFromPicture(Picture(PICTYPE_METAFILE, 40, 20).Get(), id), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::GdiBitmap);
  ExpectImage(id, {40, 20, kBlack, kWhite, 96.0f}, "WMF picture");
  // Without a size, the metafile's window extent at 96 dpi.
  ASSERT_EQ(LoadFromPicture(Picture(PICTYPE_METAFILE).Get(), id), QuorvexStatus::OK);
  ExpectImage(id, {100, 50, kBlack, kWhite, 96.0f}, "WMF picture without a size");
  ASSERT_EQ(LoadFromPicture(Picture(PICTYPE_ENHMETAFILE).Get(), id), QuorvexStatus::OK);
  ExpectImage(id, {40, 20, kRed, kWhite, 25.4f}, "EMF picture");
  // The pictures did not own their handles, and nothing took them.
  EXPECT_EQ(GetObjectType(ToGdiObject(wmf_)), OBJ_METAFILE);
  EXPECT_EQ(GetObjectType(ToGdiObject(emf_)), OBJ_ENHMETAFILE);
}

TEST_F(PictureLoaderTest, PicturesWithoutAnImageGiveInvalidParameter) {
  const ComPtr<IPicture> empty = Picture(PICTYPE_NONE);
  const ComPtr<IPicture> unknownType = MakeComPtr<AlteredPicture>(Picture(PICTYPE_BITMAP).Get(), SHORT{7}, 0);
  for (IPicture* picture : {static_cast<IPicture*>(nullptr), empty.Get(), unknownType.Get()}) {
    ImageId id = 3;
    EXPECT_EQ(LoadFromPicture(picture, id), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(id, kNoImage);
  }
  EXPECT_TRUE(Images().Slots.empty());
}

TEST_F(PictureLoaderTest, IconTheLibraryRefusesGoesThroughAnIconFileTiedToTheImage) {
  // The first handle asked for is missing, so the library refuses the icon;
  // the picture saver then writes the real one.
  const ComPtr<IPicture> flaky = MakeComPtr<AlteredPicture>(Picture(PICTYPE_ICON).Get(), PICTYPE_ICON, 1);
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromPicture(flaky.Get(), id), QuorvexStatus::OK);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels);
  EXPECT_TRUE(SlotOf(id)->DeleteFileOnRelease);
  EXPECT_EQ(std::filesystem::path(SlotOf(id)->SourcePath).parent_path(), temp_dir());
  EXPECT_EQ(FilesInTempDir(), 1u);
  ReleaseImage(id);
  EXPECT_EQ(FilesInTempDir(), 0u);

  // A bitmap posing as an icon cannot be saved as one either: the icon's
  // status stands and no file is left.
  const ComPtr<IPicture> posing = MakeComPtr<AlteredPicture>(Picture(PICTYPE_BITMAP).Get(), PICTYPE_ICON, 0);
  EXPECT_EQ(LoadFromPicture(posing.Get(), id), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(id, kNoImage);
  EXPECT_EQ(FilesInTempDir(), 0u);
}

TEST_F(PictureLoaderTest, HandlesLoadAsTheirKindAndAnIconGivenAsBitmapIsFoundAsAnIcon) {
  struct Case {
    const char* what;
    QuorvexStatus (*load)(std::uintptr_t, ImageId&);
    std::uintptr_t handle;
    SourceKind kind;
  };
  const auto bitmap = [](std::uintptr_t h, ImageId& id) { return LoadFromHBitmap(HBITMAP{h}, id); };
  const auto icon = [](std::uintptr_t h, ImageId& id) { return LoadFromHIcon(HICON{h}, id); };
  const HBITMAP stale = CreateBitmap(1, 1, 1, 32, nullptr);
  DeleteObject(ToGdiObject(stale));
  for (const Case& c : {Case{"bitmap", bitmap, HandleBits(bitmap_), SourceKind::GdiBitmap},
                        Case{"icon", icon, HandleBits(icon_), SourceKind::Icon},
                        Case{"icon as bitmap", bitmap, HandleBits(icon_), SourceKind::Icon}}) {
    ImageId id = kNoImage;
    ASSERT_EQ(c.load(c.handle, id), QuorvexStatus::OK) << c.what;
    EXPECT_EQ(SlotOf(id)->Kind, c.kind) << c.what;
    EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels) << c.what;
    ReleaseImage(id);
  }
  for (const std::uintptr_t nothing : {std::uintptr_t{0}, HandleBits(stale), HandleBits(wmf_)}) {
    ImageId id = 5;
    EXPECT_NE(bitmap(nothing, id), QuorvexStatus::OK);
    EXPECT_NE(icon(nothing, id), QuorvexStatus::OK);
    EXPECT_EQ(id, kNoImage);
  }
  // The caller's handles are still there.
  EXPECT_EQ(GetObjectType(ToGdiObject(bitmap_)), OBJ_BITMAP);
  EXPECT_TRUE(Images().Slots.empty());
}

TEST_F(PictureLoaderTest, ClipboardGivesItsFirstPictureFormat) {
  ImageId id = kNoImage;
  PutOnClipboard(CF_BITMAP, ToHandle(CreateBitmap(2, 2, 1, 32, kPixels.data())));
  ASSERT_EQ(LoadFromClipboard(id), QuorvexStatus::OK);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels);
  ReleaseImage(id);
  EXPECT_TRUE(AnotherThreadCanOpenClipboard());

  const auto dib = PackedDibFromBitmap(bitmap_);
  ASSERT_TRUE(dib.has_value());
  const HGLOBAL block = GlobalAlloc(GHND, dib->size());
  std::memcpy(GlobalLock(block), dib->data(), dib->size());
  GlobalUnlock(block);
  PutOnClipboard(CF_DIB, ToHandle(block));
  ASSERT_EQ(LoadFromClipboard(id), QuorvexStatus::OK);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(id)), kPixels);
  ReleaseImage(id);

  const auto wmf = HalfBlackWmf();
  const HGLOBAL picture = GlobalAlloc(GHND, sizeof(METAFILEPICT));
  *static_cast<METAFILEPICT*>(GlobalLock(picture)) =
      METAFILEPICT{MM_ANISOTROPIC, HimetricFromPixels(40), HimetricFromPixels(20),
                   SetMetaFileBitsEx(static_cast<UINT>(wmf.size()), wmf.data())};
  GlobalUnlock(picture);
  PutOnClipboard(CF_METAFILEPICT, ToHandle(picture));
  ASSERT_EQ(LoadFromClipboard(id), QuorvexStatus::OK);
  ExpectImage(id, {40, 20, kBlack, kWhite, 96.0f}, "metafile picture");

  // A palette alone is not a picture.
  LOGPALETTE palette;
  palette.palNumEntries = 1;
  PutOnClipboard(CF_PALETTE, ToHandle(CreatePalette(&palette)));
  EXPECT_EQ(LoadFromClipboard(id), QuorvexStatus::GenericError);
  PutOnClipboard(CF_DIB, HANDLE{});
  EXPECT_EQ(LoadFromClipboard(id), QuorvexStatus::GenericError);
  EXPECT_EQ(id, kNoImage);
  EXPECT_TRUE(AnotherThreadCanOpenClipboard());
}

TEST_F(PictureLoaderTest, MetafileFileIsDrawnAtItsSizeTimesTheScale) {
  const std::string wmf = WriteTemp(platform::test::Placeable(0, 0, 40, 20, 96, HalfBlackWmf()), "picture.wmf");
  ImageId id = kNoImage;
  ASSERT_EQ(LoadMetafileScaled(wmf, 2.0f, id), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(id)->Kind, SourceKind::ForeignPixels);
  // Nothing is drawn under the right half of a transparent bitmap.
  ExpectImage(id, {80, 40, kBlack, 0, 96.0f}, "scale 2");
  // 2.5 rounds to the even 2.
  ASSERT_EQ(LoadMetafileScaled(wmf, 0.0625f, id), QuorvexStatus::OK);
  std::int32_t width = 0, height = 0;
  GetImageWidth(id, width);
  GetImageHeight(id, height);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 1);
  ReleaseImage(id);
}

TEST_F(PictureLoaderTest, FailedMetafileLoadLeavesTheTableAsItWas) {
  const std::string wmf = WriteTemp(platform::test::Placeable(0, 0, 40, 20, 96, HalfBlackWmf()), "picture.wmf");
  const std::string notMetafile = WriteTemp({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}, "text");
  const ImageId previous = MakeImage(3, 2);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::string path;
    float scale;
    QuorvexStatus status;
  };
  const Case cases[] = {
      {wmf, 0.0f, QuorvexStatus::InvalidParameter},
      {wmf, -1.0f, QuorvexStatus::InvalidParameter},
      {wmf, nan, QuorvexStatus::InvalidParameter},
      {wmf, 0.01f, QuorvexStatus::InvalidParameter},  // 0.4 x 0.2 pixels
      {wmf, 3000.0f, QuorvexStatus::OutOfMemory},      // over the side limit
      {wmf, 1e30f, QuorvexStatus::OutOfMemory},
      {temp_dir().string() + "/missing.wmf", 1.0f, QuorvexStatus::FileNotFound},
      {"   ", 1.0f, QuorvexStatus::FileNotFound},
      {notMetafile, 1.0f, QuorvexStatus::UnknownImageFormat},
  };
  for (const Case& c : cases) {
    ImageId id = previous;
    EXPECT_EQ(LoadMetafileScaled(c.path, c.scale, id), c.status) << c.path << " x " << c.scale;
    EXPECT_EQ(id, kNoImage);
    EXPECT_EQ(Images().Slots.size(), 1u);
  }
  EXPECT_EQ(ReadArgbPixels(NativeHandle(previous)), PatternPixels(3, 2));
  ReleaseImage(previous);
}

}  // namespace
}  // namespace pixavue::engine::test
