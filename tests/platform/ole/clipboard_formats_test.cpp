// The process clipboard: open and close rules, ownership of the data set on
// it, CF_DIB and CF_BITMAP made from each other, and the desktop bridge.

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/picture_dib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace pixavue::platform {
namespace {

constexpr HWND kWindow{7};

// A bottom-up packed DIB of width x 2 pixels with a full colour table for up
// to 8 bits, or the 5-6-5 masks for 16 bits, and rows of counting bytes.
std::vector<BYTE> PackedDib(int width, int bitCount) {
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = 2;
  header.biBitCount = static_cast<std::uint16_t>(bitCount);
  const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  header.biSizeImage = static_cast<DWORD>(stride * 2);
  std::vector<BYTE> table;
  if (bitCount <= 8) {
    header.biClrUsed = 1u << bitCount;
    for (DWORD i = 0; i < header.biClrUsed; ++i) table.insert(table.end(), {BYTE(i), BYTE(i * 3), BYTE(255 - i), 0});
  } else if (bitCount == 16) {
    header.biCompression = BI_BITFIELDS;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    table.resize(sizeof(masks));
    std::memcpy(table.data(), masks, sizeof(masks));
  }
  std::vector<BYTE> dib(sizeof(header));
  std::memcpy(dib.data(), &header, sizeof(header));
  dib.insert(dib.end(), table.begin(), table.end());
  for (std::size_t i = 0; i < header.biSizeImage; ++i) {
    // Padding bytes after the last pixel byte of a row stay 0.
    dib.push_back(i % stride < (static_cast<std::size_t>(width) * bitCount + 7) / 8 ? BYTE(i * 37 + 1) : 0);
  }
  return dib;
}

HGLOBAL Block(const std::vector<BYTE>& bytes) {
  const HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<BYTE> BlockBytes(HGLOBAL block) {
  const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  std::vector<BYTE> out(bytes, bytes + GlobalSize(block));
  GlobalUnlock(block);
  return out;
}

class FakeBridge final : public ClipboardBridge {
 public:
  void Changed(const ClipboardSnapshot& snapshot) override { snapshots.push_back(snapshot); }
  std::optional<std::vector<BYTE>> ReadExternalDib() override { return std::exchange(external, std::nullopt); }

  std::vector<ClipboardSnapshot> snapshots;
  std::optional<std::vector<BYTE>> external;
};

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = GdiObjectCount(); }
  void TearDown() override {
    SetClipboardBridge(nullptr);
    ASSERT_TRUE(OpenClipboard(kWindow));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GdiObjectCount(), baseline_) << "graphics objects left behind";
  }

  static std::vector<UINT> Formats() {
    std::vector<UINT> formats;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
      formats.push_back(format);
    }
    return formats;
  }

 private:
  std::size_t baseline_ = 0;
};

TEST_F(ClipboardTest, UsableOnlyByTheThreadThatOpenedIt) {
  const HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, nullptr);
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_BITMAP, ToHandle(bitmap)), HANDLE{});
  EXPECT_EQ(GetClipboardData(CF_BITMAP), HANDLE{});
  EXPECT_FALSE(CloseClipboard());

  ASSERT_TRUE(OpenClipboard(kWindow));
  EXPECT_TRUE(OpenClipboard(kWindow)) << "the same window may open it again";
  EXPECT_FALSE(OpenClipboard(HWND{8}));
  EXPECT_EQ(SetClipboardData(CF_BITMAP, ToHandle(bitmap)), ToHandle(bitmap));
  std::thread([] {
    EXPECT_FALSE(OpenClipboard(kWindow));
    EXPECT_EQ(GetClipboardData(CF_BITMAP), HANDLE{});
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  }).join();
  EXPECT_TRUE(CloseClipboard());
  std::thread([bitmap] {
    ASSERT_TRUE(OpenClipboard(kNoWindow));
    EXPECT_EQ(GetClipboardData(CF_BITMAP), ToHandle(bitmap));
    EXPECT_TRUE(CloseClipboard());
  }).join();
}

TEST_F(ClipboardTest, OwnsWhatIsSetAndDeletesItWhenReplacedOrEmptied) {
  const std::size_t before = GdiObjectCount();
  const HBITMAP first = CreateBitmap(2, 2, 1, 24, nullptr), second = CreateBitmap(3, 3, 1, 24, nullptr);
  LOGPALETTE logical;
  logical.palNumEntries = 1;
  const HPALETTE palette = CreatePalette(&logical);
  const std::vector<BYTE> wmf = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
  METAFILEPICT picture;
  picture.hMF = SetMetaFileBitsEx(static_cast<UINT>(wmf.size()), wmf.data());
  const HGLOBAL pictureBlock = GlobalAlloc(GHND, sizeof(picture));
  std::memcpy(GlobalLock(pictureBlock), &picture, sizeof(picture));
  GlobalUnlock(pictureBlock);
  const HGLOBAL dib = Block(PackedDib(2, 24));

  ASSERT_TRUE(OpenClipboard(kWindow));
  // Refused handles stay the caller's.
  EXPECT_EQ(SetClipboardData(CF_BITMAP, ToHandle(palette)), HANDLE{});
  EXPECT_EQ(SetClipboardData(CF_PALETTE, ToHandle(first)), HANDLE{});
  EXPECT_EQ(SetClipboardData(CF_DIB, ToHandle(first)), HANDLE{});
  EXPECT_EQ(SetClipboardData(1, ToHandle(dib)), HANDLE{}) << "CF_TEXT is not kept";
  EXPECT_EQ(SetClipboardData(CF_METAFILEPICT, ToHandle(dib)), HANDLE{});
  EXPECT_EQ(SetClipboardData(CF_BITMAP, HANDLE{}), HANDLE{});
  EXPECT_EQ(GdiObjectCount(), before + 4);

  EXPECT_NE(SetClipboardData(CF_BITMAP, ToHandle(first)), HANDLE{});
  EXPECT_NE(SetClipboardData(CF_BITMAP, ToHandle(second)), HANDLE{});
  EXPECT_EQ(GetObjectType(ToGdiObject(first)), 0u) << "replaced data is deleted";
  EXPECT_NE(SetClipboardData(CF_PALETTE, ToHandle(palette)), HANDLE{});
  EXPECT_NE(SetClipboardData(CF_METAFILEPICT, ToHandle(pictureBlock)), HANDLE{});
  EXPECT_NE(SetClipboardData(CF_DIB, ToHandle(dib)), HANDLE{});
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_BITMAP, CF_PALETTE, CF_METAFILEPICT, CF_DIB}));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), ToHandle(second));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(Formats(), std::vector<UINT>{});
  EXPECT_EQ(GdiObjectCount(), before) << "bitmap, palette and the picture's metafile are deleted";
  EXPECT_EQ(GlobalSize(dib), 0u);
  EXPECT_EQ(GlobalSize(pictureBlock), 0u);
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardTest, DibAndBitmapAreMadeFromEachOther) {
  for (int bitCount : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bitCount);
    const std::vector<BYTE> dib = PackedDib(5, bitCount);
    ASSERT_TRUE(OpenClipboard(kWindow));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(CF_DIB, ToHandle(Block(dib))), HANDLE{});
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_EQ(Formats(), (std::vector<UINT>{CF_DIB, CF_BITMAP}));
    const HBITMAP bitmap = FromHandle<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, HBITMAP{});
    EXPECT_EQ(GetClipboardData(CF_BITMAP), ToHandle(bitmap)) << "made once and kept";
    EXPECT_EQ(PackedDibFromBitmap(bitmap), dib);

    // The other way: a bitmap set alone gives the same packed DIB.
    const HBITMAP copy = BitmapFromPackedDib(dib);
    ASSERT_NE(SetClipboardData(CF_BITMAP, ToHandle(copy)), HANDLE{});
    EXPECT_EQ(GetObjectType(ToGdiObject(bitmap)), 0u) << "the bitmap made from the old DIB went";
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(CF_BITMAP, ToHandle(BitmapFromPackedDib(dib))), HANDLE{});
    EXPECT_EQ(BlockBytes(FromHandle<HGLOBAL>(GetClipboardData(CF_DIB))), dib);
    EXPECT_TRUE(CloseClipboard());
  }
}

TEST_F(ClipboardTest, IncompleteDibGivesNoBitmap) {
  std::vector<BYTE> dib = PackedDib(4, 8);
  dib.pop_back();
  std::vector<BYTE> table = PackedDib(4, 8);
  table.resize(40 + 100);
  ASSERT_TRUE(OpenClipboard(kWindow));
  for (const auto& bytes : {dib, table}) {
    ASSERT_NE(SetClipboardData(CF_DIB, ToHandle(Block(bytes))), HANDLE{});
    EXPECT_EQ(GetClipboardData(CF_BITMAP), HANDLE{});
  }
  EXPECT_EQ(BitmapFromPackedDib({}), HBITMAP{});
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardTest, BridgeSeesChangesAndBringsInOtherApplicationsImages) {
  FakeBridge bridge;
  SetClipboardBridge(&bridge);
  const std::vector<BYTE> dib = PackedDib(3, 24);
  ASSERT_TRUE(OpenClipboard(kWindow));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_TRUE(bridge.snapshots.empty()) << "nothing changed";

  ASSERT_TRUE(OpenClipboard(kWindow));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_NE(SetClipboardData(CF_BITMAP, ToHandle(BitmapFromPackedDib(dib))), HANDLE{});
  EXPECT_TRUE(bridge.snapshots.empty()) << "told only when closed";
  ASSERT_TRUE(CloseClipboard());
  ASSERT_EQ(bridge.snapshots.size(), 1u);
  EXPECT_EQ(bridge.snapshots[0].formats, (std::vector<UINT>{CF_BITMAP, CF_DIB}));
  EXPECT_EQ(bridge.snapshots[0].dib, dib);

  const std::vector<BYTE> external = PackedDib(2, 8);
  bridge.external = external;
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_PALETTE));
  ASSERT_TRUE(OpenClipboard(kWindow));
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_DIB, CF_BITMAP})) << "our bitmap was replaced";
  EXPECT_EQ(BlockBytes(FromHandle<HGLOBAL>(GetClipboardData(CF_DIB))), external);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(bridge.snapshots.size(), 1u) << "an imported image is not sent back";
}

}  // namespace
}  // namespace pixavue::platform
