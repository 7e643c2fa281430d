// Packed DIBs in global memory: the white-first 1-bit rewrite and its
// inversion filter, resolution from pixels per metre, ownership of the
// block, and blocks too short for what their header describes.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <pixavue/engine/image_filter.h>
#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdi/gdi_types.h>

#include "engine_test_support.h"
#include "handles_test_support.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

constexpr ARGB kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kWhiteEntry = 0x00FFFFFFu, kBlackEntry = 0;

struct DibParts {
  BITMAPINFOHEADER header;
  std::vector<std::uint32_t> table;  // RGBQUADs as 0x00RRGGBB
  std::vector<std::uint8_t> rows;
};

DibParts Dib(LONG width, LONG height, std::uint16_t bits, std::vector<std::uint32_t> table,
             std::vector<std::uint8_t> rows) {
  DibParts parts{{}, std::move(table), std::move(rows)};
  parts.header.biWidth = width;
  parts.header.biHeight = height;
  parts.header.biBitCount = bits;
  return parts;
}

// The parts laid end to end in a new block, less `missing` bytes at the end.
HGLOBAL Block(const DibParts& parts, std::size_t missing = 0) {
  std::vector<std::uint8_t> bytes(sizeof(parts.header));
  std::memcpy(bytes.data(), &parts.header, sizeof(parts.header));
  for (const std::uint32_t entry : parts.table) {
    bytes.insert(bytes.end(), {std::uint8_t(entry), std::uint8_t(entry >> 8), std::uint8_t(entry >> 16), 0});
  }
  bytes.insert(bytes.end(), parts.rows.begin(), parts.rows.end());
  bytes.resize(bytes.size() - missing);
  const HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

// 3 x 2, bottom-up: the top row is stored second.
DibParts WhiteFirst() { return Dib(3, 2, 1, {kWhiteEntry, kBlackEntry}, {0x60, 0, 0, 0, 0xA0, 0, 0, 0}); }
DibParts BlackFirst() { return Dib(3, 2, 1, {kBlackEntry, kWhiteEntry}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}); }

// The first byte of each stored row, top row first.
std::vector<std::uint8_t> StoredRowStarts(ImageId id) {
  GpImage* image = NativeHandle(id);
  BitmapData data;
  const GpRect whole{0, 0, 3, 2};
  std::vector<std::uint8_t> starts;
  EXPECT_EQ(GdipBitmapLockBits(image, &whole, ImageLockModeRead, PixelFormat1bppIndexed, &data), Ok);
  for (std::ptrdiff_t y = 0; y < static_cast<std::ptrdiff_t>(data.Height); ++y) {
    // The bits of the three pixels; the fill bits after them mean nothing.
    starts.push_back(static_cast<const std::uint8_t*>(data.Scan0)[y * data.Stride] & 0xE0);
  }
  GdipBitmapUnlockBits(image, &data);
  return starts;
}

class DibLoaderTest : public EngineTest {
 protected:
  void TearDown() override {
    for (const HGLOBAL block : blocks_) GlobalFree(block);
    EngineTest::TearDown();
  }
  // A block freed after the test (the caller keeps it alive meanwhile).
  HGLOBAL Kept(HGLOBAL block) {
    blocks_.push_back(block);
    return block;
  }
  QuorvexStatus Load(HGLOBAL block, ImageId& id, bool wholeDots = false) {
    return LoadFromGdiDib(block, false, wholeDots, id);
  }

 private:
  std::vector<HGLOBAL> blocks_;
};

TEST_F(DibLoaderTest, WhiteFirstOneBitDibBecomesBlackFirstAndLooksLikeItsTwin) {
  ImageId white = kNoImage, black = kNoImage;
  const HGLOBAL whiteBlock = Kept(Block(WhiteFirst()));
  const auto* whiteBytes = static_cast<const std::uint8_t*>(GlobalLock(whiteBlock));
  const std::vector<std::uint8_t> written(whiteBytes, whiteBytes + GlobalSize(whiteBlock));
  GlobalUnlock(whiteBlock);
  ASSERT_EQ(Load(whiteBlock, white), QuorvexStatus::OK);
  ASSERT_EQ(Load(Kept(Block(BlackFirst())), black), QuorvexStatus::OK);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), whiteBytes)) << "the caller's block is left as it was";
  const std::vector<ARGB> expected = {kBlack, kWhite, kBlack, kWhite, kBlack, kBlack};
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(white)), expected);
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(black)), expected);
  EXPECT_EQ(platform::test::PaletteOf(NativeHandle(white)), (std::vector<ARGB>{kBlack, kWhite}));
  // Top row 0, 1, 0 and bottom row 1, 0, 0 in both: the white-first
  // image's bits were inverted, its black-first twin's left alone.
  EXPECT_EQ(StoredRowStarts(white), (std::vector<std::uint8_t>{0x40, 0x80}));
  EXPECT_EQ(StoredRowStarts(black), (std::vector<std::uint8_t>{0x40, 0x80}));
  EXPECT_EQ(SlotOf(white)->Kind, SourceKind::EngineBuffer);
  EXPECT_EQ(SlotOf(black)->Kind, SourceKind::PackedDib);
  EXPECT_FALSE(SlotOf(white)->Modified);
  ReleaseImage(white);
  ReleaseImage(black);
}

TEST_F(DibLoaderTest, InversionFilterChangesOnlyItsRectangleAndOnlyOneBitImages) {
  ImageId id = kNoImage;
  ASSERT_EQ(Load(Kept(Block(BlackFirst())), id), QuorvexStatus::OK);
  EXPECT_EQ(ApplyImageFilter(kInvertFilter, id, GpRect{1, 0, 1, 1}, 0.5f, 1.0f), QuorvexStatus::OK);
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(id)),
            (std::vector<ARGB>{kBlack, kBlack, kBlack, kWhite, kBlack, kBlack}));
  for (const GpRect empty : {GpRect{0, 0, 0, 2}, GpRect{0, 0, 3, 0}}) {
    EXPECT_EQ(ApplyImageFilter(kInvertFilter, id, empty, 0.5f, 1.0f), QuorvexStatus::OK);
  }
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(id))[1], kBlack);
  EXPECT_EQ(ApplyImageFilter(kInvertFilter, id, GpRect{0, 0, 4, 2}, 0.5f, 1.0f), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(ApplyImageFilter(kInvertFilter, id, GpRect{0, 0, -1, 2}, 0.5f, 1.0f), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(ApplyImageFilter(3, id, GpRect{0, 0, 3, 2}, 0.5f, 1.0f), QuorvexStatus::NotImplemented);
  const ImageId colour = MakeImage(3, 2);
  EXPECT_EQ(ApplyImageFilter(kInvertFilter, colour, GpRect{0, 0, 3, 2}, 0.5f, 1.0f), QuorvexStatus::NotImplemented);
  ReleaseImage(colour);
  ReleaseImage(id);
  EXPECT_EQ(ApplyImageFilter(kInvertFilter, id, GpRect{0, 0, 3, 2}, 0.5f, 1.0f), QuorvexStatus::InvalidParameter);
}

TEST_F(DibLoaderTest, RowsStartAfterTheMasksAndTheColoursTheHeaderCounts) {
  DibParts shortTable = Dib(2, 1, 8, {0x00FF0000u, 0x000000FFu}, {1, 0, 0, 0});
  shortTable.header.biClrUsed = 2;
  DibParts masked = Dib(1, 1, 16, {0xF800u, 0x07E0u, 0x001Fu}, {0xE0, 0x07, 0, 0});
  masked.header.biCompression = BI_BITFIELDS;
  ImageId indexed = kNoImage, rgb565 = kNoImage;
  ASSERT_EQ(Load(Kept(Block(shortTable)), indexed), QuorvexStatus::OK);
  ASSERT_EQ(Load(Kept(Block(masked)), rgb565), QuorvexStatus::OK);
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(indexed)), (std::vector<ARGB>{0xFF0000FFu, 0xFFFF0000u}));
  EXPECT_EQ(platform::test::ReadArgbPixels(NativeHandle(rgb565)), (std::vector<ARGB>{0xFF00FF00u}));
  ReleaseImage(indexed);
  ReleaseImage(rgb565);
}

TEST_F(DibLoaderTest, ResolutionComesFromPixelsPerMetre) {
  struct Case {
    LONG perMetreX, perMetreY;
    bool wholeDots;
    float dpiX, dpiY;
  };
  // 3779 per metre is 95.9866 dpi; one axis without a value keeps the
  // library's default for both.
  for (const Case& c : {Case{3779, 5669, false, 95.987f, 143.993f}, Case{3779, 5669, true, 96.0f, 144.0f},
                        Case{3779, 0, false, 96.0f, 96.0f}, Case{-3779, 3779, false, 96.0f, 96.0f}}) {
    DibParts parts = BlackFirst();
    parts.header.biXPelsPerMeter = c.perMetreX;
    parts.header.biYPelsPerMeter = c.perMetreY;
    ImageId id = kNoImage;
    ASSERT_EQ(Load(Kept(Block(parts)), id, c.wholeDots), QuorvexStatus::OK);
    float x = 0, y = 0;
    GetHorizontalResolution(id, x);
    GetVerticalResolution(id, y);
    EXPECT_FLOAT_EQ(x, c.dpiX) << c.perMetreX << (c.wholeDots ? " whole" : "");
    EXPECT_FLOAT_EQ(y, c.dpiY) << c.perMetreY << (c.wholeDots ? " whole" : "");
    ReleaseImage(id);
  }
}

TEST_F(DibLoaderTest, BlockGoesWithTheImageOnlyWhenHandedOver) {
  const HGLOBAL kept = Kept(Block(WhiteFirst()));
  const HGLOBAL given = Block(WhiteFirst());
  ImageId first = kNoImage, second = kNoImage;
  ASSERT_EQ(LoadFromGdiDib(kept, false, false, first), QuorvexStatus::OK);
  ASSERT_EQ(LoadFromGdiDib(given, true, false, second), QuorvexStatus::OK);
  EXPECT_EQ(GlobalLockCount(kept), 0u);
  EXPECT_EQ(GlobalLockCount(given), 0u);
  EXPECT_EQ(SlotOf(first)->DibMemory, kNullHglobal);
  ReleaseImage(first);
  ReleaseImage(second);
  EXPECT_NE(GlobalSize(kept), 0u);
  EXPECT_EQ(GlobalSize(given), 0u) << "the handed-over block is freed with its image";
}

TEST_F(DibLoaderTest, BlocksThatDoNotHoldWhatTheirHeaderDescribesAreRefused) {
  auto withHeader = [](DibParts parts, auto change) {
    change(parts.header);
    return parts;
  };
  DibParts rle = withHeader(Dib(4, 4, 8, std::vector<std::uint32_t>(256), {0, 1}), [](BITMAPINFOHEADER& h) {
    h.biCompression = BI_RLE8;
    h.biSizeImage = 64;
  });
  struct Case {
    const char* what;
    DibParts parts;
    std::size_t missing;
  };
  const Case cases[] = {
      {"last row byte missing", BlackFirst(), 1},
      {"header cut short", BlackFirst(), 8 + 8 + 1},
      {"8-bit table of 16 entries", Dib(4, 1, 8, std::vector<std::uint32_t>(16), {1, 2, 3, 4}), 0},
      {"RLE size past the block", rle, 0},
      {"2-bit table past the block", Dib(4, 1, 2, {}, {1, 2, 3, 4}), 0},
      {"masks past the block",
       withHeader(Dib(1, 1, 32, {}, {1, 2, 3, 4}), [](auto& h) { h.biCompression = BI_BITFIELDS; }), 0},
      {"huge height", withHeader(BlackFirst(), [](auto& h) { h.biHeight = -100000; }), 0},
      {"no width", withHeader(BlackFirst(), [](auto& h) { h.biWidth = 0; }), 0},
      {"larger header", withHeader(BlackFirst(), [](auto& h) { h.biSize = 124; }), 0},
  };
  for (const Case& c : cases) {
    ImageId id = 7;
    EXPECT_EQ(Load(Kept(Block(c.parts, c.missing)), id), QuorvexStatus::InvalidParameter) << c.what;
    EXPECT_EQ(id, kNoImage) << c.what;
  }
  ImageId id = kNoImage;
  EXPECT_EQ(Load(kNullHglobal, id), QuorvexStatus::InvalidParameter);
  const HGLOBAL freed = Block(BlackFirst());
  GlobalFree(freed);
  EXPECT_EQ(Load(freed, id), QuorvexStatus::GenericError);
  EXPECT_TRUE(Images().Slots.empty());
}

}  // namespace
}  // namespace pixavue::engine::test
