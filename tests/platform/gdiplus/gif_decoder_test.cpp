// GIF loading: single palette frames, composited animations, properties,
// clipping and damaged files. The files are built byte by byte here, so
// every record (offsets, local tables, disposal, interlacing) is explicit.

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "codec.h"
#include "gdiplus_test_support.h"
#include "gif_test_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::DecodedImage;

constexpr ARGB kRed = 0xFFFF0000u;
constexpr ARGB kGreen = 0xFF00FF00u;
constexpr ARGB kBlue = 0xFF0000FFu;
constexpr ARGB kWhite = 0xFFFFFFFFu;
constexpr ARGB kClear = 0x00000000u;

// Four frames on a 4x4 screen, one per disposal method (see the expected
// canvases in AnimationCompositesEachDisposal).
std::vector<std::uint8_t> DisposalAnimation(bool trailer = true) {
  GifBuilder gif(4, 4, {kRed, kGreen, kBlue, kWhite});
  gif.Loop(3).Comment("first").Control(1, 10).Image(0, 0, 4, 4, std::vector<std::uint8_t>(16, 0));
  gif.Control(3, 20, 1).Image(1, 1, 2, 2, {1, 0, 0, 0}, {kGreen, 0xFF123456u});
  gif.Comment(" second").Control(2, 0).Image(2, 2, 2, 2, {2, 2, 2, 2});
  gif.Control(0, 5).Image(3, 0, 3, 1, {3, 1, 2});
  return gif.Bytes(trailer);
}

class GifDecoderTest : public GdiplusTest {
 protected:
  GpImage* Load(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("image" + std::to_string(files_++) + ".gif");
    WriteFile(path, bytes);
    return LoadImage(path);
  }
  GpStatus LoadStatus(const std::vector<std::uint8_t>& bytes) {
    const auto path = temp_dir() / ("bad" + std::to_string(files_++) + ".gif");
    WriteFile(path, bytes);
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }
  static GpStatus Decode(const std::vector<std::uint8_t>& bytes, DecodedImage& out) {
    return gdiplus::DecodeGif(std::make_shared<const std::vector<std::uint8_t>>(bytes), {}, out);
  }
  static std::vector<std::uint8_t> Indices(const DecodedImage& decoded) {
    const auto& pixels = decoded.frame.pixels;
    std::vector<std::uint8_t> out;
    for (std::uint32_t y = 0; y < pixels.height(); ++y) out.insert(out.end(), pixels.Row(y), pixels.Row(y) + pixels.width());
    return out;
  }
  static std::vector<ARGB> Palette(GpImage* image) {
    INT size = 0;
    EXPECT_EQ(GdipGetImagePaletteSize(image, &size), Ok);
    std::vector<std::uint8_t> storage(static_cast<std::size_t>(size));
    auto* palette = reinterpret_cast<ColorPalette*>(storage.data());
    EXPECT_EQ(GdipGetImagePalette(image, palette, size), Ok);
    return std::vector<ARGB>(palette->Entries, palette->Entries + palette->Count);
  }
  // Type and value bytes of a property item, or type 0 when it is missing.
  static std::pair<WORD, std::vector<std::uint8_t>> Property(GpImage* image, PROPID id) {
    TestProperty item = ReadProperty(image, id);
    return {item.type, std::move(item.bytes)};
  }
  static void SelectFrame(GpImage* image, UINT32 index) {
    ASSERT_EQ(GdipImageSelectActiveFrame(image, &FrameDimensionTime, index), Ok) << index;
  }

 private:
  int files_ = 0;
};

TEST_F(GifDecoderTest, SingleFrameKeepsIndicesWithTransparentPaletteEntry) {
  // A 2x2 frame at (1,1) on a 4x3 screen; index 3 is transparent and fills
  // the rest of the screen.
  const auto bytes =
      GifBuilder(4, 3, {kRed, kGreen, kBlue, kWhite}, 1).Control(0, 7, 3).Image(1, 1, 2, 2, {0, 1, 2, 3}).Bytes();
  ImageGuard image(Load(bytes));
  ASSERT_NE(image.get(), nullptr);
  PixelFormat format = 0;
  ASSERT_EQ(GdipGetImagePixelFormat(image.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat8bppIndexed);
  GUID raw{};
  ASSERT_EQ(GdipGetImageRawFormat(image.get(), &raw), Ok);
  EXPECT_EQ(raw, ImageFormatGIF);
  const std::vector<ARGB> palette = Palette(image.get());
  EXPECT_EQ(palette, (std::vector<ARGB>{kRed, kGreen, kBlue, 0x00FFFFFFu}));
  GUID dimension{};
  ASSERT_EQ(GdipImageGetFrameDimensionsList(image.get(), &dimension, 1), Ok);
  EXPECT_EQ(dimension, FrameDimensionTime);
  UINT32 frames = 0;
  ASSERT_EQ(GdipImageGetFrameCount(image.get(), &FrameDimensionTime, &frames), Ok);
  EXPECT_EQ(frames, 1u);

  DecodedImage decoded;
  ASSERT_EQ(Decode(bytes, decoded), Ok);
  EXPECT_EQ(Indices(decoded), (std::vector<std::uint8_t>{3, 3, 3, 3, 3, 0, 1, 3, 3, 2, 3, 3}));
  EXPECT_TRUE(decoded.frame.paletteFlags & PaletteFlagsHasAlpha);

  const auto delay = Property(image.get(), PropertyTagFrameDelay);
  EXPECT_EQ(delay.first, PropertyTagTypeLong);
  EXPECT_EQ(delay.second, (std::vector<std::uint8_t>{7, 0, 0, 0}));
  const auto background = Property(image.get(), PropertyTagIndexBackground);
  EXPECT_EQ(background.second, (std::vector<std::uint8_t>{1}));
  const auto global = Property(image.get(), PropertyTagGlobalPalette);
  EXPECT_EQ(global.first, PropertyTagTypeByte);
  EXPECT_EQ(global.second, (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
  EXPECT_EQ(Property(image.get(), PropertyTagLoopCount).first, 0) << "no loop extension, no loop count";
}

TEST_F(GifDecoderTest, SingleFrameFillsBackgroundIndexAndDeinterlaces) {
  // Interlaced 1x10 frame with each row's own index, local colour table,
  // no global table, on a 2x10 screen: the uncovered column takes the
  // background index.
  std::vector<ARGB> local;
  for (std::uint32_t i = 0; i < 16; ++i) local.push_back(0xFF000000u | (i * 0x101010u));
  std::vector<std::uint8_t> rows{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  const auto bytes = GifBuilder(2, 10, {}, 12).Image(1, 0, 1, 10, rows, local, true).Bytes();
  DecodedImage decoded;
  ASSERT_EQ(Decode(bytes, decoded), Ok);
  EXPECT_EQ(decoded.frame.pixels.format(), PixelFormat8bppIndexed);
  EXPECT_EQ(decoded.frame.palette, local);
  std::vector<std::uint8_t> expected;
  for (std::uint8_t row : rows) expected.insert(expected.end(), {12, row});
  EXPECT_EQ(Indices(decoded), expected);
  EXPECT_EQ(decoded.properties.Find(PropertyTagGlobalPalette), nullptr);
  EXPECT_EQ(decoded.properties.Find(PropertyTagIndexBackground), nullptr);
}

TEST_F(GifDecoderTest, AnimationCompositesEachDisposal) {
  ImageGuard image(Load(DisposalAnimation()));
  ASSERT_NE(image.get(), nullptr);
  UINT32 frames = 0;
  ASSERT_EQ(GdipImageGetFrameCount(image.get(), &FrameDimensionTime, &frames), Ok);
  ASSERT_EQ(frames, 4u);
  PixelFormat format = 0;
  ASSERT_EQ(GdipGetImagePixelFormat(image.get(), &format), Ok);
  EXPECT_EQ(format, PixelFormat32bppARGB);

  constexpr ARGB R = kRed, G = kGreen, B = kBlue, W = kWhite, T = kClear;
  const std::vector<std::vector<ARGB>> expected{
      {R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R},
      // Transparent index 1 at (1,1) leaves the red under it.
      {R, R, R, R, R, R, G, R, R, G, G, R, R, R, R, R},
      // Frame 1 restored what was under it before frame 2 was drawn.
      {R, R, R, R, R, R, R, R, R, R, B, B, R, R, B, B},
      // Frame 2 cleared its rectangle; frame 3 is clipped to (3,0).
      {R, R, R, W, R, R, R, R, R, R, T, T, R, R, T, T},
  };
  EXPECT_EQ(ReadArgbPixels(image.get()), expected[0]);
  for (UINT32 i : {1u, 2u, 3u, 2u, 0u, 2u, 3u, 1u, 1u, 0u}) {
    SelectFrame(image.get(), i);
    EXPECT_EQ(ReadArgbPixels(image.get()), expected[i]) << "frame " << i;
  }
  EXPECT_EQ(GdipImageSelectActiveFrame(image.get(), &FrameDimensionTime, 4), InvalidParameter);
}

TEST_F(GifDecoderTest, AnimationPropertiesOnEveryFrame) {
  ImageGuard image(Load(DisposalAnimation()));
  ASSERT_NE(image.get(), nullptr);
  for (UINT32 frame : {0u, 3u}) {
    SelectFrame(image.get(), frame);
    const auto delays = Property(image.get(), PropertyTagFrameDelay);
    EXPECT_EQ(delays.first, PropertyTagTypeLong);
    EXPECT_EQ(delays.second, (std::vector<std::uint8_t>{10, 0, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}));
    const auto loops = Property(image.get(), PropertyTagLoopCount);
    EXPECT_EQ(loops.first, PropertyTagTypeShort);
    EXPECT_EQ(loops.second, (std::vector<std::uint8_t>{3, 0}));
    const auto comment = Property(image.get(), PropertyTagExifUserComment);
    EXPECT_EQ(comment.first, PropertyTagTypeASCII);
    EXPECT_EQ(std::string(comment.second.begin(), comment.second.end()), std::string("first second\0", 13));
  }
}

TEST_F(GifDecoderTest, FramesOutsideTheScreenAreClipped) {
  // Single frame hanging over the bottom-right corner of a 3x3 screen.
  DecodedImage single;
  const auto corner = GifBuilder(3, 3, {kRed, kGreen}).Image(2, 2, 3, 3, {1, 0, 0, 0, 0, 0, 0, 0, 0}).Bytes();
  ASSERT_EQ(Decode(corner, single), Ok);
  EXPECT_EQ(Indices(single), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1}));

  // An animation frame entirely outside the screen draws nothing; the
  // frames around it still composite.
  GifBuilder gif(2, 2, {kRed, kGreen});
  gif.Image(0, 0, 2, 2, {0, 1, 1, 0}).Image(5, 5, 2, 2, {1, 1, 1, 1}).Image(1, 0, 4, 1, {0, 1, 1, 1});
  ImageGuard image(Load(gif.Bytes()));
  ASSERT_NE(image.get(), nullptr);
  SelectFrame(image.get(), 1);
  EXPECT_EQ(ReadArgbPixels(image.get()), (std::vector<ARGB>{kRed, kGreen, kGreen, kRed}));
  SelectFrame(image.get(), 2);
  EXPECT_EQ(ReadArgbPixels(image.get()), (std::vector<ARGB>{kRed, kRed, kGreen, kRed}));
}

TEST_F(GifDecoderTest, TruncatedAndCorruptFilesGiveStatus) {
  const auto whole = DisposalAnimation();
  // Without the trailer the complete frames are kept.
  DecodedImage noTrailer;
  ASSERT_EQ(Decode(DisposalAnimation(false), noTrailer), Ok);
  ASSERT_NE(noTrailer.frames, nullptr);
  EXPECT_EQ(noTrailer.frames->FrameCount(), 4u);
  // Cut inside the first frame's data, inside the screen descriptor, and
  // every other length: a status, never a crash.
  const std::size_t firstImageData = 13 + 12 + 19 + 9 + 8 + 10 + 2;
  EXPECT_EQ(LoadStatus({whole.begin(), whole.begin() + firstImageData}), InvalidParameter);
  EXPECT_EQ(LoadStatus({whole.begin(), whole.begin() + 9}), InvalidParameter);
  for (std::size_t length = 6; length < whole.size(); ++length) {
    DecodedImage decoded;
    const GpStatus status = Decode({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)}, decoded);
    EXPECT_TRUE(status == Ok || status == InvalidParameter) << length << " gave " << status;
  }
  // A code size byte above 11 is corrupt.
  auto badCodeSize = GifBuilder(1, 1, {kRed, kGreen}).Image(0, 0, 1, 1, {0}).Bytes();
  badCodeSize[13 + 6 + 10] = 12;
  EXPECT_EQ(LoadStatus(badCodeSize), InvalidParameter);
  // A file with no frame at all.
  EXPECT_EQ(LoadStatus(GifBuilder(1, 1, {kRed, kGreen}).Comment("only").Bytes()), InvalidParameter);
}

TEST_F(GifDecoderTest, LimitsOnScreenSizeAndFrameCount) {
  EXPECT_EQ(LoadStatus(GifBuilder(65535, 65535, {kRed, kGreen}).Image(0, 0, 1, 1, {0}).Bytes()), OutOfMemory);
  EXPECT_EQ(LoadStatus(GifBuilder(0, 5, {kRed, kGreen}).Image(0, 0, 1, 1, {0}).Bytes()), InvalidParameter);
  // A huge frame on a small screen only keeps what is visible; its data
  // runs out long before its declared size, which is corrupt.
  EXPECT_EQ(LoadStatus(GifBuilder(2, 2, {kRed, kGreen}).Image(0, 0, 65535, 65535, {0, 1}).Bytes()), InvalidParameter);

  GifBuilder many(1, 1, {kRed, kGreen});
  for (std::uint32_t i = 0; i < 100001; ++i) many.Image(0, 0, 1, 1, {0});
  DecodedImage decoded;
  EXPECT_EQ(Decode(many.Bytes(), decoded), OutOfMemory);
}

}  // namespace
}  // namespace pixavue::platform::test
