// LockBits and UnlockBits through the flat interface: conversions in both
// directions, caller buffers, direct views and the lock's state rules.

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

constexpr UINT32 kRead = ImageLockModeRead;
constexpr UINT32 kWrite = ImageLockModeWrite;
constexpr UINT32 kUser = ImageLockModeUserInputBuf;

// One row of raw pixels in `format` and what it reads as.
struct ReadCase {
  PixelFormat format;
  std::vector<std::uint8_t> raw;
  std::vector<ARGB> argb;
  std::vector<ARGB> pargb;
};

const std::vector<ReadCase> kReadCases = {
    {PixelFormat1bppIndexed, {0xA0}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
    {PixelFormat4bppIndexed, {0x9C, 0xF0}, {0xFFFF0000, 0xFF0000FF, 0xFFFFFFFF}, {0xFFFF0000, 0xFF0000FF, 0xFFFFFFFF}},
    // Halftone palette: cube entry 40 + 36*5 + 3 and the fifth grey.
    {PixelFormat8bppIndexed, {223, 20, 0}, {0xFFFF0099, 0xFF333333, 0xFF000000}, {0xFFFF0099, 0xFF333333, 0xFF000000}},
    {PixelFormat16bppGrayScale,
     {0x80, 0x00, 0x81, 0x00, 0xFF, 0xFF},
     {0xFF000000, 0xFF010101, 0xFFFFFFFF},
     {0xFF000000, 0xFF010101, 0xFFFFFFFF}},
    {PixelFormat16bppRGB555,
     {0x01, 0x7E, 0x00, 0x00, 0xFF, 0xFF},
     {0xFFFF8408, 0xFF000000, 0xFFFFFFFF},
     {0xFFFF8408, 0xFF000000, 0xFFFFFFFF}},
    {PixelFormat16bppRGB565,
     {0x01, 0xFC, 0x00, 0x00, 0xFF, 0xFF},
     {0xFFFF8208, 0xFF000000, 0xFFFFFFFF},
     {0xFFFF8208, 0xFF000000, 0xFFFFFFFF}},
    {PixelFormat16bppARGB1555,
     {0x01, 0xFE, 0x01, 0x7E, 0xFF, 0xFF},
     {0xFFFF8408, 0x00FF8408, 0xFFFFFFFF},
     {0xFFFF8408, 0x00000000, 0xFFFFFFFF}},
    {PixelFormat24bppRGB,
     {0x11, 0x22, 0x33, 0xFF, 0x00, 0x80, 0, 0, 0},
     {0xFF332211, 0xFF8000FF, 0xFF000000},
     {0xFF332211, 0xFF8000FF, 0xFF000000}},
    {PixelFormat32bppRGB,
     {0x44, 0x33, 0x22, 0x00, 0, 0, 0, 0x7F, 1, 2, 3, 4},
     {0xFF223344, 0xFF000000, 0xFF030201},
     {0xFF223344, 0xFF000000, 0xFF030201}},
    {PixelFormat32bppARGB,
     {0x10, 0x20, 0x40, 0x80, 0x33, 0x22, 0x11, 0x00, 1, 2, 3, 0xFF},
     {0x80402010, 0x00112233, 0xFF030201},
     {0x80201008, 0x00000000, 0xFF030201}},
    // Stored premultiplied; a = 0 reads as 0 and colour above alpha clamps.
    {PixelFormat32bppPARGB,
     {0x10, 0x20, 0x40, 0x80, 0x33, 0x22, 0x11, 0x00, 0x00, 0x00, 0xFF, 0x10},
     {0x80804020, 0x00000000, 0x10FF0000},
     {0x80402010, 0x00112233, 0x10FF0000}},
    {PixelFormat48bppRGB,
     {0x81, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
     {0xFFFF8001, 0xFF000000, 0xFFFFFFFF},
     {0xFFFF8001, 0xFF000000, 0xFFFFFFFF}},
    {PixelFormat64bppARGB,
     {0x81, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0,    0,    0,    0,
      0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
     {0x80FF0001, 0x00000000, 0xFFFFFFFF},
     {0x80800001, 0x00000000, 0xFFFFFFFF}},
    {PixelFormat64bppPARGB,
     {0x00, 0x80, 0x00, 0x00, 0x00, 0x40, 0x00, 0x80, 1,    2,    3,    4,
      5,    6,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
     {0x808000FF, 0x00000000, 0xFFFFFFFF},
     {0x80400080, 0x00000000, 0xFFFFFFFF}},
};

// One ARGB pixel written into `format` and the bytes it becomes.
struct WriteCase {
  PixelFormat format;
  std::vector<ARGB> argb;
  std::vector<std::uint8_t> raw;
};

const std::vector<WriteCase> kWriteCases = {
    {PixelFormat16bppGrayScale, {0xFF336699}, {0xED, 0x5C}},
    {PixelFormat16bppRGB555, {0xFF336699}, {0x93, 0x19}},
    {PixelFormat16bppRGB565, {0xFF336699}, {0x33, 0x33}},
    {PixelFormat16bppARGB1555, {0x80336699, 0x7F336699}, {0x93, 0x99, 0x93, 0x19}},
    {PixelFormat24bppRGB, {0x80336699}, {0x99, 0x66, 0x33}},
    {PixelFormat32bppRGB, {0x80336699}, {0x99, 0x66, 0x33, 0xFF}},
    {PixelFormat32bppARGB, {0x80336699}, {0x99, 0x66, 0x33, 0x80}},
    {PixelFormat32bppPARGB, {0x80336699, 0x00FFFFFF}, {0x4D, 0x33, 0x1A, 0x80, 0, 0, 0, 0}},
    {PixelFormat48bppRGB, {0x80336699}, {0x99, 0x99, 0x66, 0x66, 0x33, 0x33}},
    {PixelFormat64bppARGB, {0x80336699}, {0x99, 0x99, 0x66, 0x66, 0x33, 0x33, 0x80, 0x80}},
    {PixelFormat64bppPARGB, {0x80336699}, {0x1A, 0x4D, 0x66, 0x33, 0xB3, 0x19, 0x80, 0x80}},
};

// A bitmap over one caller row of raw pixels (padded to 4 bytes).
struct WrappedRow {
  std::vector<std::uint8_t> bytes;
  ImageGuard bitmap;

  WrappedRow(std::vector<std::uint8_t> raw, std::uint32_t width, PixelFormat format) : bytes(std::move(raw)) {
    bytes.resize((bytes.size() + 3) / 4 * 4);
    EXPECT_EQ(GdipCreateBitmapFromScan0(static_cast<INT>(width), 1, static_cast<INT>(bytes.size()), format,
                                        bytes.data(), bitmap.out()),
              Ok);
  }
};

std::vector<ARGB> LockRead(GpBitmap* bitmap, PixelFormat format, std::uint32_t width) {
  std::vector<ARGB> out(width, 0xDEADBEEF);
  BitmapData data;
  data.Stride = static_cast<INT>(width * 4);
  data.Scan0 = out.data();
  EXPECT_EQ(GdipBitmapLockBits(bitmap, nullptr, kRead | kUser, format, &data), Ok);
  EXPECT_EQ(GdipBitmapUnlockBits(bitmap, &data), Ok);
  return out;
}

class PixelsLockBits : public GdiplusTest {};

TEST_F(PixelsLockBits, EveryFormatReadsAsArgbAndPremultipliedArgb) {
  for (const ReadCase& c : kReadCases) {
    const auto width = static_cast<std::uint32_t>(c.argb.size());
    WrappedRow row(c.raw, width, c.format);
    EXPECT_EQ(LockRead(row.bitmap.get(), PixelFormat32bppARGB, width), c.argb) << std::hex << c.format;
    EXPECT_EQ(LockRead(row.bitmap.get(), PixelFormat32bppPARGB, width), c.pargb) << std::hex << c.format;
  }
}

TEST_F(PixelsLockBits, ArgbWritesIntoEveryStoredFormat) {
  for (const WriteCase& c : kWriteCases) {
    const auto width = static_cast<std::uint32_t>(c.argb.size());
    WrappedRow row(std::vector<std::uint8_t>(c.raw.size(), 0xEE), width, c.format);
    std::vector<ARGB> input = c.argb;
    BitmapData data;
    data.Stride = static_cast<INT>(width * 4);
    data.Scan0 = input.data();
    ASSERT_EQ(GdipBitmapLockBits(row.bitmap.get(), nullptr, kWrite | kUser, PixelFormat32bppARGB, &data), Ok);
    ASSERT_EQ(GdipBitmapUnlockBits(row.bitmap.get(), &data), Ok);
    EXPECT_EQ(std::vector<std::uint8_t>(row.bytes.begin(), row.bytes.begin() + c.raw.size()), c.raw)
        << std::hex << c.format;
  }
}

TEST_F(PixelsLockBits, SixteenBitChannelsStayExact) {
  // 48bppRGB read as 64bppARGB and written back from it, and 64bppARGB
  // locked as 64bppPARGB with full alpha.
  const std::vector<std::uint8_t> raw = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x02, 0x00, 0xFE, 0xFF};
  WrappedRow row(raw, 2, PixelFormat48bppRGB);
  std::vector<std::uint64_t> wide(2);
  BitmapData data;
  data.Stride = 16;
  data.Scan0 = wide.data();
  ASSERT_EQ(GdipBitmapLockBits(row.bitmap.get(), nullptr, kRead | kWrite | kUser, PixelFormat64bppARGB, &data), Ok);
  EXPECT_EQ(wide[0], 0xFFFFAB8967452301u);
  EXPECT_EQ(wide[1], 0xFFFFFFFE0002EFCDu);
  wide[0] = 0xFFFF000100020003u;
  ASSERT_EQ(GdipBitmapUnlockBits(row.bitmap.get(), &data), Ok);
  EXPECT_EQ(std::vector<std::uint8_t>(row.bytes.begin(), row.bytes.begin() + 6),
            (std::vector<std::uint8_t>{0x03, 0x00, 0x02, 0x00, 0x01, 0x00}));
  EXPECT_EQ(std::vector<std::uint8_t>(row.bytes.begin() + 6, row.bytes.begin() + 12),
            std::vector<std::uint8_t>(raw.begin() + 6, raw.end()));
}

TEST_F(PixelsLockBits, IndicesRoundTripInTheirOwnFormatAtAnyBitOffset) {
  // 20 pixels a row, 2 rows; lock 13 pixels from x = 3 of row 1.
  std::vector<std::uint8_t> bits = {0x00, 0x00, 0x00, 0x00, 0xB6, 0xDB, 0x60, 0x00};
  ImageGuard bitmap;
  ASSERT_EQ(GdipCreateBitmapFromScan0(20, 2, 4, PixelFormat1bppIndexed, bits.data(), bitmap.out()), Ok);
  const GpRect rect{3, 1, 13, 1};
  BitmapData data;
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &rect, kRead | kWrite, PixelFormat1bppIndexed, &data), Ok);
  EXPECT_EQ(data.PixelFormat, PixelFormat1bppIndexed);
  EXPECT_EQ(data.Width, 13u);
  auto* locked = static_cast<std::uint8_t*>(data.Scan0);
  // Row bits 1011 0110 1101 1011 0110 from x = 3: 1 0110 1101 1011 0.
  EXPECT_EQ(locked[0], 0xB6);
  EXPECT_EQ(locked[1] & 0xF8, 0xD8);
  locked[0] = 0x00;
  locked[1] = 0x00;
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
  // Only x = 3..15 were cleared: 101x... keeps its first three bits and the
  // last four (x = 16..19 = 0110).
  EXPECT_EQ(bits, (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0xA0, 0x00, 0x60, 0x00}));

  // 4-bit indices from an odd x into a caller buffer keep the caller's
  // bytes past the locked pixels.
  std::vector<std::uint8_t> nibbles = {0x12, 0x34, 0x56, 0x78};
  ImageGuard four;
  ASSERT_EQ(GdipCreateBitmapFromScan0(8, 1, 4, PixelFormat4bppIndexed, nibbles.data(), four.out()), Ok);
  std::vector<std::uint8_t> caller = {0xAA, 0xAA, 0xAA, 0xAA};
  const GpRect odd{1, 0, 3, 1};
  data.Stride = 4;
  data.Scan0 = caller.data();
  ASSERT_EQ(GdipBitmapLockBits(four.get(), &odd, kRead | kUser, PixelFormat4bppIndexed, &data), Ok);
  ASSERT_EQ(GdipBitmapUnlockBits(four.get(), &data), Ok);
  EXPECT_EQ(caller, (std::vector<std::uint8_t>{0x23, 0x4A, 0xAA, 0xAA}));
}

TEST_F(PixelsLockBits, ColoursWrittenIntoIndexedImagesTakeTheNearestEntry) {
  // 4-bit pixels over a caller row: a palette of red, green, blue, white,
  // transparent black; the colours go in through a 32bppARGB write lock.
  std::vector<std::uint8_t> nibbles = {0x00, 0x00, 0x00, 0x00};
  ImageGuard bitmap;
  ASSERT_EQ(GdipCreateBitmapFromScan0(6, 1, 4, PixelFormat4bppIndexed, nibbles.data(), bitmap.out()), Ok);
  std::vector<std::uint8_t> block(offsetof(ColorPalette, Entries) + 5 * sizeof(ARGB));
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  palette->Flags = PaletteFlagsHasAlpha;
  palette->Count = 5;
  const ARGB entries[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0x00000000};
  std::copy(std::begin(entries), std::end(entries), palette->Entries);
  ASSERT_EQ(GdipSetImagePalette(bitmap.get(), palette), Ok);

  // Exact blue, near green, near white, transparent, near red, grey (nearer
  // white than any primary).
  std::vector<ARGB> colours = {0xFF0000FF, 0xFF10F010, 0xFFF0F0F0, 0x00123456, 0xFFE01010, 0xFFA0A0A0};
  BitmapData data;
  data.Stride = 6 * 4;
  data.Scan0 = colours.data();
  const GpRect middle{0, 0, 6, 1};
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &middle, kWrite | kUser, PixelFormat32bppARGB, &data), Ok);
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
  EXPECT_EQ(nibbles, (std::vector<std::uint8_t>{0x21, 0x34, 0x03, 0x00}));
  EXPECT_EQ(ReadArgbPixels(bitmap.get()),
            (std::vector<ARGB>{0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF, 0x00000000, 0xFFFF0000, 0xFFFFFFFF}));
}

TEST_F(PixelsLockBits, CallerRowsWithEitherStrideSignStayInsideTheirPixels) {
  // 4x3 24-bit image; lock the 2x2 area at (1, 1) into 32-bit rows of a
  // 12-byte stride inside a guarded block.
  const std::vector<ARGB> pixels = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006,
                                    0xFF000007, 0xFF000008, 0xFF000009, 0xFF00000A, 0xFF00000B, 0xFF00000C};
  ImageGuard bitmap(MakeBitmap(4, 3, PixelFormat24bppRGB, pixels));
  const GpRect rect{1, 1, 2, 2};
  for (const INT stride : {12, -12}) {
    std::vector<ARGB> block(3 * 4 + 4, 0xABABABAB);  // a guard row above, 2 rows of 3, guards below
    ARGB* first = stride > 0 ? &block[4] : &block[4 + 3];
    BitmapData data;
    data.Stride = stride;
    data.Scan0 = first;
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &rect, kRead | kUser, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(data.Scan0, first);
    EXPECT_EQ(data.Stride, stride);
    first[0] = 0xFF000099;
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    std::vector<ARGB> expected(block.size(), 0xABABABAB);
    const std::size_t top = stride > 0 ? 4 : 7;
    const std::size_t bottom = stride > 0 ? 7 : 4;
    expected[top] = 0xFF000099;
    expected[top + 1] = 0xFF000007;
    expected[bottom] = 0xFF00000A;
    expected[bottom + 1] = 0xFF00000B;
    EXPECT_EQ(block, expected) << stride;
  }
  // Read-only: the changed caller pixel was not written back.
  EXPECT_EQ(ReadArgbPixels(bitmap.get()), pixels);
}

TEST_F(PixelsLockBits, WriteOnlyLockStartsZeroedAndConvertsBack) {
  ImageGuard bitmap(MakeBitmap(3, 1, PixelFormat24bppRGB, {0xFF111111, 0xFF222222, 0xFF333333}));
  BitmapData data;
  const GpRect rect{1, 0, 2, 1};
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &rect, kWrite, PixelFormat32bppPARGB, &data), Ok);
  EXPECT_NE(data.Scan0, nullptr);
  EXPECT_EQ(data.PixelFormat, PixelFormat32bppPARGB);
  auto* locked = static_cast<ARGB*>(data.Scan0);
  EXPECT_EQ(locked[0], 0u);
  EXPECT_EQ(locked[1], 0u);
  locked[1] = 0x80402010;  // premultiplied; un-premultiplied on the way back
  ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
  EXPECT_EQ(ReadArgbPixels(bitmap.get()), (std::vector<ARGB>{0xFF111111, 0xFF000000, 0xFF804020}));
}

TEST_F(PixelsLockBits, LockStateAndRefusedRequests) {
  ImageGuard bitmap(MakeBitmap(4, 2, PixelFormat24bppRGB, std::vector<ARGB>(8, 0xFF102030)));
  BitmapData data;
  BitmapData other;
  EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), WrongState);
  const GpRect outside{2, 0, 3, 1};
  const GpRect empty{0, 0, 0, 1};
  const GpRect negative{-1, 0, 1, 1};
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &outside, kRead, PixelFormat32bppARGB, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &empty, kRead, PixelFormat32bppARGB, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &negative, kRead, PixelFormat32bppARGB, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kUser, PixelFormat32bppARGB, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead, PixelFormat32bppCMYK, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead, PixelFormatDontCare, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead, PixelFormat8bppIndexed, &data), InvalidParameter);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead, PixelFormat32bppARGB, nullptr), InvalidParameter);
  std::vector<ARGB> small(4);
  data.Scan0 = small.data();
  data.Stride = 12;  // a 4-pixel row needs 16
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead | kUser, PixelFormat32bppARGB, &data), InvalidParameter);
  data.Scan0 = nullptr;
  data.Stride = 16;
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead | kUser, PixelFormat32bppARGB, &data), InvalidParameter);

  // None of the refusals left a lock behind; a second lock is refused and
  // leaves the first one intact.
  ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead | kWrite, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead, PixelFormat32bppARGB, &other), WrongState);
  static_cast<ARGB*>(data.Scan0)[7] = 0xFFFFFFFF;
  EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
  EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), WrongState);
  EXPECT_EQ(ReadArgbPixels(bitmap.get())[7], 0xFFFFFFFFu);
}

TEST_F(PixelsLockBits, SameFormatLockIsAViewOfTheCallersBuffer) {
  for (const INT sign : {1, -1}) {
    std::vector<std::uint8_t> rows(2 * 8, 0);
    BYTE* scan0 = sign > 0 ? rows.data() : rows.data() + 8;
    ImageGuard bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 8 * sign, PixelFormat24bppRGB, scan0, bitmap.out()), Ok);
    BitmapData data;
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, kRead | kWrite, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(data.Scan0, scan0);
    EXPECT_EQ(data.Stride, 8 * sign);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    // A byte-aligned sub-area points into the same rows.
    const GpRect corner{1, 1, 1, 1};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), &corner, kRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(data.Scan0, scan0 + 8 * sign + 3);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
  }
}

}  // namespace
}  // namespace pixavue::platform::test
