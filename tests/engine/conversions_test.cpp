// Copies over engine buffers: the stride rule, conversions, palettes,
// properties, buffers moved by a rotation, and the rule for indexed images
// on imaging libraries before version 6.

#include <gtest/gtest.h>

#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "engine_buffer.h"
#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "session_internal.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;
using platform::test::ReadArgbPixels;

PixelFormat FormatOf(ImageId id) {
  PixelFormat format = 0;
  GetPixelFormat(id, format);
  return format;
}

std::vector<std::uint8_t> PaletteBlock(ImageId id) {
  INT size = 0;
  GdipGetImagePaletteSize(NativeHandle(id), &size);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(size));
  GdipGetImagePalette(NativeHandle(id), reinterpret_cast<ColorPalette*>(block.data()), size);
  return block;
}

using ConversionsTest = EngineTest;

TEST_F(ConversionsTest, StrideRule) {
  const std::int32_t cases[][3] = {  // bits, width, stride
      {1, 32, 4}, {1, 33, 8}, {4, 1, 16},  {4, 33, 32}, {8, 5, 8},   {16, 1, 4},  {16, 3, 8},
      {24, 1, 4}, {24, 5, 16}, {32, 3, 12}, {48, 1, 8},  {48, 5, 32}, {64, 3, 24}, {12, 10, 0},
      {32, 0, 0}, {24, -4, 0}};
  for (const auto& c : cases) EXPECT_EQ(StrideForBits(c[0], c[1]), c[2]) << c[0] << " bits, width " << c[1];
  EXPECT_EQ(BitsPerPixel(PixelFormat16bppGrayScale), 16);
  EXPECT_EQ(BitsPerPixel(PixelFormat32bppCMYK), 0);
}

TEST_F(ConversionsTest, ImageWithoutPixelsGivesGenericErrorAndAllocatesNothing) {
  ImageId empty = kNoImage;  // a slot whose handle reports no size
  RegisterImage(nullptr, "X", "", SourceKind::Plain, empty);
  ImageId copy = 5;
  EXPECT_EQ(ConvertPixelFormat(empty, PixelFormat32bppARGB, true, copy), QuorvexStatus::GenericError);
  EXPECT_EQ(copy, kNoImage);
  EXPECT_EQ(LiveEngineBufferCount(), 0);
  EXPECT_EQ(Images().Slots.size(), 1u);
  EXPECT_EQ(ConvertPixelFormat(77, PixelFormat32bppARGB, true, copy), QuorvexStatus::InvalidParameter);
}

TEST_F(ConversionsTest, ConversionKeepsPixelsResolutionAndProperties) {
  const ImageId source = MakeImage(5, 3);
  GdipBitmapSetResolution(NativeHandle(source), 150.0f, 75.0f);
  char text[] = "camera";
  PropertyItem item{PropertyTagEquipMake, sizeof(text), PropertyTagTypeASCII, text};
  ASSERT_EQ(GdipSetPropertyItem(NativeHandle(source), &item), Ok);

  ImageId copy = kNoImage;
  ASSERT_EQ(ConvertPixelFormat(source, PixelFormat32bppARGB, true, copy), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(copy)->Kind, SourceKind::EngineBuffer);
  EXPECT_EQ(FormatOf(copy), PixelFormat32bppARGB);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(copy)), PatternPixels(5, 3));
  float dpi = 0;
  GetVerticalResolution(copy, dpi);
  EXPECT_EQ(dpi, 75.0f);
  EXPECT_EQ(platform::test::ReadProperty(NativeHandle(copy), PropertyTagEquipMake).bytes.size(), sizeof(text));

  // Without keeping the source, the copy takes its place under its id.
  ImageId taken = kNoImage;
  ASSERT_EQ(ConvertPixelFormat(source, PixelFormat32bppPARGB, false, taken), QuorvexStatus::OK);
  EXPECT_EQ(taken, source);
  EXPECT_EQ(FormatOf(source), PixelFormat32bppPARGB);
  EXPECT_EQ(LiveEngineBufferCount(), 2);
}

TEST_F(ConversionsTest, CopyIntoEngineBufferKeepsTheFormatAndPalette) {
  const ImageId indexed = MakeImage(4, 4, PixelFormat8bppIndexed);
  std::vector<std::uint8_t> block = PaletteBlock(indexed);
  ASSERT_GE(block.size(), sizeof(ColorPalette));
  reinterpret_cast<ColorPalette*>(block.data())->Entries[0] = 0xFF102030u;
  ASSERT_EQ(GdipSetImagePalette(NativeHandle(indexed), reinterpret_cast<ColorPalette*>(block.data())), Ok);

  ImageId copy = kNoImage;
  ASSERT_EQ(CopyIntoEngineBuffer(indexed, copy), QuorvexStatus::OK);
  EXPECT_EQ(FormatOf(copy), PixelFormat8bppIndexed);
  EXPECT_EQ(PaletteBlock(copy), block);
  EXPECT_EQ(ReadArgbPixels(NativeHandle(copy)), ReadArgbPixels(NativeHandle(indexed)));
}

TEST_F(ConversionsTest, BufferMovedByARotationIsFreedOnce) {
  const ImageId source = MakeImage(3, 2);
  // A flip or a turn gives the bitmap new pixels of its own; the engine's
  // buffer is then freed once, and not again at the release.
  for (const RotateFlipType type : {Rotate90FlipNone, RotateNoneFlipX, Rotate180FlipNone}) {
    ImageId copy = kNoImage;
    ASSERT_EQ(CopyIntoEngineBuffer(source, copy), QuorvexStatus::OK);
    EXPECT_FALSE(ReleaseMovedPixelBuffer(copy));  // not moved yet
    ASSERT_EQ(GdipImageRotateFlip(NativeHandle(copy), type), Ok);
    EXPECT_TRUE(ReleaseMovedPixelBuffer(copy)) << type;
    EXPECT_EQ(LiveEngineBufferCount(), 0);
    EXPECT_EQ(SlotOf(copy)->Kind, SourceKind::ForeignPixels);
    EXPECT_EQ(ReleaseImage(copy), QuorvexStatus::OK);
    EXPECT_EQ(LiveEngineBufferCount(), 0);
  }
  // Unmoved pixels are freed by the release; moved ones that nobody noticed
  // are left alone, as the bitmap no longer reads them.
  ImageId copy = kNoImage;
  ASSERT_EQ(CopyIntoEngineBuffer(source, copy), QuorvexStatus::OK);
  ReleaseImage(copy);
  EXPECT_EQ(LiveEngineBufferCount(), 0);
  ASSERT_EQ(CopyIntoEngineBuffer(source, copy), QuorvexStatus::OK);
  BYTE* buffer = SlotOf(copy)->PixelBuffer;
  ASSERT_EQ(GdipImageRotateFlip(NativeHandle(copy), Rotate270FlipNone), Ok);
  ReleaseImage(copy);
  EXPECT_EQ(LiveEngineBufferCount(), 1);
  FreeEngineBuffer(buffer);
}

TEST_F(ConversionsTest, IndexedImagesAreConvertedOnlyBeforeVersion6) {
  const ImageId indexed = MakeImage(2, 2, PixelFormat4bppIndexed);
  const ImageId rgb = MakeImage(2, 2);
  EXPECT_EQ(PrepareIndexedImage(indexed), QuorvexStatus::OK);
  EXPECT_EQ(FormatOf(indexed), PixelFormat4bppIndexed);

  SetGdiplusVersionForTesting("5.1.3102.5581");
  const auto pixels = ReadArgbPixels(NativeHandle(indexed));
  EXPECT_EQ(PrepareIndexedImage(indexed), QuorvexStatus::OK);
  EXPECT_EQ(FormatOf(indexed), PixelFormat32bppARGB);  // in place, same id
  EXPECT_EQ(ReadArgbPixels(NativeHandle(indexed)), pixels);
  EXPECT_EQ(PrepareIndexedImage(rgb), QuorvexStatus::OK);
  EXPECT_EQ(FormatOf(rgb), PixelFormat24bppRGB);
}

}  // namespace
}  // namespace pixavue::engine::test
