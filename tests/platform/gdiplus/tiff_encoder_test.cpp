// TIFF encoding: depths, compressions, palettes, parameters, resolution and
// round trips through the decoder and the flat interface.

#include <cstddef>
#include <memory>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"
#include "image.h"
#include "tiff_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;
using gdiplus::Frame;

// An EncoderParameters block with LONG parameters.
class Parameters final {
 public:
  Parameters& Add(const GUID& guid, std::uint32_t value, GDIP_ULONG type = EncoderParameterValueTypeLong,
                  GDIP_ULONG count = 1) {
    values_.push_back(std::make_unique<std::uint32_t[]>(2));
    values_.back()[0] = value;
    values_.back()[1] = value;
    parameters_.push_back(EncoderParameter{guid, count, type, values_.back().get()});
    return *this;
  }
  const EncoderParameters* get() {
    block_.assign(offsetof(EncoderParameters, Parameter) + parameters_.size() * sizeof(EncoderParameter), 0);
    auto* params = reinterpret_cast<EncoderParameters*>(block_.data());
    params->Count = static_cast<UINT32>(parameters_.size());
    std::memcpy(block_.data() + offsetof(EncoderParameters, Parameter), parameters_.data(),
                parameters_.size() * sizeof(EncoderParameter));
    return params;
  }

 private:
  std::vector<std::unique_ptr<std::uint32_t[]>> values_;
  std::vector<EncoderParameter> parameters_;
  std::vector<std::uint8_t> block_;  // new[] memory suits any alignment
};

Parameters DepthAndCompression(std::uint32_t depth, std::uint32_t compression) {
  Parameters params;
  params.Add(EncoderColorDepth, depth).Add(EncoderCompression, compression);
  return params;
}

// A frame of `format` whose rows (without padding) are `bytes`.
Frame MakeFrame(PixelFormat format, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& bytes,
                std::vector<ARGB> palette = {}) {
  Frame frame;
  frame.pixels = *gdiplus::PixelBuffer::Allocate(format, width, height);
  const std::size_t rowBytes = (std::size_t{width} * GetPixelFormatSize(format) + 7) / 8;
  for (std::uint32_t y = 0; y < height; ++y) std::memcpy(frame.pixels.Row(y), bytes.data() + y * rowBytes, rowBytes);
  frame.palette = std::move(palette);
  return frame;
}

std::vector<std::uint8_t> Encode(const Frame& frame, const EncoderParameters* params = nullptr,
                                 GpStatus expected = Ok) {
  gdiplus::PropertyStore properties;
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(gdiplus::EncodeTiff(gdiplus::EncodeSource{frame, properties}, params, bytes), expected);
  return bytes;
}

DecodedImage RoundTrip(const Frame& frame, const EncoderParameters* params = nullptr) {
  DecodedImage image;
  EXPECT_EQ(gdiplus::DecodeTiff(Shared(Encode(frame, params)), {}, image), Ok);
  return image;
}

// 16 colours with varied alpha, repeated over a 23 x 5 picture.
std::vector<ARGB> SixteenColours() {
  std::vector<ARGB> pixels;
  for (std::uint32_t i = 0; i < 23 * 5; ++i) {
    const std::uint32_t k = (i * 7) % 16;
    pixels.push_back(((0x40 + k * 12) << 24) | ((k * 17) << 16) | ((255 - k * 13) << 8) | (k * 5));
  }
  return pixels;
}

ARGB Opaque(ARGB c) { return c | 0xFF000000u; }

class TiffEncodeTest : public GdiplusTest {
 protected:
  // Saves through the flat interface and loads the file back.
  GpImage* SaveAndLoad(GpImage* image, const EncoderParameters* params, const char* name = "saved.tif") {
    const auto path = temp_dir() / name;
    EXPECT_EQ(SaveImage(image, path, CLSID_TiffCodec, params), Ok);
    return LoadImage(path);
  }
};

TEST_F(TiffEncodeTest, LzwAtDepth24ReadsBackExactlyWithItsResolution) {
  std::vector<ARGB> pixels;
  for (std::uint32_t i = 0; i < 13 * 7; ++i) pixels.push_back(0xFF000000u | (i * 2654435761u >> 8));
  ImageGuard bitmap(MakeBitmap(13, 7, PixelFormat24bppRGB, pixels));
  ASSERT_EQ(GdipBitmapSetResolution(bitmap.get(), 300.0f, 72.0f), Ok);
  Parameters params = DepthAndCompression(24, EncoderValueCompressionLZW);
  ImageGuard loaded(SaveAndLoad(bitmap.get(), params.get()));
  ASSERT_NE(loaded.get(), nullptr);
  PixelFormat format = 0;
  GdipGetImagePixelFormat(loaded.get(), &format);
  EXPECT_EQ(format, PixelFormat24bppRGB);
  EXPECT_EQ(ReadArgbPixels(loaded.get()), pixels);
  REAL dpiX = 0;
  REAL dpiY = 0;
  GdipGetImageHorizontalResolution(loaded.get(), &dpiX);
  GdipGetImageVerticalResolution(loaded.get(), &dpiY);
  EXPECT_FLOAT_EQ(dpiX, 300.0f);
  EXPECT_FLOAT_EQ(dpiY, 72.0f);
  GUID raw{};
  GdipGetImageRawFormat(loaded.get(), &raw);
  EXPECT_EQ(raw, ImageFormatTIFF);
}

TEST_F(TiffEncodeTest, EveryDepthAndCompressionReadsBack) {
  const std::vector<ARGB> pixels = SixteenColours();
  ImageGuard bitmap(MakeBitmap(23, 5, PixelFormat32bppARGB, pixels));
  std::vector<ARGB> opaque;
  std::vector<ARGB> bilevel;
  for (ARGB c : pixels) {
    opaque.push_back(Opaque(c));
    const std::uint32_t luminance = (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF) + 500) / 1000;
    bilevel.push_back(luminance >= 128 ? 0xFFFFFFFFu : 0xFF000000u);
  }
  struct Case {
    std::uint32_t depth;
    PixelFormat format;
    const std::vector<ARGB>* expected;
  };
  const std::vector<Case> cases{{1, PixelFormat1bppIndexed, &bilevel},
                                {4, PixelFormat4bppIndexed, &opaque},
                                {8, PixelFormat8bppIndexed, &opaque},
                                {24, PixelFormat24bppRGB, &opaque},
                                {32, PixelFormat32bppARGB, &pixels}};
  for (const Case& c : cases) {
    std::vector<std::uint32_t> compressions{EncoderValueCompressionLZW, EncoderValueCompressionNone};
    if (c.depth == 1) {
      compressions.insert(compressions.end(), {EncoderValueCompressionCCITT3, EncoderValueCompressionCCITT4,
                                               EncoderValueCompressionRle});
    }
    for (std::uint32_t compression : compressions) {
      Parameters params = DepthAndCompression(c.depth, compression);
      ImageGuard loaded(SaveAndLoad(bitmap.get(), params.get()));
      ASSERT_NE(loaded.get(), nullptr) << c.depth << " " << compression;
      PixelFormat format = 0;
      GdipGetImagePixelFormat(loaded.get(), &format);
      EXPECT_EQ(format, c.format) << c.depth << " " << compression;
      EXPECT_EQ(ReadArgbPixels(loaded.get()), *c.expected) << c.depth << " " << compression;
    }
  }
}

TEST_F(TiffEncodeTest, ParametersAreChecked) {
  const Frame rgb = MakeFrame(PixelFormat24bppRGB, 2, 1, {1, 2, 3, 4, 5, 6});
  for (std::uint32_t fax : {EncoderValueCompressionCCITT3, EncoderValueCompressionCCITT4, EncoderValueCompressionRle}) {
    Parameters deep;
    deep.Add(EncoderCompression, fax);
    Encode(rgb, deep.get(), InvalidParameter);
    Parameters eight = DepthAndCompression(8, fax);
    Encode(rgb, eight.get(), InvalidParameter);
  }
  Parameters badDepth;
  badDepth.Add(EncoderColorDepth, 16);
  Encode(rgb, badDepth.get(), InvalidParameter);
  Parameters badCompression;
  badCompression.Add(EncoderCompression, EncoderValueCompressionRle + 2);
  Encode(rgb, badCompression.get(), InvalidParameter);
  Parameters shortType;
  shortType.Add(EncoderColorDepth, 24, EncoderParameterValueTypeShort);
  Encode(rgb, shortType.get(), InvalidParameter);
  Parameters twoValues;
  twoValues.Add(EncoderCompression, EncoderValueCompressionLZW, EncoderParameterValueTypeLong, 2);
  Encode(rgb, twoValues.get(), InvalidParameter);
  // Parameters of other encoders are ignored.
  Parameters other;
  other.Add(EncoderQuality, 1000);
  EXPECT_EQ(RoundTrip(rgb, other.get()).frame.pixels.format(), PixelFormat24bppRGB);
  EXPECT_EQ(Encode(Frame{}, nullptr, InvalidParameter), std::vector<std::uint8_t>{});
}

TEST_F(TiffEncodeTest, IndexedFramesKeepTheirBitsAndPalettes) {
  const std::vector<std::uint8_t> bits{0xA5, 0x3C, 0xFF, 0x00};
  const std::vector<std::pair<std::vector<ARGB>, PixelFormat>> pairs{
      {{0xFF000000, 0xFFFFFFFF}, PixelFormat1bppIndexed},
      {{0xFFFFFFFF, 0xFF000000}, PixelFormat1bppIndexed},
      {{0xFFFF0000, 0xFF0000FF}, PixelFormat1bppIndexed}};
  for (const auto& [palette, format] : pairs) {
    const DecodedImage image = RoundTrip(MakeFrame(PixelFormat1bppIndexed, 16, 2, bits, palette));
    ASSERT_EQ(image.frame.pixels.format(), format);
    EXPECT_EQ(image.frame.palette, palette);
    EXPECT_EQ(FrameBytes(image.frame), bits);
  }
  // Fax compression of a white-on-black page still reads back the same.
  Parameters g4;
  g4.Add(EncoderCompression, EncoderValueCompressionCCITT4);
  const DecodedImage fax = RoundTrip(MakeFrame(PixelFormat1bppIndexed, 16, 2, bits, {0xFF000000, 0xFFFFFFFF}), g4.get());
  EXPECT_EQ(FrameBytes(fax.frame), bits);

  std::vector<ARGB> sixteen(16);
  for (std::uint32_t i = 0; i < 16; ++i) sixteen[i] = 0xFF000000u | (i * 0x0F1E2D);
  const std::vector<std::uint8_t> nibbles{0x01, 0x23, 0xFE, 0xDC};
  const DecodedImage four = RoundTrip(MakeFrame(PixelFormat4bppIndexed, 4, 2, nibbles, sixteen));
  ASSERT_EQ(four.frame.pixels.format(), PixelFormat4bppIndexed);
  EXPECT_EQ(four.frame.palette, sixteen);
  EXPECT_EQ(FrameBytes(four.frame), nibbles);

  // A short palette is padded with black to the full colour map.
  const DecodedImage eight = RoundTrip(MakeFrame(PixelFormat8bppIndexed, 3, 1, {2, 0, 1}, {0xFF102030, 0xFF405060, 0xFF708090}));
  ASSERT_EQ(eight.frame.pixels.format(), PixelFormat8bppIndexed);
  ASSERT_EQ(eight.frame.palette.size(), 256u);
  EXPECT_EQ(eight.frame.palette[2], 0xFF708090u);
  EXPECT_EQ(eight.frame.palette[3], 0xFF000000u);
  EXPECT_EQ(FrameBytes(eight.frame), (std::vector<std::uint8_t>{2, 0, 1}));
}

TEST_F(TiffEncodeTest, ManyColoursTakeTheNearestEntryOfAFixedTable) {
  // 300 colours: more than 8-bit and 4-bit indices can hold exactly.
  std::vector<std::uint8_t> bgr;
  for (std::uint32_t i = 0; i < 300; ++i) {
    bgr.insert(bgr.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2), static_cast<std::uint8_t>(i * 7)});
  }
  // Pure red and a dark grey first, which both tables hold or nearly hold.
  bgr[0] = 0, bgr[1] = 0, bgr[2] = 255;
  bgr[3] = 70, bgr[4] = 70, bgr[5] = 70;
  const Frame frame = MakeFrame(PixelFormat24bppRGB, 300, 1, bgr);

  Parameters eight;
  eight.Add(EncoderColorDepth, 8);
  const DecodedImage cube = RoundTrip(frame, eight.get());
  ASSERT_EQ(cube.frame.pixels.format(), PixelFormat8bppIndexed);
  ASSERT_EQ(cube.frame.palette.size(), 256u);
  EXPECT_EQ(cube.frame.palette[0], 0xFF000000u);
  EXPECT_EQ(cube.frame.palette[215], 0xFFFFFFFFu);
  const std::vector<std::uint8_t> indices = FrameBytes(cube.frame);
  EXPECT_EQ(cube.frame.palette[indices[0]], 0xFFFF0000u);
  EXPECT_EQ(cube.frame.palette[indices[1]], 0xFF444444u);  // the grey 11/41 of white

  Parameters four;
  four.Add(EncoderColorDepth, 4);
  const DecodedImage vga = RoundTrip(frame, four.get());
  ASSERT_EQ(vga.frame.pixels.format(), PixelFormat4bppIndexed);
  ASSERT_EQ(vga.frame.palette.size(), 16u);
  EXPECT_EQ(vga.frame.palette[vga.frame.pixels.Row(0)[0] >> 4], 0xFFFF0000u);
  EXPECT_EQ(vga.frame.palette[vga.frame.pixels.Row(0)[0] & 0xF], 0xFF808080u);
}

TEST_F(TiffEncodeTest, DefaultDepthFollowsThePixelFormat) {
  const std::vector<std::uint16_t> rgb48{1, 2, 3, 0x1234, 0x5678, 0x9ABC};
  std::vector<std::uint8_t> bytes48(12);
  std::memcpy(bytes48.data(), rgb48.data(), 12);
  const DecodedImage deep = RoundTrip(MakeFrame(PixelFormat48bppRGB, 2, 1, bytes48));
  ASSERT_EQ(deep.frame.pixels.format(), PixelFormat48bppRGB);
  EXPECT_EQ(FrameBytes(deep.frame), bytes48);

  const std::vector<std::uint16_t> argb64{1, 2, 3, 0xFFFF, 0x1234, 0x5678, 0x9ABC, 0xFFFF};
  std::vector<std::uint8_t> bytes64(16);
  std::memcpy(bytes64.data(), argb64.data(), 16);
  const DecodedImage deeper = RoundTrip(MakeFrame(PixelFormat64bppARGB, 2, 1, bytes64));
  ASSERT_EQ(deeper.frame.pixels.format(), PixelFormat64bppARGB);
  EXPECT_EQ(FrameBytes(deeper.frame), bytes64);

  const std::vector<std::pair<PixelFormat, PixelFormat>> formats{
      {PixelFormat16bppRGB565, PixelFormat24bppRGB}, {PixelFormat16bppARGB1555, PixelFormat24bppRGB},
      {PixelFormat32bppRGB, PixelFormat24bppRGB},    {PixelFormat32bppARGB, PixelFormat32bppARGB},
      {PixelFormat32bppPARGB, PixelFormat32bppARGB}, {PixelFormat64bppPARGB, PixelFormat64bppARGB}};
  for (const auto& [source, saved] : formats) {
    const Frame frame = MakeFrame(source, 2, 2, std::vector<std::uint8_t>(2 * 2 * 8, 0x80));
    EXPECT_EQ(RoundTrip(frame).frame.pixels.format(), saved) << source;
  }
  // Premultiplied pixels are stored straight.
  const DecodedImage straight = RoundTrip(MakeFrame(PixelFormat32bppPARGB, 1, 1, {17, 34, 51, 51}));
  EXPECT_EQ(FrameBytes(straight.frame), (std::vector<std::uint8_t>{85, 170, 255, 51}));
}

TEST_F(TiffEncodeTest, SavingALoadedTiffAgainKeepsItsPixels) {
  TiffPageSpec page;
  page.width = 31;
  page.height = 9;
  page.samplesPerPixel = 3;
  page.photometric = PHOTOMETRIC_RGB;
  page.compression = COMPRESSION_ADOBE_DEFLATE;
  page.xResolution = 200;
  page.yResolution = 200;
  for (std::uint32_t i = 0; i < 31 * 9 * 3; ++i) page.samples.push_back(static_cast<std::uint8_t>(i * 13 + i / 7));
  const auto source = temp_dir() / "source.tif";
  WriteFile(source, WriteTiffPage(page));
  ImageGuard first(LoadImage(source));
  ASSERT_NE(first.get(), nullptr);
  const std::vector<ARGB> pixels = ReadArgbPixels(first.get());
  ImageGuard second(SaveAndLoad(first.get(), nullptr, "second.tif"));
  ASSERT_NE(second.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(second.get()), pixels);
  // Saved over the file it was loaded from.
  ASSERT_EQ(SaveImage(second.get(), temp_dir() / "second.tif", CLSID_TiffCodec), Ok);
  ImageGuard third(LoadImage(temp_dir() / "second.tif"));
  ASSERT_NE(third.get(), nullptr);
  EXPECT_EQ(ReadArgbPixels(third.get()), pixels);
  REAL dpi = 0;
  GdipGetImageHorizontalResolution(third.get(), &dpi);
  EXPECT_FLOAT_EQ(dpi, 200.0f);
}

TEST_F(TiffEncodeTest, OutputIsDeterministicAndStripsStaySmall) {
  std::vector<std::uint8_t> bgr(600 * 300 * 3);
  for (std::size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
  const Frame frame = MakeFrame(PixelFormat24bppRGB, 600, 300, bgr);
  Parameters none;
  none.Add(EncoderCompression, EncoderValueCompressionNone);
  const std::vector<std::uint8_t> once = Encode(frame, none.get());
  EXPECT_EQ(Encode(frame, none.get()), once);

  gdiplus::TiffMemorySource source(once);
  gdiplus::TiffHandle tif = gdiplus::OpenTiffReader(source);
  ASSERT_TRUE(tif);
  EXPECT_LE(TIFFStripSize(tif.get()), 64 * 1024);
  EXPECT_GT(TIFFNumberOfStrips(tif.get()), 1u);
  DecodedImage image;
  ASSERT_EQ(gdiplus::DecodeTiff(Shared(once), {}, image), Ok);
  EXPECT_EQ(FrameBytes(image.frame), bgr);
}

}  // namespace
}  // namespace pixavue::platform::test
