// Palettes, icons, metafile handles, window surfaces and handle checks.

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include <pixavue/platform/window/window.h>

#include "gdi_test_support.h"

namespace pixavue::platform::testing {
namespace {

using ObjectTest = GdiTest;

HPALETTE MakePalette(int count) {
  std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
  auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<std::uint16_t>(count);
  for (int i = 0; i < count; ++i) palette->palPalEntry[i] = {static_cast<std::uint8_t>(i), 0, 0, 0};
  return CreatePalette(palette);
}

TEST_F(ObjectTest, PalettesCopyTheirEntries) {
  const HPALETTE palette = MakePalette(5);
  ASSERT_NE(palette, HPALETTE{});
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 5u);
  PALETTEENTRY entries[5];
  EXPECT_EQ(GetPaletteEntries(palette, 3, 9, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 4);
  EXPECT_EQ(GetPaletteEntries(palette, 5, 1, entries), 0u);
  std::uint16_t count = 0;
  EXPECT_EQ(GetObject(ToGdiObject(palette), sizeof count, &count), 2);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(GetObjectType(ToGdiObject(palette)), OBJ_PAL);

  const HDC dc = CreateCompatibleDC(HDC{});
  const HGDIOBJ stock = SelectObject(dc, ToGdiObject(palette));
  EXPECT_EQ(GetPaletteEntries(FromGdiObject<HPALETTE>(stock), 0, 0, nullptr), 20u);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), ToGdiObject(palette));
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(ToGdiObject(palette)));
  EXPECT_EQ(MakePalette(0), HPALETTE{});
}

TEST_F(ObjectTest, StaleAndWrongKindHandlesAreRefused) {
  const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
  const HPALETTE palette = MakePalette(2);
  EXPECT_FALSE(BitmapPixels(FromGdiObject<HBITMAP>(ToGdiObject(palette))));
  EXPECT_EQ(GetPaletteEntries(FromGdiObject<HPALETTE>(ToGdiObject(bitmap)), 0, 0, nullptr), 0u);
  EXPECT_FALSE(DestroyIcon(FromGdiObject<HICON>(ToGdiObject(bitmap))));
  EXPECT_FALSE(DeleteDC(FromGdiObject<HDC>(ToGdiObject(bitmap))));
  EXPECT_TRUE(DeleteObject(ToGdiObject(bitmap)));
  EXPECT_TRUE(DeleteObject(ToGdiObject(palette)));
  for (const HGDIOBJ stale : {ToGdiObject(bitmap), ToGdiObject(palette), HGDIOBJ{0x7FFFFFFF}, HGDIOBJ{}}) {
    BITMAP description;
    EXPECT_EQ(GetObject(stale, sizeof description, &description), 0);
    EXPECT_EQ(GetObjectType(stale), 0u);
    EXPECT_FALSE(DeleteObject(stale));
  }
  EXPECT_FALSE(BitmapPixels(bitmap));
  EXPECT_EQ(SelectedBitmap(HDC{12345}), HBITMAP{});
}

TEST_F(ObjectTest, IconsOwnCopiesOfTheirBitmaps) {
  const std::uint8_t maskBits[4] = {0x80, 0, 0x40, 0};
  const HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
  const HBITMAP color = CreateBitmap(2, 2, 1, 32, nullptr);
  ICONINFO info;
  info.hbmMask = mask;
  info.hbmColor = color;
  info.xHotspot = 1;
  const HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, HICON{});
  DeleteObject(ToGdiObject(mask));
  DeleteObject(ToGdiObject(color));
  EXPECT_EQ(GetObjectType(ToGdiObject(icon)), 0u) << "icons are not GDI objects";
  EXPECT_FALSE(DeleteObject(ToGdiObject(icon)));

  ICONINFO copy;
  ASSERT_TRUE(GetIconInfo(icon, &copy));
  EXPECT_EQ(copy.xHotspot, 1u);
  EXPECT_NE(copy.hbmMask, mask);
  EXPECT_EQ(ReadRgb(copy.hbmMask, 2, 2), (std::vector<std::uint32_t>{0xFFFFFF, 0, 0, 0xFFFFFF}));
  EXPECT_EQ(BitmapPixels(copy.hbmColor)->bitsPerPixel, 32);
  DeleteObject(ToGdiObject(copy.hbmMask));
  DeleteObject(ToGdiObject(copy.hbmColor));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(GetIconInfo(icon, &copy));

  // A monochrome icon needs an even mask height; colour and mask must match.
  const HBITMAP odd = CreateBitmap(2, 3, 1, 1, nullptr);
  const HBITMAP big = CreateBitmap(4, 4, 1, 32, nullptr);
  ICONINFO bad;
  bad.hbmMask = odd;
  EXPECT_EQ(CreateIconIndirect(&bad), HICON{});
  bad.hbmColor = big;
  EXPECT_EQ(CreateIconIndirect(&bad), HICON{});
  bad.hbmMask = HBITMAP{};
  EXPECT_EQ(CreateIconIndirect(&bad), HICON{});
  DeleteObject(ToGdiObject(odd));
  DeleteObject(ToGdiObject(big));
}

std::vector<std::uint8_t> TinyWmf() {
  // METAHEADER (9 words) then the end record (3 words).
  std::vector<std::uint8_t> bytes(24, 0);
  const std::uint16_t header[9] = {1, 9, 0x300, 12, 0, 0, 3, 0, 0};
  std::memcpy(bytes.data(), header, sizeof header);
  bytes[18] = 3;
  return bytes;
}

std::vector<std::uint8_t> TinyEmf() {
  ENHMETAHEADER header;
  header.nSize = sizeof header;
  header.nBytes = sizeof header + 20;
  header.nRecords = 2;
  std::vector<std::uint8_t> bytes(header.nBytes, 0);
  std::memcpy(bytes.data(), &header, sizeof header);
  const DWORD eof[5] = {14, 20, 0, 0, 20};
  std::memcpy(bytes.data() + sizeof header, eof, sizeof eof);
  return bytes;
}

TEST_F(ObjectTest, MetafileHandlesCheckHeadersAndCopyBytes) {
  std::vector<std::uint8_t> wmf = TinyWmf();
  wmf.resize(40, 0xEE);  // trailing bytes past mtSize are not kept
  const HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(wmf.size()), wmf.data());
  ASSERT_NE(metafile, HMETAFILE{});
  EXPECT_EQ(GetObjectType(ToGdiObject(metafile)), OBJ_METAFILE);
  EXPECT_EQ(GetMetaFileBitsEx(metafile, 0, nullptr), 24u);
  std::uint8_t back[24];
  EXPECT_EQ(GetMetaFileBitsEx(metafile, 23, back), 0u);
  EXPECT_EQ(GetMetaFileBitsEx(metafile, 24, back), 24u);
  EXPECT_EQ(std::memcmp(back, wmf.data(), 24), 0);
  EXPECT_FALSE(DeleteEnhMetaFile(FromGdiObject<HENHMETAFILE>(ToGdiObject(metafile))));
  EXPECT_TRUE(DeleteMetaFile(metafile));

  const std::vector<std::uint8_t> emf = TinyEmf();
  const HENHMETAFILE enhanced = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
  ASSERT_NE(enhanced, HENHMETAFILE{});
  ENHMETAHEADER header;
  EXPECT_EQ(GetEnhMetaFileHeader(enhanced, 0, nullptr), 88u);
  EXPECT_EQ(GetEnhMetaFileHeader(enhanced, sizeof header, &header), 88u);
  EXPECT_EQ(header.nRecords, 2u);
  const auto path = std::filesystem::temp_directory_path() / "pixavue_gdi_copy.emf";
  const HENHMETAFILE copy = CopyEnhMetaFile(enhanced, path.c_str());
  ASSERT_NE(copy, HENHMETAFILE{});
  EXPECT_EQ(std::filesystem::file_size(path), emf.size());
  std::filesystem::remove(path);
  EXPECT_EQ(GetEnhMetaFileBits(copy, 0, nullptr), emf.size());
  EXPECT_EQ(CopyEnhMetaFile(enhanced, "/nonexistent-dir/x.emf"), HENHMETAFILE{});
  // A pipe is neither written into (which would wait for a reader) nor replaced.
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(CopyEnhMetaFile(enhanced, path.c_str()), HENHMETAFILE{});
  EXPECT_EQ(std::filesystem::status(path).type(), std::filesystem::file_type::fifo);
  std::filesystem::remove(path);
  DeleteEnhMetaFile(copy);
  DeleteEnhMetaFile(enhanced);

  // Truncated or wrong headers are refused.
  EXPECT_EQ(SetMetaFileBitsEx(20, wmf.data()), HMETAFILE{});
  EXPECT_EQ(SetMetaFileBitsEx(static_cast<UINT>(wmf.size()), nullptr), HMETAFILE{});
  EXPECT_EQ(SetEnhMetaFileBits(static_cast<UINT>(emf.size() - 1), emf.data()), HENHMETAFILE{});
  std::vector<std::uint8_t> notEmf = emf;
  notEmf[40] = 'X';
  EXPECT_EQ(SetEnhMetaFileBits(static_cast<UINT>(notEmf.size()), notEmf.data()), HENHMETAFILE{});
  EXPECT_EQ(SetEnhMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data()), HENHMETAFILE{});
}

TEST_F(ObjectTest, WindowContextsShowARetainedSurfaceSizedToTheClientArea) {
  WindowCreateInfo create;
  create.width = 40;
  create.height = 30;
  const HWND window = CreateWindow(create);
  ASSERT_NE(window, kNoWindow);
  EXPECT_EQ(WindowSurface(window), HBITMAP{});

  const HDC dc = GetDC(window);
  ASSERT_NE(dc, HDC{});
  const HBITMAP surface = SelectedBitmap(dc);
  EXPECT_EQ(WindowSurface(window), surface);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 40);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 30);
  std::optional<GdiPixels> pixels = BitmapPixels(surface);
  EXPECT_FALSE(pixels->bottomUp);
  pixels->bits[0] = 0x5A;
  EXPECT_FALSE(DeleteObject(ToGdiObject(surface)));
  EXPECT_FALSE(ReleaseWindowSurface(window)) << "a context still shows it";
  EXPECT_EQ(ReleaseDC(kNoWindow, dc), 0) << "released with its own window";
  EXPECT_EQ(ReleaseDC(window, dc), 1);

  // A resize keeps the handle and the pixels both sizes share.
  MoveWindow(window, 0, 0, 10, 50);
  const HDC again = GetDC(window);
  EXPECT_EQ(SelectedBitmap(again), surface);
  pixels = BitmapPixels(surface);
  EXPECT_EQ(pixels->width, 10);
  EXPECT_EQ(pixels->height, 50);
  EXPECT_EQ(pixels->bits[0], 0x5A);
  ReleaseDC(window, again);
  EXPECT_TRUE(ReleaseWindowSurface(window));
  EXPECT_FALSE(ReleaseWindowSurface(window));

  // The surface goes with its window.
  ReleaseDC(window, GetDC(window));
  const std::size_t withSurface = GdiObjectCount();
  DestroyWindow(window);
  EXPECT_EQ(GdiObjectCount(), withSurface - 1);
  EXPECT_EQ(GetDC(window), HDC{});
  EXPECT_EQ(WindowSurface(window), HBITMAP{});

  // One still shown by a context when its window goes is freed at the next
  // look after the context is released.
  const HWND other = CreateWindow(create);
  const HDC held = GetDC(other);
  const std::size_t withHeld = GdiObjectCount();
  DestroyWindow(other);
  EXPECT_EQ(GdiObjectCount(), withHeld);
  ReleaseDC(other, held);
  EXPECT_EQ(WindowSurface(other), HBITMAP{});
  EXPECT_EQ(GdiObjectCount(), withHeld - 2);
}

}  // namespace
}  // namespace pixavue::platform::testing
