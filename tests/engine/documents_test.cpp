// Documents: page selection in split and in-place documents, the GIF
// animation properties, changed pages kept in new page files, replacement
// and release with every page.

#include <cstring>

#include <gtest/gtest.h>

#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "engine_test_support.h"
#include "gdiplus_test_support.h"
#include "page_files.h"
#include "tiff_test_files.h"

namespace pixavue::engine::test {
namespace {

using namespace pixavue::platform;
using platform::test::ReadProperty;
using platform::test::TestProperty;

std::int32_t Width(ImageId id) {
  std::int32_t width = 0;
  GetImageWidth(id, width);
  return width;
}

std::vector<std::uint32_t> Delays(ImageId document) {
  const auto bytes = ReadProperty(NativeHandle(document), PropertyTagFrameDelay).bytes;
  std::vector<std::uint32_t> delays(bytes.size() / 4);
  std::memcpy(delays.data(), bytes.data(), delays.size() * 4);
  return delays;
}

class DocumentsTest : public EngineTest {
 protected:
  // A three-page TIFF file opened by the imaging library, registered as an
  // in-place document; page p is p + 1 pixels wide.
  ImageId MakeInPlaceTiff() {
    std::vector<platform::test::TiffPageSpec> pages(3);
    for (std::uint32_t p = 0; p < 3; ++p) {
      pages[p].width = p + 1;
      pages[p].samples.assign(p + 1, static_cast<std::uint8_t>(40 * p));
    }
    const auto path = temp_dir() / "pages.tif";
    platform::test::WriteFile(path, platform::test::WriteTiffPages(pages));
    ImageId document = kNoImage;
    RegisterImage(platform::test::LoadImage(path), "", path.string(), SourceKind::GdiplusFile, document);
    ImageSlot& slot = *SlotOf(document);
    slot.IsMultiPageTiff = true;
    slot.InPlacePages = true;
    slot.PageCount = 3;
    slot.PageImages.assign(3, kNoImage);
    slot.PageFiles.assign(3, "");
    slot.PageBitDepths.assign(3, 8);
    return document;
  }
};

TEST_F(DocumentsTest, SplitGifPagesAndTheirAnimationProperties) {
  const ImageId gif = MakeSplitDocument(DocumentKind::Gif, 3);
  EXPECT_EQ(NativeHandle(gif), nullptr);  // no current page yet
  EXPECT_EQ(SelectPage(gif, 3, DocumentKind::Gif), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(SelectPage(gif, -1, DocumentKind::Gif), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(SelectPage(gif, 0, DocumentKind::Tiff), QuorvexStatus::UnsupportedImageFormat);

  ASSERT_EQ(SelectPage(gif, 0, DocumentKind::Gif), QuorvexStatus::OK);
  const ImageId page0 = ResolvePage(gif);
  EXPECT_NE(page0, gif);
  EXPECT_TRUE(IsSplitGif(gif));
  EXPECT_EQ(Width(gif), 1);
  EXPECT_EQ(Delays(gif), (std::vector<std::uint32_t>{5, 10, 15}));
  EXPECT_EQ(ReadProperty(NativeHandle(gif), PropertyTagLoopCount).bytes, (std::vector<std::uint8_t>{3, 0}));
  EXPECT_TRUE(ReadProperty(NativeHandle(gif), PropertyTagExifUserComment).bytes.empty());  // no comment

  // Selecting the current frame again keeps the page but writes the
  // properties again.
  GdipRemovePropertyItem(NativeHandle(gif), PropertyTagFrameDelay);
  SlotOf(gif)->GifComment = " hi";
  ASSERT_EQ(SelectPage(gif, 0, DocumentKind::Gif), QuorvexStatus::OK);
  EXPECT_EQ(ResolvePage(gif), page0);
  EXPECT_EQ(Delays(gif).size(), 3u);
  const TestProperty comment = ReadProperty(NativeHandle(gif), PropertyTagExifUserComment);
  EXPECT_EQ(comment.type, PropertyTagTypeASCII);
  EXPECT_EQ(comment.bytes, (std::vector<std::uint8_t>{' ', 'h', 'i', 0}));
  EXPECT_FALSE(SlotOf(page0)->Modified);

  ASSERT_EQ(SelectPage(gif, 2, DocumentKind::Gif), QuorvexStatus::OK);
  EXPECT_EQ(FindSlot(page0), -1);  // the previous page image went
  EXPECT_EQ(Width(gif), 3);
}

TEST_F(DocumentsTest, ChangedPageIsStoredInANewPageFile) {
  const ImageId tiff = MakeSplitDocument(DocumentKind::Tiff, 2);
  ASSERT_EQ(SelectPage(tiff, 0, DocumentKind::Tiff), QuorvexStatus::OK);
  const std::string original = SlotOf(tiff)->PageFiles[0];
  ASSERT_EQ(SelectPage(tiff, 1, DocumentKind::Tiff), QuorvexStatus::OK);
  EXPECT_EQ(SlotOf(tiff)->PageFiles[0], original);  // unchanged: not stored again

  MarkModified(tiff);
  EXPECT_FALSE(SlotOf(tiff)->Modified);
  EXPECT_TRUE(SlotOf(ResolvePage(tiff))->Modified);  // the page, not the document
  ASSERT_EQ(SelectPage(tiff, 0, DocumentKind::Tiff), QuorvexStatus::OK);
  const std::string stored = SlotOf(tiff)->PageFiles[1];
  EXPECT_NE(stored, "");
  EXPECT_TRUE(std::filesystem::exists(stored));
  EXPECT_EQ(FilesInTempDir(), 2u);  // the old page file is gone
  ASSERT_EQ(SelectPage(tiff, 1, DocumentKind::Tiff), QuorvexStatus::OK);
  EXPECT_EQ(Width(tiff), 2);  // read back from the new page file
  SlotOf(tiff)->PageFiles[0].clear();  // a page without its file
  EXPECT_EQ(SelectPage(tiff, 0, DocumentKind::Tiff), QuorvexStatus::GenericError);
}

TEST_F(DocumentsTest, ReleasingASplitDocumentDeletesEveryPageFileAndPageImage) {
  const ImageId gif = MakeSplitDocument(DocumentKind::Gif, 3);
  ASSERT_EQ(SelectPage(gif, 1, DocumentKind::Gif), QuorvexStatus::OK);
  const ImageId current = ResolvePage(gif);
  ImageId extra = kNoImage;  // a second loaded page
  ASSERT_EQ(LoadPageFile(SlotOf(gif)->PageFiles[2], extra), QuorvexStatus::OK);
  SlotOf(gif)->PageImages[2] = extra;
  const ImageId other = MakeImage(1, 1);
  EXPECT_EQ(FilesInTempDir(), 3u);

  EXPECT_EQ(ReleaseImage(gif), QuorvexStatus::OK);
  EXPECT_EQ(FilesInTempDir(), 0u);
  EXPECT_EQ(FindSlot(current), -1);
  EXPECT_EQ(FindSlot(extra), -1);
  EXPECT_GE(FindSlot(other), 0);
}

TEST_F(DocumentsTest, ReplacingImagesAndTheCurrentPage) {
  const ImageId a = MakeImage(2, 2);
  const ImageId b = MakeImage(5, 5);
  EXPECT_EQ(ReplaceImage(a, 999), kNoImage);
  EXPECT_EQ(ReplaceImage(a, b), a);
  EXPECT_EQ(Width(a), 5);  // b's image under a's id

  const ImageId tiff = MakeSplitDocument(DocumentKind::Tiff, 2);
  ASSERT_EQ(SelectPage(tiff, 1, DocumentKind::Tiff), QuorvexStatus::OK);
  const ImageId oldPage = ResolvePage(tiff);
  const std::string oldFile = SlotOf(tiff)->PageFiles[1];
  const ImageId replacement = MakeImage(7, 2, PixelFormat32bppARGB);
  MarkModified(replacement);
  EXPECT_EQ(ReplaceImage(tiff, replacement), tiff);
  EXPECT_EQ(ResolvePage(tiff), replacement);
  EXPECT_EQ(FindSlot(oldPage), -1);
  EXPECT_FALSE(std::filesystem::exists(oldFile));
  EXPECT_TRUE(std::filesystem::exists(SlotOf(tiff)->PageFiles[1]));
  EXPECT_EQ(SlotOf(tiff)->PageBitDepths[1], 32);
  EXPECT_FALSE(SlotOf(replacement)->Modified);
}

TEST_F(DocumentsTest, InPlaceTiffPagesAreFramesOfOneDecoder) {
  const ImageId tiff = MakeInPlaceTiff();
  std::int32_t frames = 0;
  EXPECT_EQ(GetTiffFrameCount(tiff, frames), QuorvexStatus::OK);
  EXPECT_EQ(frames, 3);
  ASSERT_EQ(SelectPage(tiff, 2, DocumentKind::Tiff), QuorvexStatus::OK);
  EXPECT_EQ(Width(tiff), 3);
  EXPECT_EQ(NativeHandle(tiff), SlotOf(tiff)->Handle);
  EXPECT_EQ(ResolvePage(tiff), tiff);
  EXPECT_FALSE(IsSplitTiff(tiff));
  ASSERT_EQ(SelectPage(tiff, 0, DocumentKind::Tiff), QuorvexStatus::OK);
  EXPECT_EQ(Width(tiff), 1);
  EXPECT_EQ(SelectPage(tiff, 1, DocumentKind::Gif), QuorvexStatus::UnsupportedImageFormat);

  MarkModified(tiff);  // three frames remain: still a document
  EXPECT_TRUE(SlotOf(tiff)->Modified);
  EXPECT_TRUE(IsMultiPageTiff(tiff));
}

}  // namespace
}  // namespace pixavue::engine::test
