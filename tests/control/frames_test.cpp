// Pages of a multi-page TIFF and frames of a GIF shown one by one: what
// each page change shows, its status and its PageChange event, the ends of
// the document, pages that do not exist and images that are no documents.

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "view_test_support.h"

namespace pixavue::testing {
namespace {

using platform::ARGB;

constexpr std::uint8_t kPageGrey[] = {10, 60, 110, 160, 210};
constexpr ARGB kBackground = 0xFF000000u;

class FramesTest : public ControlTest {
 protected:
  void SetUp() override {
    control_ = NewControl();
    control_->Resize(100, 80);
  }
  void TearDown() override { control_.reset(); }

  ImageBox& box() { return control_->Control(); }
  std::size_t PageChanges() const { return control_->Events().Count(ImageBoxDispid::PageChange); }
  ARGB Centre() { return ComposeView(box()).At(50, 40); }

  // A five-page TIFF of 40 x 30 pixels, page p of grey kPageGrey[p - 1].
  void LoadFivePages() {
    const std::string path = folder_.Write("pages.tif", GreyTiff(40, 30, {std::begin(kPageGrey), std::end(kPageGrey)}));
    ASSERT_EQ(box().DisplayFromFile(path), QuorvexStatus::OK);
    ASSERT_EQ(box().get_PageCount(), 5);
    control_->Events().Clear();
  }

  TestFolder folder_;
  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(FramesTest, EachPageShowsItsOwnPictureAndRaisesPageChange) {
  LoadFivePages();
  EXPECT_EQ(box().GetTotalFrame(), 5);
  EXPECT_EQ(box().get_CurrentPage(), 1);
  EXPECT_EQ(Centre(), Grey(kPageGrey[0]));
  EXPECT_EQ(box().DisplayFrame(3), QuorvexStatus::OK);
  EXPECT_EQ(box().get_CurrentPage(), 3);
  EXPECT_EQ(Centre(), Grey(kPageGrey[2]));
  EXPECT_EQ(box().DisplayNextFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().get_CurrentPage(), 4);
  EXPECT_EQ(box().DisplayPreviousFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayPreviousFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().get_CurrentPage(), 2);
  EXPECT_EQ(box().DisplayLastFrame(), QuorvexStatus::OK);
  EXPECT_EQ(Centre(), Grey(kPageGrey[4]));
  EXPECT_EQ(box().DisplayFirstFrame(), QuorvexStatus::OK);
  EXPECT_EQ(Centre(), Grey(kPageGrey[0]));
  EXPECT_EQ(PageChanges(), 6u);

  // At the saved view, too.
  EXPECT_EQ(box().DisplayFrame(4), QuorvexStatus::OK);
  EXPECT_EQ(SavedView(*control_, folder_).At(50, 40), Grey(kPageGrey[3]));
}

// On page 5 the shortcut forward does nothing and returns the status left
// by the last member; a page past the end changes nothing but still raises
// PageChange, and resets the status.
TEST_F(FramesTest, EndsOfTheDocumentAndPagesThatDoNotExist) {
  LoadFivePages();
  ASSERT_EQ(box().DisplayLastFrame(), QuorvexStatus::OK);
  control_->Events().Clear();
  ASSERT_EQ(box().ZoomArea(0, 0, 0, 0), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(box().DisplayNextFrame(), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(box().DisplayLastFrame(), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(PageChanges(), 0u);

  for (const std::int32_t page : {6, 0, -1, std::numeric_limits<std::int32_t>::max(),
                                  std::numeric_limits<std::int32_t>::min()}) {
    control_->Events().Clear();
    ASSERT_EQ(box().ZoomArea(0, 0, 0, 0), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(box().DisplayFrame(page), QuorvexStatus::OK) << page;
    EXPECT_EQ(box().get_CurrentPage(), 5) << page;
    EXPECT_EQ(PageChanges(), 1u) << page;
    EXPECT_EQ(Centre(), Grey(kPageGrey[4])) << page;
  }
  ASSERT_EQ(box().DisplayFirstFrame(), QuorvexStatus::OK);
  control_->Events().Clear();
  EXPECT_EQ(box().DisplayPreviousFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayFirstFrame(), QuorvexStatus::OK);
  EXPECT_EQ(PageChanges(), 0u);
}

TEST_F(FramesTest, PageChangeClearsTheSelectionAndAlignsTheNewPage) {
  control_->Resize(30, 20);  // smaller than a page: both bars
  box().put_ImageAlignment(ImageAlignmentTopLeft);
  LoadFivePages();
  box().SetHVScrollBarPosition(box().GetHScrollBarMaxPosition(), box().GetVScrollBarMaxPosition());
  ASSERT_GT(box().GetHScrollBarPosition(), 0);
  box().SetRectValues(2, 2, 5, 5);
  ASSERT_TRUE(box().isRectDrawed());
  ASSERT_EQ(box().DisplayNextFrame(), QuorvexStatus::OK);
  EXPECT_FALSE(box().isRectDrawed());
  EXPECT_EQ(box().GetHScrollBarPosition(), 0);
  EXPECT_EQ(box().GetVScrollBarPosition(), 0);
}

// A single image is no page document: selecting its page fails with
// UnsupportedImageFormat, the surface shows only its background and the
// page reads 0 until Redraw shows the image again.
TEST_F(FramesTest, PageOfASingleImageFailsAndClearsTheSurface) {
  ASSERT_EQ(box().SetNativeImage(SolidBitmap(40, 30, 0xFF336699u)), QuorvexStatus::OK);
  ASSERT_EQ(Centre(), 0xFF336699u);
  control_->Events().Clear();
  EXPECT_EQ(box().DisplayFrame(1), QuorvexStatus::UnsupportedImageFormat);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::UnsupportedImageFormat);
  EXPECT_EQ(box().get_CurrentPage(), 0);
  EXPECT_EQ(Centre(), kBackground);
  EXPECT_EQ(PageChanges(), 1u);
  EXPECT_EQ(box().Redraw(), QuorvexStatus::OK);
  EXPECT_EQ(Centre(), 0xFF336699u);

  // The same on a control that draws through a picture.
  box().put_ForcePictureMode(true);
  ASSERT_EQ(box().Redraw(), QuorvexStatus::OK);
  ASSERT_EQ(Centre(), 0xFF336699u);
  box().DisplayFrame(1);
  EXPECT_EQ(Centre(), kBackground);
}

TEST_F(FramesTest, WithoutAnImageThePageMembersDoNothing) {
  control_->Events().Clear();
  EXPECT_EQ(box().DisplayFirstFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayLastFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayNextFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayFrame(1), QuorvexStatus::OK);
  EXPECT_EQ(box().GetTotalFrame(), 0);
  EXPECT_TRUE(control_->Events().Events().empty());
}

// Without AnimateGIF a GIF's frames are pages too.
TEST_F(FramesTest, FramesOfAStillGifAreShownOneByOne) {
  const std::vector<ARGB> colours{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  const std::string path = folder_.Write("frames.gif", ColouredGif(40, 30, colours, {10, 10, 10}));
  ASSERT_EQ(box().DisplayFromFile(path), QuorvexStatus::OK);
  EXPECT_TRUE(box().Runtime().IsAnimatedGif);
  EXPECT_EQ(box().get_PageCount(), 3);
  EXPECT_EQ(Centre(), colours[0]);
  EXPECT_EQ(box().DisplayLastFrame(), QuorvexStatus::OK);
  EXPECT_EQ(box().get_CurrentPage(), 3);
  EXPECT_EQ(Centre(), colours[2]);
  EXPECT_EQ(box().DisplayFrame(2), QuorvexStatus::OK);
  EXPECT_EQ(Centre(), colours[1]);
  host_.Advance(1000);  // nothing plays
  EXPECT_EQ(Centre(), colours[1]);
}

}  // namespace
}  // namespace pixavue::testing
