// The control's rotation members on single images, split documents and
// documents whose frames stay in one decoder, and GDI bitmaps of its image.

#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/ole/memory_stream.h>

#include "control_test_support.h"
#include "tiff_test_files.h"
#include "transform_reference.h"
#include "transform_test_support.h"

namespace pixavue::testing {
namespace {

using platform::test::RawPixels;
using platform::test::ReadRawPixels;
using platform::test::TurnedReference;

// The image's pixels as 32-bit ARGB values.
RawPixels ArgbValues(engine::ImageId id) {
  std::int32_t width = 0;
  std::int32_t height = 0;
  engine::GetImageWidth(id, width);
  engine::GetImageHeight(id, height);
  const std::vector<platform::ARGB> pixels = PixelsOf(id);
  return RawPixels{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 32,
                   std::vector<std::uint64_t>(pixels.begin(), pixels.end())};
}

class TransformsTest : public ControlTest {
 protected:
  TransformsTest() : control_(NewControl()) {
    control_->Resize(200, 150);
    box().Advise(&sink_);
  }

  ImageBox& box() { return control_->Control(); }
  RawPixels Shown() { return ReadRawPixels(engine::NativeHandle(box().GetNativeImage())); }

  CapturingSink sink_;
  std::unique_ptr<headless::HeadlessControl> control_;
};

// Each member turns the image as its type says, the control takes the new
// size, and Rotation carries the type.
TEST_F(TransformsTest, EveryMemberTurnsTheImageByItsType) {
  using Member = QuorvexStatus (ImageBox::*)();
  const struct {
    Member member;
    platform::RotateFlipType type;
  } members[] = {{&ImageBox::Rotate90, platform::Rotate90FlipNone}, {&ImageBox::Rotate180, platform::Rotate180FlipNone},
                 {&ImageBox::Rotate270, platform::Rotate270FlipNone}, {&ImageBox::FlipX, platform::RotateNoneFlipX},
                 {&ImageBox::FlipX90, platform::Rotate90FlipX},      {&ImageBox::FlipX180, platform::Rotate180FlipX},
                 {&ImageBox::FlipX270, platform::Rotate270FlipX}};
  for (const auto& [member, type] : members) {
    SCOPED_TRACE(type);
    ASSERT_EQ(box().SetNativeImage(RegisterPattern(7, 3)), QuorvexStatus::OK);
    const RawPixels before = Shown();
    sink_.rotations.clear();
    EXPECT_EQ((box().*member)(), QuorvexStatus::OK);
    const RawPixels expected = TurnedReference(before, type);
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(box().get_ImageWidth(), static_cast<std::int32_t>(expected.width));
    EXPECT_EQ(box().get_ImageHeight(), static_cast<std::int32_t>(expected.height));
    EXPECT_EQ(sink_.rotations, std::vector<platform::RotateFlipType>{type});
    box().CloseImage();
  }
}

TEST_F(TransformsTest, TurnsDoNotDependOnAnEarlierStatusAndFailWithoutAnImage) {
  EXPECT_EQ(box().Rotate90(), QuorvexStatus::InvalidParameter);
  EXPECT_EQ(sink_.rotations.size(), 1u);
  EXPECT_TRUE(host_.MessageBoxes().empty());

  ASSERT_EQ(box().SetNativeImage(RegisterPattern(5, 2)), QuorvexStatus::OK);
  box().CopyRegion2Clipboard(0, 0, 50, 50);  // outside the image: leaves a failure behind
  ASSERT_NE(box().GetStat(), QuorvexStatus::OK);
  EXPECT_EQ(box().Rotate270(), QuorvexStatus::OK);
  EXPECT_EQ(box().get_ImageWidth(), 2);
}

TEST_F(TransformsTest, ADisplayCopyIsMadeAgainFromTheTurnedImage) {
  box().put_OptimizeDrawingSpeed(true);
  ASSERT_EQ(box().SetNativeImage(RegisterPattern(6, 4)), QuorvexStatus::OK);
  const engine::ImageId copyBefore = box().Runtime().EngineState.DisplayCopy;
  ASSERT_NE(copyBefore, engine::kNoImage);
  ASSERT_EQ(box().Rotate90(), QuorvexStatus::OK);
  const engine::ImageId copy = box().Runtime().EngineState.DisplayCopy;
  ASSERT_NE(copy, engine::kNoImage);
  EXPECT_EQ(engine::FindSlot(copyBefore), -1);
  EXPECT_EQ(PixelsOf(copy), PixelsOf(box().GetNativeImage()));
  std::int32_t width = 0;
  engine::GetImageWidth(copy, width);
  EXPECT_EQ(width, 4);
}

// A GIF read from a file keeps its frames in the decoder: the turn goes to
// a display copy of the frame shown, the frames themselves stay as they are.
TEST_F(TransformsTest, InPlaceGifTurnsOnlyItsDisplayedFrame) {
  platform::test::GifBuilder gif(3, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u});
  gif.Control(1, 10).Image(0, 0, 3, 2, {0, 1, 2, 3, 0, 1}).Control(1, 10).Image(0, 0, 3, 2, {3, 2, 1, 0, 3, 2});
  const TempFile file("turned_gif", gif.Bytes());
  ASSERT_EQ(box().DisplayFromFile(file.path().string()), QuorvexStatus::OK);
  const engine::ImageId document = box().GetNativeImage();
  ASSERT_FALSE(engine::IsSplitGif(document));
  ASSERT_EQ(box().get_PageCount(), 2);
  const RawPixels frame1 = ReadRawPixels(engine::NativeHandle(document));

  ASSERT_EQ(box().Rotate90(), QuorvexStatus::OK);
  const engine::ImageId copy = box().Runtime().EngineState.DisplayCopy;
  ASSERT_NE(copy, engine::kNoImage);
  EXPECT_EQ(box().Runtime().EngineState.DisplayCopyPage, 1);
  // Opaque pixels: the premultiplied copy holds the frame's own values.
  EXPECT_EQ(ReadRawPixels(engine::NativeHandle(copy)),
            TurnedReference(ArgbValues(document), platform::Rotate90FlipNone));
  EXPECT_EQ(box().get_ImageWidth(), 2);
  EXPECT_EQ(box().get_ImageHeight(), 3);
  EXPECT_EQ(ReadRawPixels(engine::NativeHandle(document)), frame1);

  // A second turn turns the same copy on.
  ASSERT_EQ(box().Rotate90(), QuorvexStatus::OK);
  EXPECT_EQ(box().Runtime().EngineState.DisplayCopy, copy);
  EXPECT_EQ(box().get_ImageWidth(), 3);

  ASSERT_EQ(engine::SelectPage(document, 1, engine::DocumentKind::Gif), QuorvexStatus::OK);
  std::int32_t width = 0;
  engine::GetImageWidth(document, width);
  EXPECT_EQ(width, 3);
  ASSERT_EQ(engine::SelectPage(document, 0, engine::DocumentKind::Gif), QuorvexStatus::OK);
  EXPECT_EQ(ReadRawPixels(engine::NativeHandle(document)), frame1);
}

// A TIFF read from a stream is split into page files: the turned page is
// stored back, so it comes back turned after another page was shown.
TEST_F(TransformsTest, SplitTiffPageStaysTurnedAcrossPageChanges) {
  std::vector<platform::test::TiffPageSpec> pages(2);
  pages[0].width = 3;
  pages[0].height = 2;
  pages[0].samples = {10, 20, 30, 40, 50, 60};
  pages[1].width = 4;
  pages[1].height = 4;
  pages[1].samples.assign(16, 99);
  platform::ComPtr<platform::IStream> stream;
  ASSERT_EQ(platform::CreateMemoryStream(platform::test::WriteTiffPages(pages), stream.ReleaseAndGetAddressOf()),
            platform::S_OK);
  ASSERT_EQ(box().DisplayFromStream(stream.Get()), QuorvexStatus::OK);
  const engine::ImageId document = box().GetNativeImage();
  ASSERT_TRUE(engine::IsSplitTiff(document));
  const RawPixels page1 = ReadRawPixels(engine::NativeHandle(document));

  ASSERT_EQ(box().FlipX90(), QuorvexStatus::OK);
  const RawPixels turned = TurnedReference(page1, platform::Rotate90FlipX);
  EXPECT_EQ(ReadRawPixels(engine::NativeHandle(document)), turned);
  EXPECT_EQ(box().get_ImageWidth(), 2);

  ASSERT_EQ(engine::SelectPage(document, 1, engine::DocumentKind::Tiff), QuorvexStatus::OK);
  ASSERT_EQ(engine::SelectPage(document, 0, engine::DocumentKind::Tiff), QuorvexStatus::OK);
  EXPECT_EQ(ReadRawPixels(engine::NativeHandle(document)), turned);
}

TEST_F(TransformsTest, BitmapHandlesOfTheImage) {
  EXPECT_EQ(box().GetHBitmap(), platform::OLE_HANDLE{0});
  EXPECT_EQ(box().GetStat(), QuorvexStatus::InvalidParameter);

  ASSERT_EQ(box().SetNativeImage(RegisterPattern(4, 3)), QuorvexStatus::OK);
  const std::size_t objects = platform::GdiObjectCount();
  const platform::OLE_HANDLE handle = box().GetHBitmap();
  ASSERT_NE(handle, platform::OLE_HANDLE{0});
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
  const auto pixels = platform::BitmapPixels(platform::HBITMAP{handle});
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->width, 4);
  EXPECT_EQ(pixels->height, 3);
  box().DeleteHBitmap(handle);
  EXPECT_EQ(platform::GdiObjectCount(), objects);
  box().DeleteHBitmap(handle);  // gone already: nothing happens
  EXPECT_EQ(platform::GdiObjectCount(), objects);
}

}  // namespace
}  // namespace pixavue::testing
