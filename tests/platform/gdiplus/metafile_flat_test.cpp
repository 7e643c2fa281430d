// Metafile images through the flat functions: from files and from metafile
// handles (with a placeable header, handle ownership), and their header.

#include <pixavue/platform/gdi/gdi.h>

#include <string>

#include "gdiplus_test_support.h"
#include "image.h"
#include "metafile_render.h"
#include "metafile_test_files.h"

namespace pixavue::platform::test {
namespace {

std::vector<std::uint8_t> RedSquareEmf() {
  EmfFile emf(100, 50);
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(255, 0, 0), 0)));
  emf.Add(U_EMRSELECTOBJECT_set(1)).Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  return emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 50, 50})).Finish();
}

// Records without window records: only a placeable header gives a size.
std::vector<std::uint8_t> RedSquareWmf() {
  WmfRecords wmf;
  wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(255, 0, 0), 0}));
  wmf.Add(U_WMRSELECTOBJECT_set(0)).Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 500, 500}));
  return Wmf(wmf.Finish());
}

class MetafileFlatTest : public GdiplusTest {
 protected:
  std::filesystem::path Write(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("file" + std::to_string(files_++));
    WriteFile(path, bytes);
    return path;
  }
  static MetafileHeader HeaderOf(GpMetafile* metafile) {
    MetafileHeader header;
    EXPECT_EQ(GdipGetMetafileHeaderFromMetafile(metafile, &header), Ok);
    return header;
  }
  // The premultiplied pixel at (x, y) of the metafile rendered at its size.
  static ARGB RenderedAt(GpMetafile* metafile, int x, int y) {
    gdiplus::PixelBuffer pixels;
    EXPECT_EQ(gdiplus::RenderMetafile(*metafile, static_cast<int>(metafile->width()),
                                      static_cast<int>(metafile->height()), pixels),
              Ok);
    if (pixels.empty()) return 0;
    return reinterpret_cast<const ARGB*>(pixels.Row(static_cast<std::uint32_t>(y)))[x];
  }

 private:
  int files_ = 0;
};

TEST_F(MetafileFlatTest, FilesGiveTheirTypeSizeAndHeader) {
  const auto emfBytes = RedSquareEmf();
  ImageGuard emf;
  ASSERT_EQ(GdipCreateMetafileFromFile(Wide(Write(emfBytes)).c_str(), emf.out()), Ok);
  MetafileHeader header = HeaderOf(emf.get());
  EXPECT_EQ(header.Type, MetafileTypeEmf);
  EXPECT_EQ(header.Size, emfBytes.size());
  EXPECT_EQ(header.Version, 0x10000u);
  EXPECT_FLOAT_EQ(header.DpiX, 25.4f);
  EXPECT_EQ(header.Width, 100);
  EXPECT_EQ(header.Height, 50);
  EXPECT_EQ(header.EmfHeader.dSignature, 0x464D4520u);
  EXPECT_EQ(header.EmfHeader.nBytes, emfBytes.size());

  const auto wmfBytes = Placeable(0, 0, 1440, 720, 1440, RedSquareWmf());
  ImageGuard wmf;
  ASSERT_EQ(GdipCreateMetafileFromFile(Wide(Write(wmfBytes)).c_str(), wmf.out()), Ok);
  header = HeaderOf(wmf.get());
  EXPECT_EQ(header.Type, MetafileTypeWmfPlaceable);
  EXPECT_EQ(header.Size, wmfBytes.size());
  EXPECT_EQ(header.Version, 0x300u);
  EXPECT_EQ(header.DpiX, 1440.0f);
  EXPECT_EQ(header.Width, 1440);
  EXPECT_EQ(header.Height, 720);
  EXPECT_EQ(header.WmfHeader.mtHeaderSize, 9u);

  // Refusals: not a metafile, no file, no output, a bitmap's header.
  GpMetafile* none = nullptr;
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  EXPECT_EQ(GdipCreateMetafileFromFile(Wide(Write(png)).c_str(), &none), UnknownImageFormat);
  EXPECT_EQ(GdipCreateMetafileFromFile(Wide(temp_dir() / "missing.emf").c_str(), &none), FileNotFound);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(GdipCreateMetafileFromFile(Wide(Write(emfBytes)).c_str(), nullptr), InvalidParameter);
  ImageGuard bitmap;
  ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, bitmap.out()), Ok);
  MetafileHeader ignored;
  EXPECT_EQ(GdipGetMetafileHeaderFromMetafile(bitmap.get(), &ignored), InvalidParameter);
  EXPECT_EQ(GdipGetMetafileHeaderFromMetafile(emf.get(), nullptr), InvalidParameter);
}

TEST_F(MetafileFlatTest, EmfPlusCommentsNameTheType) {
  // An EMF+ header (type, flags, size, data size, version, flags, dpi) in a
  // comment, alone or followed by ordinary records.
  ByteWriter comment;
  comment.U32(U_EMR_COMMENT).U32(44).U32(32).U32(0x2B464D45);
  comment.U16(0x4001).U16(1).U32(28).U32(16).U32(0xDBC01002).U32(1).U32(144).U32(144);
  for (const bool dual : {false, true}) {
    EmfFile emf(10, 10);
    emf.Raw(comment.data);
    if (dual) emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 5, 5}));
    ImageGuard image;
    ASSERT_EQ(GdipCreateMetafileFromFile(Wide(Write(emf.Finish())).c_str(), image.out()), Ok);
    const MetafileHeader header = HeaderOf(image.get());
    EXPECT_EQ(header.Type, dual ? MetafileTypeEmfPlusDual : MetafileTypeEmfPlusOnly);
    EXPECT_EQ(header.Version, 0xDBC01002u);
    EXPECT_EQ(header.EmfPlusFlags, 1u);
    EXPECT_EQ(header.EmfPlusHeaderSize, 28);
    EXPECT_EQ(header.LogicalDpiX, 144);
  }
}

TEST_F(MetafileFlatTest, WmfHandleWithPlaceableHeaderAndOwnership) {
  const auto bytes = RedSquareWmf();
  WmfPlaceableFileHeader placeable;
  placeable.BoundingBoxRight = 1000;
  placeable.BoundingBoxBottom = 1000;
  placeable.Inch = 1000;
  const std::size_t objectsBefore = GdiObjectCount();
  for (const BOOL deleteWmf : {0, 1}) {
    const HMETAFILE handle = SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
    ASSERT_NE(handle, HMETAFILE{});
    GpMetafile* metafile = nullptr;
    ASSERT_EQ(GdipCreateMetafileFromWmf(handle, deleteWmf, &placeable, &metafile), Ok);
    UINT32 width = 0;
    REAL dpi = 0;
    EXPECT_EQ(GdipGetImageWidth(metafile, &width), Ok);
    EXPECT_EQ(GdipGetImageHorizontalResolution(metafile, &dpi), Ok);
    EXPECT_EQ(width, 1000u);
    EXPECT_EQ(dpi, 1000.0f);
    EXPECT_EQ(HeaderOf(metafile).Type, MetafileTypeWmfPlaceable);
    EXPECT_EQ(RenderedAt(metafile, 250, 250), 0xFFFF0000u);
    EXPECT_EQ(RenderedAt(metafile, 750, 250), 0u);
    ASSERT_EQ(GdipDisposeImage(metafile), Ok);
    // Without deleteWmf the handle is still the caller's.
    EXPECT_EQ(GetMetaFileBitsEx(handle, 0, nullptr) != 0, !deleteWmf);
    if (!deleteWmf) {
      EXPECT_TRUE(DeleteMetaFile(handle));
    }
    EXPECT_EQ(GdiObjectCount(), objectsBefore);
  }

  const HMETAFILE handle = SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
  GpMetafile* metafile = nullptr;
  WmfPlaceableFileHeader wrongKey = placeable;
  wrongKey.Key = 0x12345678;
  EXPECT_EQ(GdipCreateMetafileFromWmf(handle, 1, &wrongKey, &metafile), InvalidParameter);
  // No placeable header and no window records: no size to give.
  EXPECT_EQ(GdipCreateMetafileFromWmf(handle, 1, nullptr, &metafile), InvalidParameter);
  EXPECT_EQ(GdipCreateMetafileFromWmf(HMETAFILE{12345}, 0, &placeable, &metafile), InvalidParameter);
  EXPECT_EQ(metafile, nullptr);
  // Failed constructors leave the handle to the caller.
  EXPECT_TRUE(DeleteMetaFile(handle));
}

TEST_F(MetafileFlatTest, EmfHandleOwnedOnceAcrossClones) {
  const auto bytes = RedSquareEmf();
  const std::size_t objectsBefore = GdiObjectCount();
  const HENHMETAFILE handle = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  ASSERT_NE(handle, HENHMETAFILE{});
  GpMetafile* metafile = nullptr;
  ASSERT_EQ(GdipCreateMetafileFromEmf(handle, 1, &metafile), Ok);
  EXPECT_EQ(HeaderOf(metafile).Type, MetafileTypeEmf);
  GpImage* clone = nullptr;
  ASSERT_EQ(GdipCloneImage(metafile, &clone), Ok);
  ASSERT_EQ(GdipDisposeImage(metafile), Ok);
  EXPECT_EQ(GetEnhMetaFileBits(handle, 0, nullptr), 0u);
  EXPECT_EQ(GdiObjectCount(), objectsBefore);
  // The clone keeps its own copy of the records.
  EXPECT_EQ(RenderedAt(clone, 25, 25), 0xFFFF0000u);
  EXPECT_EQ(RenderedAt(clone, 75, 25), 0u);
  EXPECT_EQ(GdipDisposeImage(clone), Ok);

  GpMetafile* none = nullptr;
  EXPECT_EQ(GdipCreateMetafileFromEmf(HENHMETAFILE{999}, 0, &none), InvalidParameter);
  EXPECT_EQ(GdipCreateMetafileFromEmf(handle, 0, nullptr), InvalidParameter);
}

}  // namespace
}  // namespace pixavue::platform::test
