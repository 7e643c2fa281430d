// The image table: ids, slot reuse, release of what an image owns, format
// names and the queries on unknown ids.

#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/ole/global_memory.h>

#include "engine_test_support.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

using ImageTableTest = EngineTest;

TEST_F(ImageTableTest, FreeSlotsAreReusedAndTheTableShrinksFromItsEnd) {
  const ImageId a = MakeImage(1, 1);
  const ImageId b = MakeImage(1, 1);
  const ImageId c = MakeImage(1, 1);
  EXPECT_EQ(ReleaseImage(b), QuorvexStatus::OK);  // in the middle: cleared in place
  ASSERT_EQ(Images().Slots.size(), 3u);
  EXPECT_EQ(Images().Slots[1].Handle, nullptr);
  const ImageId d = MakeImage(1, 1);  // takes the free slot
  EXPECT_EQ(FindSlot(d), 1);
  EXPECT_EQ(FindSlot(c), 2);

  EXPECT_EQ(ReleaseImage(c), QuorvexStatus::OK);  // the last: the table shrinks by one
  EXPECT_EQ(Images().Slots.size(), 2u);
  EXPECT_EQ(ReleaseImage(a), QuorvexStatus::OK);
  EXPECT_EQ(ReleaseImage(d), QuorvexStatus::OK);
  EXPECT_EQ(Images().Slots.size(), 1u);  // only by one: the free first slot stays
}

TEST_F(ImageTableTest, IdsAreNeverZeroNorLive) {
  std::set<ImageId> seen;
  for (int i = 0; i < 3000; ++i) {
    ImageId id = kNoImage;
    RegisterImage(nullptr, "X", "", SourceKind::Plain, id);
    EXPECT_TRUE(id >= 1 && id <= 100'000'000) << id;
    EXPECT_TRUE(seen.insert(id).second) << id;
  }
  EXPECT_EQ(FindSlot(kNoImage), -1);  // free slots carry 0 and are never found
}

TEST_F(ImageTableTest, FormatNames) {
  const ImageId memory = MakeImage(3, 2, PixelFormat8bppIndexed);
  EXPECT_EQ(GetFormatName(memory), "Memory BMP");
  EXPECT_EQ(SlotOf(memory)->BitDepth, 8);
  ImageId named = kNoImage;
  RegisterImage(nullptr, "JPEG", "", SourceKind::Plain, named);
  EXPECT_EQ(GetFormatName(named), "JPEG");
  EXPECT_EQ(GetFormatName(123), "");
  const struct {
    GUID format;
    const char* name;
  } cases[] = {{ImageFormatUndefined, "UNKNOWN"}, {ImageFormatMemoryBMP, "Memory BMP"}, {ImageFormatWMF, "WMF"},
               {ImageFormatTIFF, "TIFF"},         {ImageFormatIcon, "ICON"},             {ImageFormatEXIF, "EXIF"},
               {FrameDimensionPage, "Undefined"}};
  for (const auto& c : cases) EXPECT_EQ(FormatNameFromRawFormat(c.format), c.name) << c.name;
}

TEST_F(ImageTableTest, UnknownIdsGiveInvalidParameterAndZeroOutputs) {
  std::int32_t number = 7;
  float dpi = 7;
  for (const ImageId id : {kNoImage, ImageId{42}}) {
    EXPECT_EQ(ReleaseImage(id), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(GetImageWidth(id, number), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(GetVerticalResolution(id, dpi), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(dpi, 0.0f);
    EXPECT_EQ(GetTiffPageCount(id, number), QuorvexStatus::UnsupportedImageFormat);
    EXPECT_EQ(CurrentGifFrame(id), 0);
    EXPECT_EQ(ResolvePage(id), id);
  }
  const ImageId plain = MakeImage(4, 3);
  EXPECT_EQ(GetGifPageCount(plain, number), QuorvexStatus::UnsupportedImageFormat);
  EXPECT_EQ(GetTiffFrameCount(plain, number), QuorvexStatus::OK);  // not a TIFF: no count
  EXPECT_EQ(number, 0);
  EXPECT_EQ(CurrentTiffPage(plain), -1);
}

TEST_F(ImageTableTest, ReleaseFreesOwnedMemoryAndDeletesTheSourceFile) {
  const ImageId dib = MakeImage(1, 1, PixelFormat24bppRGB, SourceKind::PackedDib);
  const HGLOBAL memory = GlobalAlloc(GHND, 64);
  SlotOf(dib)->DibMemory = memory;
  const auto source = temp_dir() / "downloaded";
  std::ofstream(source) << "x";
  const ImageId temporary = MakeImage(1, 1);
  SlotOf(temporary)->SourcePath = source.string();
  SlotOf(temporary)->DeleteFileOnRelease = true;

  EXPECT_EQ(ReleaseImage(dib), QuorvexStatus::OK);
  EXPECT_EQ(GlobalSize(memory), 0u);  // no longer a live block
  EXPECT_EQ(ReleaseImage(temporary), QuorvexStatus::OK);
  EXPECT_FALSE(std::filesystem::exists(source));
}

}  // namespace
}  // namespace pixavue::engine::test
