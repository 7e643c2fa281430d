// Multi-frame files and streams: animated GIFs and multi-page TIFFs become
// documents in place or split into page files; single frames do not; failed
// loads leave neither images nor files.

#include <cstdlib>
#include <iterator>

#include <gtest/gtest.h>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/memory_stream.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "gif_test_files.h"
#include "tiff_test_files.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;

constexpr ARGB kColours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};

// A 2 x 1 GIF89a with one frame per delay; frame j shows kColours[j].
std::vector<std::uint8_t> AnimatedGif(const std::vector<std::uint16_t>& delays, std::uint16_t loops,
                                      const std::string& comment) {
  platform::test::GifBuilder gif(2, 1, {std::begin(kColours), std::end(kColours)});
  gif.Loop(loops).Comment(comment);
  for (std::size_t j = 0; j < delays.size(); ++j) {
    const auto index = static_cast<std::uint8_t>(j);
    gif.Control(0, delays[j]).Image(0, 0, 2, 1, {index, index});
  }
  return gif.Bytes();
}

// A TIFF of grey pages; page p is p + 1 pixels wide.
std::vector<std::uint8_t> GreyTiff(std::uint32_t pageCount) {
  std::vector<platform::test::TiffPageSpec> pages(pageCount);
  for (std::uint32_t p = 0; p < pageCount; ++p) {
    pages[p].width = p + 1;
    pages[p].samples.assign(p + 1, static_cast<std::uint8_t>(60 * p));
  }
  return platform::test::WriteTiffPages(pages);
}

ComPtr<IStream> StreamOf(std::vector<std::uint8_t> bytes) {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateMemoryStream(std::move(bytes), stream.ReleaseAndGetAddressOf()), S_OK);
  return stream;
}

std::int32_t Width(ImageId id) {
  std::int32_t width = 0;
  GetImageWidth(id, width);
  return width;
}

ARGB FirstPixel(ImageId id) { return platform::test::ReadArgbPixels(NativeHandle(id)).at(0); }

class MultiFrameTest : public EngineTest {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    platform::test::WriteFile(temp_dir() / name, bytes);
    return (temp_dir() / name).string();
  }
  static FileLoadOptions InPlace(bool tiff, bool gif) { return FileLoadOptions{false, tiff, gif}; }
  const std::vector<std::uint8_t> gif_ = AnimatedGif({0, 7, 12}, 3, "hello");
};

TEST_F(MultiFrameTest, AGifFileBecomesAnInPlaceDocument) {
  const std::size_t files = FilesInTempDir();
  ImageId id = kNoImage;
  ASSERT_EQ(LoadFromFile(Write("anim.gif", gif_), InPlace(false, true), id), QuorvexStatus::OK);
  ASSERT_TRUE(IsAnimatedGif(id));
  EXPECT_FALSE(IsSplitGif(id));
  const ImageSlot& slot = *SlotOf(id);
  EXPECT_EQ(slot.PageDelays, (std::vector<std::int32_t>{25, 7, 12}));  // a 0 delay shows for a quarter second
  EXPECT_EQ(slot.LoopCount, 3);
  EXPECT_EQ(slot.GifComment, "hello");
  EXPECT_EQ(CurrentGifFrame(id), 0);
  EXPECT_EQ(FirstPixel(id), kColours[0]);
  ASSERT_EQ(SelectPage(id, 2, DocumentKind::Gif), QuorvexStatus::OK);
  EXPECT_EQ(FirstPixel(id), kColours[2]);
  EXPECT_EQ(FilesInTempDir(), files + 1);  // only anim.gif: the decoder keeps the frames
  ReleaseImage(id);
}

TEST_F(MultiFrameTest, AGifStreamIsSplitIntoPngPageFiles) {
  for (const bool colourManaged : {false, true}) {
    ImageId id = kNoImage;
    ASSERT_EQ(LoadFromStream(StreamOf(gif_).Get(), colourManaged, id), QuorvexStatus::OK);  // stream gone
    ASSERT_TRUE(IsSplitGif(id));
    const ImageSlot& slot = *SlotOf(id);
    EXPECT_EQ(slot.PageBitDepths, (std::vector<std::int32_t>{32, 32, 32}));
    EXPECT_EQ(slot.PageDelays, (std::vector<std::int32_t>{25, 7, 12}));
    for (const std::string& file : slot.PageFiles) EXPECT_FALSE(FileExists(file).empty());
    EXPECT_EQ(FilesInTempDir(), 3u);
    EXPECT_EQ(GetFormatName(ResolvePage(id)), "PNG");
    EXPECT_EQ(FirstPixel(id), kColours[0]);
    ASSERT_EQ(SelectPage(id, 1, DocumentKind::Gif), QuorvexStatus::OK);
    EXPECT_EQ(FirstPixel(id), kColours[1]);
    ReleaseImage(id);
    EXPECT_EQ(FilesInTempDir(), 0u);
  }
}

TEST_F(MultiFrameTest, ATiffFileInPlaceAndSplit) {
  const std::string path = Write("pages.tif", GreyTiff(3));
  for (const bool inPlace : {true, false}) {
    ImageId id = kNoImage;
    ASSERT_EQ(LoadFromFile(path, InPlace(inPlace, false), id), QuorvexStatus::OK);
    EXPECT_TRUE(IsMultiPageTiff(id));
    EXPECT_EQ(IsSplitTiff(id), !inPlace);
    EXPECT_EQ(SlotOf(id)->SourcePath, inPlace ? "" : path);
    EXPECT_EQ(FilesInTempDir(), inPlace ? 1u : 4u);
    for (std::int32_t page : {0, 2, 1}) {
      ASSERT_EQ(SelectPage(id, page, DocumentKind::Tiff), QuorvexStatus::OK);
      EXPECT_EQ(Width(id), page + 1);
    }
    ReleaseImage(id);
    EXPECT_EQ(FilesInTempDir(), 1u);
  }
}

TEST_F(MultiFrameTest, SingleFramesAreNoDocuments) {
  for (const auto& bytes : {GreyTiff(1), AnimatedGif({9}, 0, "x")}) {
    ImageId id = kNoImage;
    ASSERT_EQ(LoadFromFile(Write("single", bytes), InPlace(false, false), id), QuorvexStatus::OK);
    EXPECT_FALSE(SlotOf(id)->IsDocument());
    EXPECT_EQ(SlotOf(id)->Kind, SourceKind::GdiplusFile);
    ReleaseImage(id);
  }
}

TEST_F(MultiFrameTest, FailedLoadsLeaveNothingBehind) {
  const std::vector<std::uint8_t> truncated(gif_.begin(), gif_.end() - 12);
  ImageId id = 12345;
  EXPECT_EQ(LoadFromStream(nullptr, false, id), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(id, kNoImage);
  EXPECT_EQ(LoadFromFile(Write("cut.gif", truncated), InPlace(true, true), id), QuorvexStatus::Aborted);
  EXPECT_EQ(LoadFromStream(StreamOf(truncated).Get(), false, id), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(LoadFromStream(StreamOf({'G', 'I', 'F'}).Get(), false, id), QuorvexStatus::UnknownImageFormat);

  // No page file can be made: split documents without a stored frame.
  const std::string tiff = Write("pages.tif", GreyTiff(2));
  setenv("TMP", (temp_dir() / "missing").c_str(), 1);
  EXPECT_EQ(LoadFromStream(StreamOf(gif_).Get(), false, id), QuorvexStatus::UnknownImageFormat);
  OpenedFile opened;
  ASSERT_EQ(OpenForLoading(tiff, opened), QuorvexStatus::OK);
  EXPECT_EQ(LoadWithGdiplus(opened, false, false, true, id), QuorvexStatus::UnknownImageFormat);
  setenv("TMP", temp_dir().c_str(), 1);
  EXPECT_EQ(id, kNoImage);
  for (const ImageSlot& slot : Images().Slots) EXPECT_EQ(slot.Id, kNoImage);
  EXPECT_EQ(FilesInTempDir(), 2u);  // cut.gif and pages.tif
}

}  // namespace
}  // namespace pixavue::engine::test
