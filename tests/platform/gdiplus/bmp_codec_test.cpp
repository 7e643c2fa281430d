// BMP decoding of hand-built files (every header size, depth, compression
// and row order), damaged and hostile files, the DIB options of icons, and
// encoder round trips.
#include <array>
#include <climits>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "codec.h"
#include "codecs/dib.h"
#include "gdiplus_test_support.h"
#include "png_test_frames.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;
using gdiplus::Frame;

constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kJpeg = 4;
constexpr std::uint32_t kAlphaBitfields = 6;

struct DibSpec {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::int32_t pixelsPerMetre = 0;
  std::array<std::uint32_t, 4> masks{};  // in the header (52+) or after a 40-byte one
  std::vector<ARGB> palette;             // written as B, G, R[, 0]
  std::vector<std::uint8_t> bits;
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::vector<std::uint8_t> BuildDib(const DibSpec& spec) {
  std::vector<std::uint8_t> out;
  Put32(out, spec.headerSize);
  if (spec.headerSize == 12) {
    Put16(out, static_cast<std::uint32_t>(spec.width));
    Put16(out, static_cast<std::uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, spec.bitCount);
  } else {
    for (std::int32_t v : {spec.width, spec.height}) Put32(out, static_cast<std::uint32_t>(v));
    Put16(out, 1);
    Put16(out, spec.bitCount);
    Put32(out, spec.compression);
    Put32(out, static_cast<std::uint32_t>(spec.bits.size()));
    Put32(out, static_cast<std::uint32_t>(spec.pixelsPerMetre));
    Put32(out, static_cast<std::uint32_t>(spec.pixelsPerMetre));
    Put32(out, spec.colorsUsed);
    Put32(out, 0);
    std::size_t masks = spec.headerSize >= 56 ? 4 : spec.headerSize >= 52 ? 3 : 0;
    if (spec.headerSize == 40 && spec.compression == kBitfields) masks = 3;
    if (spec.headerSize == 40 && spec.compression == kAlphaBitfields) masks = 4;
    for (std::size_t i = 0; i < masks; ++i) Put32(out, spec.masks[i]);
    if (spec.headerSize > 40) out.resize(spec.headerSize);
  }
  for (const ARGB c : spec.palette) {
    for (int shift = 0; shift < 24; shift += 8) out.push_back(static_cast<std::uint8_t>(c >> shift));
    if (spec.headerSize != 12) out.push_back(0);
  }
  out.insert(out.end(), spec.bits.begin(), spec.bits.end());
  return out;
}

// A BMP file; the bits offset is where the DIB puts them unless given.
std::vector<std::uint8_t> BuildBmp(const DibSpec& spec, std::optional<std::uint32_t> bitsOffset = std::nullopt) {
  const std::vector<std::uint8_t> dib = BuildDib(spec);
  std::vector<std::uint8_t> out{'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(14 + dib.size()));
  Put32(out, 0);
  Put32(out, bitsOffset.value_or(static_cast<std::uint32_t>(14 + dib.size() - spec.bits.size())));
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

class BmpCodecTest : public GdiplusTest {
 protected:
  static GpStatus Decode(std::vector<std::uint8_t> bytes, Frame& frame) {
    DecodedImage decoded;
    const GpStatus status = gdiplus::DecodeBmp(Shared(std::move(bytes)), {}, decoded);
    if (status == Ok) {
      EXPECT_EQ(decoded.rawFormat, ImageFormatBMP);
      frame = std::move(decoded.frame);
    }
    return status;
  }

  static Frame DecodeOk(const DibSpec& spec) {
    Frame frame;
    EXPECT_EQ(Decode(BuildBmp(spec), frame), Ok);
    return frame;
  }

  static std::vector<std::uint8_t> Encode(const Frame& frame) {
    const gdiplus::PropertyStore properties;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(gdiplus::EncodeBmp({frame, properties}, nullptr, bytes), Ok);
    return bytes;
  }

  // Indices of an 8- or 4-bit indexed frame, row after row.
  static std::vector<int> Indices(const Frame& frame) {
    std::vector<int> out;
    const bool nibbles = frame.pixels.format() == PixelFormat4bppIndexed;
    for (std::uint32_t y = 0; y < frame.pixels.height(); ++y) {
      const std::uint8_t* row = frame.pixels.Row(y);
      for (std::uint32_t x = 0; x < frame.pixels.width(); ++x) {
        out.push_back(nibbles ? (row[x / 2] >> ((x & 1) != 0 ? 0 : 4)) & 0x0F : row[x]);
      }
    }
    return out;
  }
};

TEST_F(BmpCodecTest, UncompressedDepthsKeepTheirLayoutAndRowOrder) {
  DibSpec mono;
  mono.width = 3;
  mono.height = 2;
  mono.bitCount = 1;
  mono.palette = {0xFF000000, 0xFFFFFFFF};
  mono.bits = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};  // bottom row 1,0,1; top row 0,1,0
  Frame frame = DecodeOk(mono);
  EXPECT_EQ(frame.pixels.format(), PixelFormat1bppIndexed);
  EXPECT_EQ(frame.paletteFlags, PaletteFlagsGrayScale);
  EXPECT_EQ(FrameArgb(frame), (std::vector<ARGB>{0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000,
                                                 0xFFFFFFFF}));

  DibSpec rgb;
  rgb.width = 1;
  rgb.height = 2;
  rgb.bits = {1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(FrameArgb(DecodeOk(rgb)), (std::vector<ARGB>{0xFF060504, 0xFF030201}));
  rgb.height = -2;  // top-down
  frame = DecodeOk(rgb);
  EXPECT_EQ(frame.pixels.format(), PixelFormat24bppRGB);
  EXPECT_EQ(FrameArgb(frame), (std::vector<ARGB>{0xFF030201, 0xFF060504}));

  DibSpec rgb555;
  rgb555.bitCount = 16;
  rgb555.bits = {0x1F, 0x7C, 0, 0};  // magenta
  frame = DecodeOk(rgb555);
  EXPECT_EQ(frame.pixels.format(), PixelFormat16bppRGB555);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0xFFFF00FF});

  DibSpec rgb32;
  rgb32.bitCount = 32;
  rgb32.bits = {1, 2, 3, 4};
  frame = DecodeOk(rgb32);
  EXPECT_EQ(frame.pixels.format(), PixelFormat32bppRGB);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0xFF030201});
}

TEST_F(BmpCodecTest, BitMasksChooseOrUnpackThePixelFormat) {
  DibSpec spec;
  spec.bitCount = 16;
  spec.compression = kBitfields;
  spec.masks = {0xF800, 0x07E0, 0x001F, 0};
  spec.bits = {0xE0, 0x07, 0, 0};  // pure green in 5-6-5
  Frame frame = DecodeOk(spec);
  EXPECT_EQ(frame.pixels.format(), PixelFormat16bppRGB565);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0xFF00FF00});

  spec.headerSize = 52;  // the same masks inside the header
  EXPECT_EQ(DecodeOk(spec).pixels.format(), PixelFormat16bppRGB565);

  spec.headerSize = 40;  // 4-4-4-4 with alpha: unpacked
  spec.compression = kAlphaBitfields;
  spec.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
  spec.bits = {0x5F, 0x80, 0, 0};  // A=8 R=0 G=5 B=F
  frame = DecodeOk(spec);
  EXPECT_EQ(frame.pixels.format(), PixelFormat32bppARGB);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0x880055FF});

  spec.compression = kBitfields;  // 4-4-4 without alpha: 24 bits
  frame = DecodeOk(spec);
  EXPECT_EQ(frame.pixels.format(), PixelFormat24bppRGB);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0xFF0055FF});

  spec.bitCount = 32;  // red and blue swapped
  spec.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};
  spec.bits = {0x11, 0x22, 0x33, 0x44};
  frame = DecodeOk(spec);
  EXPECT_EQ(frame.pixels.format(), PixelFormat32bppRGB);
  EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0xFF112233});

  for (const std::uint32_t headerSize : {56u, 108u, 124u}) {  // alpha mask in the larger headers
    spec.headerSize = headerSize;
    spec.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    frame = DecodeOk(spec);
    EXPECT_EQ(frame.pixels.format(), PixelFormat32bppARGB) << headerSize;
    EXPECT_EQ(FrameArgb(frame), std::vector<ARGB>{0x44332211}) << headerSize;
  }
  spec.compression = 0;  // a V5 header declaring alpha keeps it even with BI_RGB
  EXPECT_EQ(DecodeOk(spec).pixels.format(), PixelFormat32bppARGB);
}

TEST_F(BmpCodecTest, ColourTablesFollowTheirCountsAndTheData) {
  DibSpec core;  // OS/2 core header: RGB triples, 2^bpp entries
  core.headerSize = 12;
  core.width = 2;
  core.bitCount = 4;
  core.palette.assign(16, 0xFF000000);
  core.palette[3] = 0xFF102030;
  core.bits = {0x30, 0, 0, 0};
  Frame frame = DecodeOk(core);
  EXPECT_EQ(frame.pixels.format(), PixelFormat4bppIndexed);
  EXPECT_EQ(frame.palette.size(), 16u);
  EXPECT_EQ(FrameArgb(frame), (std::vector<ARGB>{0xFF102030, 0xFF000000}));

  DibSpec few;
  few.bitCount = 8;
  few.colorsUsed = 3;
  few.palette = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  few.bits = {2, 0, 0, 0};
  frame = DecodeOk(few);
  EXPECT_EQ(frame.palette, few.palette);
  EXPECT_EQ(frame.paletteFlags, 0u);

  // More entries declared than the depth allows: only 2^bpp are kept.
  few.bitCount = 1;
  few.bits = {0x80, 0, 0, 0};
  EXPECT_EQ(DecodeOk(few).palette.size(), 2u);

  // Declared 256 but the bits start after two entries: the table is cut.
  few.bitCount = 8;
  few.colorsUsed = 0;
  few.palette.resize(2);
  EXPECT_EQ(DecodeOk(few).palette.size(), 2u);
  // Without a bits offset the declared table runs past the file.
  DecodedImage decoded;
  std::vector<std::uint8_t> bytes = BuildBmp(few, 0);
  EXPECT_EQ(gdiplus::DecodeBmp(Shared(bytes), {}, decoded), InvalidParameter);
}

TEST_F(BmpCodecTest, BitsOffsetIsTakenAsGivenFromTheEndOfTheInfoHeader) {
  // Four entries, then the indices 1, 2, 3, 0 of a 4 x 1 image.
  DibSpec spec;
  spec.width = 4;
  spec.bitCount = 8;
  spec.colorsUsed = 4;
  spec.palette = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  spec.bits = {1, 2, 3, 0};
  Frame frame;
  // Two entries into the table: the bits are read from there (the table's
  // last two entries as indices), and the table is read whole, as other
  // readers read it.
  ASSERT_EQ(Decode(BuildBmp(spec, 14 + 40 + 8), frame), Ok);
  EXPECT_EQ(Indices(frame), (std::vector<int>{0, 0xFF, 0, 0}));  // the green entry: B, G=FF, R, 0
  EXPECT_EQ(frame.palette, spec.palette);
  // At the end of the info header the table was forgotten: the bits
  // follow it, as with no offset.
  ASSERT_EQ(Decode(BuildBmp(spec, 14 + 40), frame), Ok);
  EXPECT_EQ(Indices(frame), (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(frame.palette, spec.palette);
  // A table the file cannot hold is cut where the bits begin.
  spec.colorsUsed = 0;
  ASSERT_EQ(Decode(BuildBmp(spec, 14 + 40 + 8), frame), Ok);
  EXPECT_EQ(frame.palette.size(), 2u);
  spec.colorsUsed = 4;
  // Inside the file or info header the offset cannot be right; 0 means
  // after the colour table.
  for (const std::uint32_t offset : {1u, 13u, 14u, 53u}) {
    EXPECT_EQ(Decode(BuildBmp(spec, offset), frame), InvalidParameter) << offset;
  }
  ASSERT_EQ(Decode(BuildBmp(spec, 0), frame), Ok);
  EXPECT_EQ(Indices(frame), (std::vector<int>{1, 2, 3, 0}));
}

TEST_F(BmpCodecTest, ResolutionComesFromPixelsPerMetre) {
  DibSpec spec;
  spec.bits = {0, 0, 0, 0};
  spec.pixelsPerMetre = 2835;
  Frame frame = DecodeOk(spec);
  EXPECT_NEAR(frame.dpiX, 72.009f, 1e-3);
  EXPECT_NE(frame.flags & ImageFlagsHasRealDPI, 0u);
  spec.pixelsPerMetre = 0;
  frame = DecodeOk(spec);
  EXPECT_EQ(frame.dpiX, 96.0f);
  EXPECT_EQ(frame.flags & ImageFlagsHasRealDPI, 0u);
}

TEST_F(BmpCodecTest, RunLengthEncodingWithEscapes) {
  DibSpec rle8;
  rle8.width = 5;
  rle8.height = 3;
  rle8.bitCount = 8;
  rle8.compression = kRle8;
  rle8.palette.assign(16, 0xFF000000);
  rle8.bits = {3, 7, 0, 0,            // bottom row: three 7s, end of line
               0, 3, 1, 2, 3, 0,      // absolute 1 2 3 (padded)
               0, 2, 1, 1,            // delta right 1, up 1
               1, 9, 0, 1};           // one 9, end of bitmap
  Frame frame = DecodeOk(rle8);
  EXPECT_EQ(frame.pixels.format(), PixelFormat8bppIndexed);
  EXPECT_EQ(Indices(frame), (std::vector<int>{0, 0, 0, 0, 9, 1, 2, 3, 0, 0, 7, 7, 7, 0, 0}));

  DibSpec rle4 = rle8;
  rle4.width = 6;
  rle4.height = 2;
  rle4.bitCount = 4;
  rle4.compression = kRle4;
  rle4.bits = {5, 0x12, 0, 0,                    // 1 2 1 2 1, end of line
               0, 5, 0x34, 0x56, 0x70, 0,         // absolute 3 4 5 6 7 (padded)
               1, 0x80};                         // one 8; every row done, no end code
  frame = DecodeOk(rle4);
  EXPECT_EQ(frame.pixels.format(), PixelFormat4bppIndexed);
  EXPECT_EQ(Indices(frame), (std::vector<int>{3, 4, 5, 6, 7, 8, 1, 2, 1, 2, 1, 0}));

  // Runs or moves that leave the image, and data that stops early.
  const std::vector<std::vector<std::uint8_t>> broken = {
      {6, 1, 0, 1},           // run past the row
      {3, 1, 0, 3, 1, 2, 3},  // absolute run past the row
      {0, 2, 6, 0, 0, 1},     // delta past the right edge
      {0, 2, 0, 3, 0, 1},     // delta past the top
      {3, 1, 0},              // ends inside a code
      {0, 0},                 // ends before the last row
  };
  for (const auto& bits : broken) {
    rle8.bits = bits;
    EXPECT_EQ(Decode(BuildBmp(rle8), frame), InvalidParameter) << testing::PrintToString(bits);
  }
  rle8.bits = {0, 1};
  rle8.height = -3;  // RLE is bottom-up only
  EXPECT_EQ(Decode(BuildBmp(rle8), frame), InvalidParameter);
  rle8.height = 3;
  rle8.bitCount = 4;  // RLE8 needs 8 bits
  EXPECT_EQ(Decode(BuildBmp(rle8), frame), InvalidParameter);
}

TEST_F(BmpCodecTest, HostileHeadersGetAStatus) {
  DibSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.bits.assign(16, 0x55);
  Frame frame;
  const auto decodeWith = [&](auto change) {
    DibSpec copy = spec;
    change(copy);
    return Decode(BuildBmp(copy), frame);
  };
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.width = 100000; }), OutOfMemory);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.width = s.height = 20000; }), OutOfMemory);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.height = INT_MIN; }), OutOfMemory);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.width = 0; }), InvalidParameter);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.width = -2; }), InvalidParameter);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.height = 3; }), InvalidParameter);  // bits for two rows only
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.bitCount = 7; }), InvalidParameter);
  EXPECT_EQ(decodeWith([](DibSpec& s) {
    s.bitCount = 8;
    s.compression = kBitfields;
  }), InvalidParameter);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.compression = kJpeg; }), UnknownImageFormat);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.headerSize = 16; }), UnknownImageFormat);
  EXPECT_EQ(decodeWith([](DibSpec& s) { s.headerSize = 4; }), InvalidParameter);

  std::vector<std::uint8_t> bytes = BuildBmp(spec);
  ASSERT_EQ(Decode(bytes, frame), Ok);
  EXPECT_EQ(Decode(BuildBmp(spec, 100), frame), InvalidParameter);  // bits offset past the end
  EXPECT_EQ(Decode(BuildBmp(spec, 20), frame), InvalidParameter);   // bits offset inside the header
  std::vector<std::uint8_t> hugeHeader = bytes;
  hugeHeader[14] = 0xFF;  // header size larger than the file
  EXPECT_EQ(Decode(hugeHeader, frame), InvalidParameter);
  // Every truncation is refused.
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_NE(Decode({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)}, frame), Ok) << size;
  }
}

TEST_F(BmpCodecTest, IconDibsAreHalfAsHighAndLocateTheirMask) {
  DibSpec spec;
  spec.width = 2;
  spec.height = 4;  // XOR image and AND mask
  spec.bitCount = 32;
  spec.bits = {1, 2, 3, 0x80, 4, 5, 6, 0x40, 7, 8, 9, 0, 10, 11, 12, 0xFF,  // XOR rows
               0x40, 0, 0, 0, 0x80, 0, 0, 0};                                // AND rows
  const std::vector<std::uint8_t> dib = BuildDib(spec);
  gdiplus::DibOptions options;
  options.icon = true;
  Frame frame;
  gdiplus::DibLayout layout;
  ASSERT_EQ(gdiplus::DecodeDib(dib, options, frame, &layout), Ok);
  EXPECT_EQ(frame.pixels.format(), PixelFormat32bppARGB);
  EXPECT_EQ(frame.pixels.height(), 2u);
  EXPECT_EQ(FrameArgb(frame), (std::vector<ARGB>{0x00090807, 0xFF0C0B0A, 0x80030201, 0x40060504}));
  EXPECT_EQ(layout.height, 2u);
  EXPECT_FALSE(layout.topDown);
  EXPECT_EQ(layout.bitsOffset, 40u);
  EXPECT_EQ(layout.maskOffset, 56u);
  EXPECT_EQ(dib[layout.maskOffset], 0x40);
}

TEST_F(BmpCodecTest, EncoderRoundTrips) {
  // Same format and bits: indexed (palette without alpha), 555, 565, 24.
  for (const PixelFormat format : {PixelFormat1bppIndexed, PixelFormat4bppIndexed, PixelFormat8bppIndexed,
                                   PixelFormat16bppRGB555, PixelFormat16bppRGB565, PixelFormat24bppRGB}) {
    SCOPED_TRACE(format);
    Frame source = RandomFrame(format, 13, 5);
    source.dpiX = source.dpiY = 300;
    if (format == PixelFormat16bppRGB555) {  // the unused top bit is not kept
      for (std::uint32_t y = 0; y < 5; ++y) {
        for (std::uint32_t x = 0; x < 13; ++x) source.pixels.Row(y)[2 * x + 1] &= 0x7F;
      }
    }
    const std::vector<std::uint8_t> bytes = Encode(source);
    EXPECT_EQ(bytes[30], format == PixelFormat16bppRGB565 ? kBitfields : 0u);
    Frame back;
    ASSERT_EQ(Decode(bytes, back), Ok);
    EXPECT_TRUE(SamePixelBits(back.pixels, source.pixels));
    EXPECT_EQ(back.palette, source.palette);
    EXPECT_NEAR(back.dpiX, 300.0f, 0.013);
  }
  // Opaque formats become 24 bits with the same colours.
  for (const PixelFormat format : {PixelFormat32bppRGB, PixelFormat48bppRGB, PixelFormat16bppGrayScale}) {
    SCOPED_TRACE(format);
    const Frame source = RandomFrame(format, 7, 3);
    Frame back;
    ASSERT_EQ(Decode(Encode(source), back), Ok);
    EXPECT_EQ(back.pixels.format(), PixelFormat24bppRGB);
    EXPECT_EQ(FrameArgb(back), FrameArgb(source));
  }
  // Alpha formats become 32-bit BI_RGB: read back as 32bppRGB, the fourth
  // byte still holding the (not premultiplied) alpha.
  for (const PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppPARGB, PixelFormat16bppARGB1555,
                                   PixelFormat64bppARGB}) {
    SCOPED_TRACE(format);
    const Frame source = RandomFrame(format, 7, 3);
    Frame back;
    ASSERT_EQ(Decode(Encode(source), back), Ok);
    EXPECT_EQ(back.pixels.format(), PixelFormat32bppRGB);
    const std::vector<ARGB> expected = FrameArgb(source);
    for (std::uint32_t y = 0; y < 3; ++y) {
      EXPECT_EQ(0, std::memcmp(back.pixels.Row(y), expected.data() + 7 * y, 7 * 4)) << y;
    }
  }
}

TEST_F(BmpCodecTest, SavesAndLoadsThroughTheFlatInterface) {
  const std::vector<ARGB> pixels{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF123456, 0xFF7F7F7F, 0xFFFFFFFF};
  ImageGuard bitmap(MakeBitmap(3, 2, PixelFormat24bppRGB, pixels));
  ASSERT_NE(bitmap.get(), nullptr);
  const auto path = temp_dir() / "saved.bmp";
  ASSERT_EQ(SaveImage(bitmap.get(), path, CLSID_BmpCodec), Ok);
  ImageGuard loaded(LoadImage(path));
  ASSERT_NE(loaded.get(), nullptr);
  PixelFormat format = 0;
  ASSERT_EQ(GdipGetImagePixelFormat(loaded.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat24bppRGB);
  EXPECT_EQ(ReadArgbPixels(loaded.get()), pixels);
}

}  // namespace
}  // namespace pixavue::platform::test
