// Adopting images registered with the engine: page and frame counts, GIF
// frame delays, size and resolutions, pixel aspect, the query messages and
// SilentMode, and closing.

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/shell/message_box.h>

#include <string>
#include <vector>

#include "control_test_support.h"
#include "image.h"  // to give an image a resolution no decoder produces

namespace pixavue::testing {
namespace {

using platform::GpImage;

class AdoptImageTest : public ControlTest {
 protected:
  void SetUp() override { control_ = NewControl(); }
  void TearDown() override { control_.reset(); }

  ImageBox& box() { return control_->Control(); }

  // A GIF file decoded by the imaging library and registered as its file
  // loader registers it.
  engine::ImageId RegisterGif(const std::vector<std::uint16_t>& delays) {
    const TempFile file("adopt.gif", GifBytes(delays));
    GpImage* image = nullptr;
    EXPECT_EQ(platform::GdipLoadImageFromFile(file.widePath().c_str(), &image), platform::Ok);
    engine::ImageId id = engine::kNoImage;
    engine::RegisterImage(image, "", "", engine::SourceKind::GdiplusFile, id);
    return id;
  }

  // Makes an animated GIF an in-place document with these delays, as the
  // file loader does.
  static void MakeGifDocument(engine::ImageId id, const std::vector<std::int32_t>& delays) {
    engine::ImageSlot* slot = engine::SlotOf(id);
    ASSERT_NE(slot, nullptr);
    const std::size_t pages = delays.size();
    slot->IsAnimatedGif = true;
    slot->InPlacePages = true;
    slot->PageCount = static_cast<std::int32_t>(pages);
    slot->PageDelays = delays;
    slot->PageImages.assign(pages, engine::kNoImage);
    slot->PageFiles.assign(pages, "");
    slot->PageBitDepths.assign(pages, 32);
    slot->CurrentPageIndex = 0;
  }

  // A 4 x 2 bitmap with the given resolutions.
  static engine::ImageId RegisterBitmap(float horizontalDpi, float verticalDpi) {
    GpImage* bitmap = nullptr;
    EXPECT_EQ(platform::GdipCreateBitmapFromScan0(4, 2, 0, platform::PixelFormat24bppRGB, nullptr, &bitmap),
              platform::Ok);
    EXPECT_EQ(platform::GdipBitmapSetResolution(bitmap, horizontalDpi, verticalDpi), platform::Ok);
    engine::ImageId id = engine::kNoImage;
    engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
    return id;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : host_.MessageBoxes()) texts.push_back(box.request.text);
    return texts;
  }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(AdoptImageTest, AnimatedGifGetsItsFrameCountAndDelaysInMilliseconds) {
  const engine::ImageId id = RegisterGif({0, 5, 12});
  MakeGifDocument(id, {0, 5, 12});
  ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  EXPECT_EQ(box().get_PageCount(), 3);
  EXPECT_EQ(box().get_CurrentPage(), 1);
  EXPECT_TRUE(box().Runtime().IsAnimatedGif);
  EXPECT_EQ(box().Runtime().FrameDelays, (std::vector<std::int32_t>{100, 50, 120}));
  EXPECT_EQ(box().get_ImageWidth(), 1);
  EXPECT_EQ(box().get_ImageHeight(), 1);

  // The next GIF, of one frame, has no delays.
  const engine::ImageId still = RegisterGif({7});
  ASSERT_EQ(box().SetNativeImage(still), QuorvexStatus::OK);
  EXPECT_EQ(box().get_PageCount(), 1);
  EXPECT_FALSE(box().Runtime().IsAnimatedGif);
  EXPECT_TRUE(box().Runtime().FrameDelays.empty());
  EXPECT_TRUE(host_.MessageBoxes().empty());
}

TEST_F(AdoptImageTest, PixelAspectIsVerticalOverHorizontalResolutionUnlessSkipped) {
  const engine::ImageId id = RegisterBitmap(200, 100);
  ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  EXPECT_EQ(box().get_HorizontalResolution(), 200.0f);
  EXPECT_EQ(box().get_VerticalResolution(), 100.0f);
  EXPECT_EQ(box().Runtime().PixelAspect, 0.5);
  EXPECT_EQ(box().get_PageCount(), 1);

  box().put_SkipImageResolution(true);
  ASSERT_EQ(box().Redraw(), QuorvexStatus::OK);
  EXPECT_EQ(box().Runtime().PixelAspect, 1.0);
  EXPECT_EQ(box().get_VerticalResolution(), 100.0f);  // still read, only not used
}

// The message is shown, but the image is adopted with a usable aspect.
TEST_F(AdoptImageTest, VerticalResolutionOfZeroIsReportedAndTheImageStillAdopted) {
  const engine::ImageId id = RegisterBitmap(200, 100);
  engine::NativeHandle(id)->frame.dpiY = 0;
  ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Invalid image: Can not get picture vertical resolution"});
  EXPECT_EQ(host_.MessageBoxes()[0].request.icon, platform::vbCritical);
  EXPECT_EQ(box().get_ImageWidth(), 4);
  EXPECT_EQ(box().get_ImageHeight(), 2);
  EXPECT_EQ(box().Runtime().PixelAspect, 1.0);
}

TEST_F(AdoptImageTest, FailedQueriesShowTheirMessageUnlessSilent) {
  constexpr engine::ImageId kUnknown = 12345;
  EXPECT_EQ(box().SetNativeImage(kUnknown), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Invalid image: Can not get picture height."});
  EXPECT_EQ(box().get_PageCount(), 1);

  host_.ClearMessageBoxes();
  box().put_SilentMode(true);
  EXPECT_EQ(box().SetNativeImage(kUnknown), QuorvexStatus::InvalidParameter);
  EXPECT_TRUE(host_.MessageBoxes().empty());

  // No image: 0 is refused, and Redraw leaves the status as it is.
  EXPECT_EQ(box().SetNativeImage(engine::kNoImage), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(box().Redraw(), QuorvexStatus::InvalidParameter);
}

TEST_F(AdoptImageTest, CloseImageReleasesTheImageAndImageClosedKeepsTheDimensions) {
  const engine::ImageId id = RegisterBitmap(200, 100);
  ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  box().ImageClosed();
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  EXPECT_EQ(box().get_ImageWidth(), 4);
  EXPECT_EQ(box().Runtime().PixelAspect, 0.5);
  EXPECT_EQ(box().get_PageCount(), 0);
  EXPECT_GE(engine::FindSlot(id), 0);  // forgotten, not released

  ASSERT_EQ(box().SetNativeImage(id), QuorvexStatus::OK);
  box().CloseImage();
  EXPECT_LT(engine::FindSlot(id), 0);
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  EXPECT_EQ(box().get_ImageWidth(), 0);
  EXPECT_EQ(box().get_HorizontalResolution(), 0.0f);
  EXPECT_EQ(box().Runtime().PixelAspect, 1.0);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
}

}  // namespace
}  // namespace pixavue::testing
