// Saving as GIF and loading back: indexed images keep palette and indices,
// images of up to 256 colours keep them exactly, others map to a fixed
// table.

#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "codec.h"
#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

class GifEncoderTest : public GdiplusTest {
 protected:
  // Saves and returns the file's bytes.
  std::vector<std::uint8_t> SaveAsGif(GpImage* image) {
    const auto path = temp_dir() / "saved.gif";
    EXPECT_EQ(SaveImage(image, path, CLSID_GifCodec), Ok);
    return ReadFile(path);
  }
  static gdiplus::DecodedImage Decode(const std::vector<std::uint8_t>& bytes) {
    gdiplus::DecodedImage decoded;
    EXPECT_EQ(gdiplus::DecodeGif(std::make_shared<const std::vector<std::uint8_t>>(bytes), {}, decoded), Ok);
    return decoded;
  }
  // An indexed bitmap over `bits` (rows padded to 4 bytes) with `palette`.
  static GpBitmap* IndexedBitmap(INT width, INT height, PixelFormat format, std::vector<std::uint8_t>& bits,
                                 const std::vector<ARGB>& palette) {
    const INT stride = static_cast<INT>(bits.size()) / height;
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromScan0(width, height, stride, format, bits.data(), &bitmap), Ok);
    std::vector<std::uint8_t> storage(sizeof(ColorPalette) + palette.size() * sizeof(ARGB));
    auto* header = reinterpret_cast<ColorPalette*>(storage.data());
    header->Flags = 0;
    header->Count = static_cast<UINT32>(palette.size());
    std::copy(palette.begin(), palette.end(), header->Entries);
    EXPECT_EQ(GdipSetImagePalette(bitmap, header), Ok);
    return bitmap;
  }
};

TEST_F(GifEncoderTest, EightBitIndexedKeepsPaletteAndIndices) {
  std::vector<ARGB> palette(256);
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = 0xFF000000u | (i * 0x010307u & 0xFFFFFFu);
  palette[2] = 0x00ABCDEFu;  // the first fully transparent entry
  palette[5] = 0x00111111u;
  constexpr INT kWidth = 13, kHeight = 3;
  std::vector<std::uint8_t> bits(16 * kHeight);
  for (INT y = 0; y < kHeight; ++y) {
    for (INT x = 0; x < kWidth; ++x) bits[static_cast<std::size_t>(y * 16 + x)] = static_cast<std::uint8_t>(x * 19 + y * 77);
  }
  ImageGuard bitmap(IndexedBitmap(kWidth, kHeight, PixelFormat8bppIndexed, bits, palette));
  const auto decoded = Decode(SaveAsGif(bitmap.get()));
  ASSERT_EQ(decoded.frame.pixels.format(), PixelFormat8bppIndexed);
  ASSERT_EQ(decoded.frame.pixels.width(), static_cast<std::uint32_t>(kWidth));
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    for (std::uint32_t x = 0; x < kWidth; ++x) EXPECT_EQ(decoded.frame.pixels.Row(y)[x], bits[y * 16 + x]) << x << "," << y;
  }
  std::vector<ARGB> expected = palette;
  expected[5] = 0xFF111111u;  // only one entry can be transparent in a GIF
  EXPECT_EQ(decoded.frame.palette, expected);
}

TEST_F(GifEncoderTest, FourAndOneBitIndexedUseSmallColourTables) {
  std::vector<std::uint8_t> nibbles{0x01, 0x23, 0x45, 0x60, 0x89, 0xAB, 0xCD, 0xE0};  // 7x2, stride 4
  std::vector<ARGB> palette16;
  for (std::uint32_t i = 0; i < 16; ++i) palette16.push_back(0xFF000000u | (i * 0x0F0F0Fu));
  ImageGuard four(IndexedBitmap(7, 2, PixelFormat4bppIndexed, nibbles, palette16));
  const auto decoded4 = Decode(SaveAsGif(four.get()));
  EXPECT_EQ(decoded4.frame.palette, palette16);
  const std::vector<std::uint8_t> row0(decoded4.frame.pixels.Row(0), decoded4.frame.pixels.Row(0) + 7);
  const std::vector<std::uint8_t> row1(decoded4.frame.pixels.Row(1), decoded4.frame.pixels.Row(1) + 7);
  EXPECT_EQ(row0, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(row1, (std::vector<std::uint8_t>{8, 9, 10, 11, 12, 13, 14}));

  std::vector<std::uint8_t> bits{0b10110000, 0, 0, 0};  // 4x1
  ImageGuard one(IndexedBitmap(4, 1, PixelFormat1bppIndexed, bits, {0xFF102030u, 0x00405060u}));
  const auto decoded1 = Decode(SaveAsGif(one.get()));
  EXPECT_EQ(decoded1.frame.palette, (std::vector<ARGB>{0xFF102030u, 0x00405060u}));
  const std::vector<std::uint8_t> row(decoded1.frame.pixels.Row(0), decoded1.frame.pixels.Row(0) + 4);
  EXPECT_EQ(row, (std::vector<std::uint8_t>{1, 0, 1, 1}));
}

TEST_F(GifEncoderTest, FewColoursAreKeptExactlyWithOneTransparentColour) {
  // 254 + 1 opaque colours plus transparent pixels of several kinds: at most
  // 256 table entries. Alpha 200 counts as opaque, alpha 100 as transparent.
  constexpr std::uint32_t kWidth = 16, kHeight = 17;
  std::vector<ARGB> pixels;
  for (std::uint32_t i = 0; i < 254; ++i) pixels.push_back(0xFF000000u | (i * 0x0A0B07u & 0xFFFFFFu) | 0x000100u * (i & 1));
  pixels.push_back(0x00FF00FFu);
  pixels.push_back(0x64123456u);
  pixels.push_back(0xC8102030u);
  while (pixels.size() < kWidth * kHeight) pixels.push_back(pixels[pixels.size() % 7]);
  ImageGuard bitmap(MakeBitmap(kWidth, kHeight, PixelFormat32bppARGB, pixels));
  const auto bytes = SaveAsGif(bitmap.get());
  const auto path = temp_dir() / "reload.gif";
  WriteFile(path, bytes);
  ImageGuard loaded(LoadImage(path));
  ASSERT_NE(loaded.get(), nullptr);
  const std::vector<ARGB> back = ReadArgbPixels(loaded.get());
  ASSERT_EQ(back.size(), pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const ARGB expected = (pixels[i] >> 24) < 128 ? 0u : (pixels[i] | 0xFF000000u);
    EXPECT_EQ(back[i], expected) << i;
  }
}

TEST_F(GifEncoderTest, ManyColoursMapToTheNearestFixedEntry) {
  constexpr std::uint32_t kSide = 32;
  std::vector<ARGB> pixels;
  for (std::uint32_t y = 0; y < kSide; ++y) {
    for (std::uint32_t x = 0; x < kSide; ++x) pixels.push_back(0xFF000000u | (x * 8 << 16) | (y * 8 << 8) | 0x80u);
  }
  pixels[0] = 0xFF336699u;  // exactly a cube entry
  pixels[1] = 0xFF7F7F7Fu;  // nearest to a grey: 0x80 is 1 off, the cube's 0x66 25 off
  pixels[2] = 0x10FFFFFFu;  // transparent
  ImageGuard bitmap(MakeBitmap(kSide, kSide, PixelFormat24bppRGB, pixels));
  ImageGuard alpha(MakeBitmap(kSide, kSide, PixelFormat32bppARGB, pixels));
  const auto bytes = SaveAsGif(bitmap.get());
  EXPECT_EQ(SaveAsGif(bitmap.get()), bytes) << "deterministic";
  const auto decoded = Decode(bytes);
  ASSERT_EQ(decoded.frame.palette.size(), 256u);
  auto colour = [&](std::uint32_t x, std::uint32_t y) { return decoded.frame.palette[decoded.frame.pixels.Row(y)[x]]; };
  EXPECT_EQ(colour(0, 0), 0xFF336699u);
  EXPECT_EQ(colour(1, 0), 0xFF808080u);
  for (std::uint32_t y = 0; y < kSide; ++y) {
    for (std::uint32_t x = 3; x < kSide; ++x) {
      const ARGB original = pixels[y * kSide + x], mapped = colour(x, y);
      // Never farther than the nearest cube entry, at most 25 off a channel.
      int squared = 0;
      for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((original >> shift) & 0xFF) - static_cast<int>((mapped >> shift) & 0xFF);
        squared += d * d;
      }
      EXPECT_LE(squared, 3 * 25 * 25) << x << "," << y;
    }
  }
  const auto withAlpha = Decode(SaveAsGif(alpha.get()));
  ASSERT_TRUE(withAlpha.frame.paletteFlags & PaletteFlagsHasAlpha);
  EXPECT_EQ(withAlpha.frame.palette[withAlpha.frame.pixels.Row(0)[2]] >> 24, 0u);
}

}  // namespace
}  // namespace pixavue::platform::test
