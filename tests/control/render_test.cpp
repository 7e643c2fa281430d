// Rendering: the rectangles drawn, interpolation and automatic quality,
// gamma and the mask colour, the picture path, LockControl, failures and
// the out-of-memory fallbacks, the display events, the display copy and the
// focus hand-off. Draws are watched through the imaging layer's draw
// interceptor; pixels are read from the retained drawing or the picture.

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/engine/picture_export.h>
#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/gdiplus/gdiplus_draw_interceptor.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/shell/message_box.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "control_test_support.h"

namespace pixavue::testing {
namespace {

using platform::ARGB;
using platform::DrawCall;
using platform::GpStatus;

constexpr ARGB kRed = 0xFFFF0000;
constexpr ARGB kBlue = 0xFF0000FF;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kGrey = 0xFF808080;
constexpr ARGB kGreen = 0xFF00FF00;
constexpr OLE_COLOR kGreenOle = 0x00FF00;

// A colour per column, so that a pixel tells which column it came from.
ARGB ColumnColour(int x, int) {
  return 0xFF000000u | static_cast<ARGB>(x & 0xFF) << 16 | static_cast<ARGB>(x >> 8) << 8;
}

// The pixel of a 32-bit bitmap handle, as 0xAARRGGBB.
ARGB PixelOf(platform::HBITMAP bitmap, int x, int y) {
  const auto pixels = platform::BitmapPixels(bitmap);
  if (!pixels || x < 0 || y < 0 || x >= pixels->width || y >= pixels->height) return 0xDEADBEEF;
  const int row = pixels->bottomUp ? pixels->height - 1 - y : y;
  ARGB value = 0;
  std::memcpy(&value, pixels->bits + static_cast<std::ptrdiff_t>(row) * pixels->stride + x * 4, 4);
  return value;
}

class RenderTest : public ControlTest {
 protected:
  void SetUp() override {
    platform::SetDrawInterceptor([this](const DrawCall& call) {
      calls_.push_back(call);
      if (failures_.empty()) return platform::Ok;
      const GpStatus status = failures_.front();
      failures_.pop_front();
      return status;
    });
    control_ = NewControl();
    control_->Resize(400, 300);
  }
  void TearDown() override {
    platform::SetDrawInterceptor({});
    control_.reset();
  }

  ImageBox& box() { return control_->Control(); }
  std::vector<std::string> Names() const { return control_->Events().Names(); }

  // Registers a width x height bitmap of `format` coloured by `colour`.
  static engine::ImageId MakeImage(int width, int height, const std::function<ARGB(int, int)>& colour,
                                   platform::PixelFormat format = platform::PixelFormat24bppRGB) {
    platform::GpBitmap* bitmap = nullptr;
    EXPECT_EQ(platform::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap), platform::Ok);
    std::vector<ARGB> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = colour(x, y);
    }
    const platform::GpRect whole{0, 0, width, height};
    platform::BitmapData data;
    data.Width = static_cast<platform::UINT32>(width);
    data.Height = static_cast<platform::UINT32>(height);
    data.Stride = width * 4;
    data.PixelFormat = platform::PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    EXPECT_EQ(
        platform::GdipBitmapLockBits(bitmap, &whole, platform::ImageLockModeWrite | platform::ImageLockModeUserInputBuf,
                                     platform::PixelFormat32bppARGB, &data),
        platform::Ok);
    platform::GdipBitmapUnlockBits(bitmap, &data);
    engine::ImageId id = engine::kNoImage;
    engine::RegisterImage(bitmap, "", "", engine::SourceKind::Plain, id);
    return id;
  }
  QuorvexStatus Show(int width, int height, const std::function<ARGB(int, int)>& colour) {
    image_ = MakeImage(width, height, colour);
    return box().SetNativeImage(image_);
  }
  QuorvexStatus ShowFilled(int width, int height, ARGB colour) {
    return Show(width, height, [colour](int, int) { return colour; });
  }

  ARGB Retained(int x, int y) { return PixelOf(platform::WindowSurface(box().get_hwnd()), x, y); }
  ARGB PicturePixel(const platform::ComPtr<platform::IPicture>& picture, int x, int y) {
    platform::OLE_HANDLE handle = 0;
    if (!picture || picture->get_Handle(&handle) < 0) return 0xDEADBEEF;
    return PixelOf(static_cast<platform::HBITMAP>(handle), x, y);
  }
  std::vector<std::string> DisplayEvents() const {
    std::vector<std::string> names = Names();
    std::erase_if(names, [](const std::string& name) {
      return name != "PictureChange" && name != "Display" && name != "PictureChanged" && name != "PageChange";
    });
    return names;
  }
  void ClearRecords() {
    calls_.clear();
    control_->Events().Clear();
    host_.ClearMessageBoxes();
  }
  platform::GpImage* Drawn() const {
    return calls_.empty() ? nullptr : const_cast<platform::GpImage*>(calls_.back().image);
  }
  static std::vector<float> Rects(const DrawCall& c) {
    return {c.dstX, c.dstY, c.dstWidth, c.dstHeight, c.srcX, c.srcY, c.srcWidth, c.srcHeight};
  }

  std::unique_ptr<headless::HeadlessControl> control_;
  engine::ImageId image_ = engine::kNoImage;
  std::vector<DrawCall> calls_;
  std::deque<GpStatus> failures_;  // answers to the next draws; Ok once empty
};

TEST_F(RenderTest, InterpolationFollowsViewerQualityExceptAtZoomOne) {
  ASSERT_EQ(ShowFilled(100, 100, kGrey), QuorvexStatus::OK);
  ASSERT_FALSE(calls_.empty());
  EXPECT_EQ(box().get_ViewerQuality(), ViewerQualityBicubicHQ);
  EXPECT_EQ(calls_.back().interpolation, platform::InterpolationModeNearestNeighbor);  // zoom exactly 1.0
  EXPECT_EQ(calls_.back().smoothing, platform::SmoothingModeNone);
  EXPECT_EQ(calls_.back().pixelOffset, platform::PixelOffsetModeHalf);
  EXPECT_EQ(calls_.back().compositing, platform::CompositingQualityHighSpeed);

  box().SetZoom(200);
  const struct {
    int quality;
    platform::InterpolationMode mode;
  } table[] = {{0, platform::InterpolationModeNearestNeighbor},
               {1, platform::InterpolationModeBilinear},
               {2, platform::InterpolationModeBicubic},
               {3, platform::InterpolationModeHighQualityBilinear},
               {4, platform::InterpolationModeHighQualityBicubic},
               {9, platform::InterpolationModeDefault}};
  for (const auto& row : table) {
    calls_.clear();
    box().put_ViewerQuality(static_cast<ViewerQuality>(row.quality));
    ASSERT_FALSE(calls_.empty()) << row.quality;
    EXPECT_EQ(calls_.back().interpolation, row.mode) << row.quality;
  }
}

TEST_F(RenderTest, AutomaticQualityDrawsFastThenOnceInHighQuality) {
  ASSERT_EQ(ShowFilled(100, 100, kGrey), QuorvexStatus::OK);
  box().put_ViewerQualityAuto(true);
  box().SetZoom(150);
  EXPECT_EQ(box().get_ViewerQuality(), ViewerQualityLow);
  EXPECT_EQ(calls_.back().interpolation, platform::InterpolationModeNearestNeighbor);
  EXPECT_TRUE(box().TmQual().Enabled());

  calls_.clear();
  host_.Advance(999);
  EXPECT_TRUE(calls_.empty());
  host_.Advance(1);
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_.back().interpolation, platform::InterpolationModeHighQualityBicubic);
  EXPECT_EQ(box().get_ViewerQuality(), ViewerQualityBicubicHQ);
  EXPECT_FALSE(box().TmQual().Enabled());
  host_.Advance(5000);
  EXPECT_EQ(calls_.size(), 1u);

  // Zoom 1.0 draws pixel for pixel and leaves the property as it was.
  box().SetZoom(100);
  EXPECT_EQ(calls_.back().interpolation, platform::InterpolationModeNearestNeighbor);
  EXPECT_EQ(box().get_ViewerQuality(), ViewerQualityBicubicHQ);
}

TEST_F(RenderTest, OnlyTheVisiblePartIsDrawnWhereTheViewShowsIt) {
  // 1000 x 100 at zoom 2 in a 400-wide view, scrolled to ImageOffsetX -300.
  box().put_ViewerQuality(ViewerQualityLow);
  ASSERT_EQ(Show(1000, 100, ColumnColour), QuorvexStatus::OK);
  box().SetZoom(200);
  ASSERT_FALSE(box().get_VScrollVisible());
  box().SetHScrollBarPosition(300);
  ASSERT_EQ(box().GetImageLeft(), -300);
  std::int32_t left = -1, top = -1, width = -1, height = -1;
  box().GetDisplayedArea(left, top, width, height);
  EXPECT_EQ((std::vector<int>{left, top, width, height}), (std::vector<int>{150, 0, 200, 100}));
  const float y = static_cast<float>(box().GetImageTop());
  EXPECT_EQ(Rects(calls_.back()), (std::vector<float>{0, y, 400, 200, 150, 0, 200, 100}));
  const int row = box().GetImageTop() + 10;
  EXPECT_EQ(Retained(0, row), ColumnColour(150, 0));
  EXPECT_EQ(Retained(3, row), ColumnColour(151, 0));
  EXPECT_EQ(Retained(399, row), ColumnColour(349, 0));

  // A narrow image: all of it, at its offset and displayed size.
  box().SetZoom100();
  box().put_BackColor(kGreenOle);
  ASSERT_EQ(Show(100, 50, ColumnColour), QuorvexStatus::OK);
  box().GetDisplayedArea(left, top, width, height);
  EXPECT_EQ((std::vector<int>{left, top, width, height}), (std::vector<int>{0, 0, 100, 50}));
  EXPECT_EQ(Rects(calls_.back()), (std::vector<float>{150, 125, 100, 50, 0, 0, 100, 50}));
  EXPECT_EQ(Retained(150, 125), ColumnColour(0, 0));
  EXPECT_EQ(Retained(249, 174), ColumnColour(99, 0));
  EXPECT_EQ(Retained(149, 125), kGreen);
  EXPECT_EQ(Retained(150, 175), kGreen);
}

TEST_F(RenderTest, GammaOnlyWhenNotOneAndNeverForAnAnimatedGif) {
  ASSERT_EQ(ShowFilled(100, 100, kGrey), QuorvexStatus::OK);
  EXPECT_EQ(calls_.back().attributes, nullptr);
  EXPECT_EQ(Retained(200, 150), kGrey);
  box().put_gamma(2.0f);
  box().Redraw();
  EXPECT_NE(calls_.back().attributes, nullptr);
  const ARGB darker = Retained(200, 150);
  EXPECT_LT(darker & 0xFF, 0x80u);
  EXPECT_EQ(darker >> 24, 0xFFu);

  const TempFile gif("render_gamma", GifBytes({10, 10}));
  ASSERT_EQ(box().DisplayFromFile(gif.path().string()), QuorvexStatus::OK);
  ASSERT_TRUE(box().Runtime().IsAnimatedGif);
  EXPECT_EQ(calls_.back().attributes, nullptr);
}

TEST_F(RenderTest, TransparentSurfaceDrawsAPictureThatIsAlsoItsMask) {
  box().put_BackStyle(bkTransparent);
  ASSERT_EQ(Show(100, 100, [](int x, int) { return x < 50 ? kWhite : kRed; }), QuorvexStatus::OK);
  const ControlSurface& surface = box().Surface();
  EXPECT_FALSE(surface.AutoRedraw());
  ASSERT_TRUE(surface.Picture());
  EXPECT_EQ(surface.MaskPicture(), surface.Picture());
  EXPECT_EQ(PicturePixel(surface.Picture(), 150, 100), kWhite);  // no mask colour: white stays
  EXPECT_EQ(PicturePixel(surface.Picture(), 249, 100), kRed);
  EXPECT_EQ(PicturePixel(surface.Picture(), 10, 10), 0u);  // outside the image: transparent
  EXPECT_EQ(calls_.back().attributes, nullptr);

  box().put_ImageMaskColor(0xFFFFFF);
  box().Redraw();
  EXPECT_EQ(PicturePixel(surface.Picture(), 150, 100), 0u);
  EXPECT_EQ(PicturePixel(surface.Picture(), 249, 100), kRed);
  EXPECT_EQ(box().Runtime().ColorHelper.GetValue(), kWhite);
}

// Clear drops the pictures and shows the background colour, unless the
// control is locked; the image stays loaded.
TEST_F(RenderTest, ClearLeavesTheBackgroundColourAndNoPictures) {
  box().put_BackColor(kGreenOle);
  box().put_BackStyle(bkTransparent);
  ASSERT_EQ(ShowFilled(100, 100, kRed), QuorvexStatus::OK);
  const ControlSurface& surface = box().Surface();
  box().put_LockControl(true);
  box().Clear();
  EXPECT_TRUE(surface.Picture());
  EXPECT_FALSE(surface.AutoRedraw());

  box().put_LockControl(false);
  box().Clear();
  EXPECT_TRUE(surface.AutoRedraw());
  EXPECT_FALSE(surface.Picture());
  EXPECT_FALSE(surface.MaskPicture());
  EXPECT_EQ(Retained(200, 150), kGreen);
  EXPECT_EQ(box().GetNativeImage(), image_);
}

TEST_F(RenderTest, ForcedPictureModeOnAnOpaqueSurfaceHasNoMask) {
  box().put_BackColor(kGreenOle);
  box().put_ForcePictureMode(true);
  ASSERT_EQ(ShowFilled(100, 100, kRed), QuorvexStatus::OK);
  const ControlSurface& surface = box().Surface();
  EXPECT_FALSE(surface.AutoRedraw());
  ASSERT_TRUE(surface.Picture());
  EXPECT_FALSE(surface.MaskPicture());
  EXPECT_EQ(PicturePixel(surface.Picture(), 10, 10), kGreen);
  EXPECT_EQ(PicturePixel(surface.Picture(), 200, 150), kRed);

  // Back to direct drawing: retention on, and a mask left from a
  // transparent surface no longer cuts the control.
  box().put_BackStyle(bkTransparent);
  box().Redraw();
  ASSERT_TRUE(surface.MaskPicture());
  box().put_ForcePictureMode(false);
  box().put_BackStyle(bkOpaque);
  box().Redraw();
  EXPECT_TRUE(surface.AutoRedraw());
  EXPECT_FALSE(surface.MaskPicture());
  EXPECT_EQ(Retained(200, 150), kRed);
}

TEST_F(RenderTest, DisplayEventsInOrderAndLockControlKeepsTheDrawing) {
  ASSERT_EQ(ShowFilled(100, 100, kRed), QuorvexStatus::OK);
  EXPECT_EQ(DisplayEvents(), (std::vector<std::string>{"PictureChange", "Display", "PictureChanged", "PageChange"}));
  EXPECT_EQ(box().Runtime().EngineState.LastShownImage, image_);
  ClearRecords();
  box().SetZoom(150);  // the same image: only Display
  EXPECT_EQ(DisplayEvents(), (std::vector<std::string>{"Display"}));

  box().SetZoom(100);
  box().put_LockControl(true);
  ClearRecords();
  ASSERT_EQ(ShowFilled(100, 100, kBlue), QuorvexStatus::OK);
  EXPECT_EQ(DisplayEvents(), (std::vector<std::string>{"PictureChange", "PictureChanged", "PageChange"}));
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(Retained(200, 150), kRed);
}

TEST_F(RenderTest, AFailedRenderIsReportedAndTheNextRenderRetries) {
  for (const bool silent : {false, true}) {
    box().put_SilentMode(silent);
    ClearRecords();
    failures_ = {platform::Win32Error};
    EXPECT_EQ(Show(1000, 100, ColumnColour), QuorvexStatus::Win32Error);
    EXPECT_TRUE(box().Runtime().LastRenderFailed);
    EXPECT_EQ(DisplayEvents(), (std::vector<std::string>{"PictureChange", "PictureChanged", "PageChange"}));
    if (silent) {
      EXPECT_TRUE(host_.MessageBoxes().empty());
    } else {
      ASSERT_EQ(host_.MessageBoxes().size(), 1u);
      EXPECT_EQ(host_.MessageBoxes()[0].request.text, "Can not display image error no: 7");
      EXPECT_EQ(host_.MessageBoxes()[0].request.icon, platform::vbCritical);
    }
    // A scroll renders without a layout: the failure does not block it.
    calls_.clear();
    box().SetHScrollBarPosition(10);
    EXPECT_EQ(calls_.size(), 1u);
    EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
    EXPECT_FALSE(box().Runtime().LastRenderFailed);
    EXPECT_EQ(Retained(0, 150), ColumnColour(10, 0));
  }

  // A status another member left (here a refused zoom area) does not block
  // the next render either.
  EXPECT_EQ(box().ZoomArea(0, 0, 0, 5), QuorvexStatus::InvalidParameter);
  ClearRecords();
  box().SetHScrollBarPosition(20);
  EXPECT_EQ(calls_.size(), 1u);
  EXPECT_EQ(DisplayEvents(), std::vector<std::string>{"Display"});
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
}

TEST_F(RenderTest, OutOfMemoryFallsBackToTheLowestQualityThenToACopyOfTheVisibleRegion) {
  ASSERT_EQ(Show(1000, 100, ColumnColour), QuorvexStatus::OK);
  box().put_gamma(2.0f);
  calls_.clear();
  failures_ = {platform::OutOfMemory};
  box().SetZoom(200);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_NE(calls_[0].attributes, nullptr);
  const DrawCall& lowest = calls_[1];
  EXPECT_EQ(lowest.pixelOffset, platform::PixelOffsetModeNone);
  EXPECT_EQ(lowest.smoothing, platform::SmoothingModeNone);
  EXPECT_EQ(lowest.interpolation, platform::InterpolationModeNearestNeighbor);
  EXPECT_EQ(lowest.attributes, nullptr);
  EXPECT_EQ(Rects(lowest), Rects(calls_[0]));

  box().put_gamma(1.0f);
  box().SetHScrollBarPosition(300);
  calls_.clear();
  failures_ = {platform::OutOfMemory, platform::OutOfMemory};
  box().SetHScrollBarPosition(301);  // source 150.5 rounds to 150
  ASSERT_EQ(calls_.size(), 3u);
  const DrawCall& copy = calls_[2];
  EXPECT_NE(copy.image, calls_[0].image);
  const float y = static_cast<float>(box().GetImageTop());
  EXPECT_EQ(Rects(copy), (std::vector<float>{0, y, 400, 200, 0, 0, 200, 100}));
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
  EXPECT_EQ(Retained(0, box().GetImageTop()), ColumnColour(150, 0));
  EXPECT_EQ(Retained(399, box().GetImageTop()), ColumnColour(349, 0));
}

TEST_F(RenderTest, OutOfMemoryWithTheWholeImageVisibleDrawsPlainlyThenAThumbnail) {
  ASSERT_EQ(ShowFilled(100, 50, kRed), QuorvexStatus::OK);
  platform::GpImage* original = engine::NativeHandle(image_);
  for (const std::size_t failures : {2u, 3u}) {
    calls_.clear();
    failures_.assign(failures, platform::OutOfMemory);
    box().SetZoom(failures == 2 ? 150 : 200);
    ASSERT_EQ(calls_.size(), failures + 1) << failures;
    const DrawCall& plain = calls_[2];
    EXPECT_EQ(plain.image, original);
    const std::vector<float> rects = Rects(plain);
    EXPECT_EQ(std::vector<float>(rects.begin() + 4, rects.end()), (std::vector<float>{0, 0, 100, 50}));
    if (failures == 3) {
      const DrawCall& thumbnail = calls_[3];
      EXPECT_NE(thumbnail.image, original);
      EXPECT_EQ(Rects(thumbnail), (std::vector<float>{100, 100, 200, 100, 0, 0, 200, 100}));
    }
    EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
    EXPECT_EQ(Retained(200, 150), kRed);
  }
}

TEST_F(RenderTest, OptimizedDrawingUsesOnePremultipliedCopyButNeverForAGif) {
  box().put_OptimizeDrawingSpeed(true);
  ASSERT_EQ(ShowFilled(100, 100, kRed), QuorvexStatus::OK);
  const engine::EngineState& images = box().Runtime().EngineState;
  const engine::ImageId copy = images.DisplayCopy;
  ASSERT_NE(copy, engine::kNoImage);
  platform::PixelFormat format = platform::PixelFormatUndefined;
  engine::GetPixelFormat(copy, format);
  EXPECT_EQ(format, platform::PixelFormat32bppPARGB);
  EXPECT_EQ(images.DisplayCopyPage, 1);
  EXPECT_EQ(images.LastShownImage, copy);
  EXPECT_EQ(Drawn(), engine::NativeHandle(copy));
  box().SetZoom(150);
  EXPECT_EQ(images.DisplayCopy, copy);
  EXPECT_EQ(Drawn(), engine::NativeHandle(copy));
  EXPECT_EQ(Retained(200, 150), kRed);

  const TempFile gif("render_copy", GifBytes({10, 10}));
  ASSERT_EQ(box().DisplayFromFile(gif.path().string()), QuorvexStatus::OK);
  EXPECT_EQ(images.DisplayCopy, engine::kNoImage);
  EXPECT_EQ(Drawn(), engine::NativeHandle(images.CurrentImage));
}

TEST_F(RenderTest, FocusHeldByTheControlMovesToTheCornerBox) {
  ASSERT_EQ(ShowFilled(1000, 1000, kRed), QuorvexStatus::OK);
  ASSERT_TRUE(box().shCorner().Visible());
  host_.Focus(box().HScroll().Window());
  EXPECT_EQ(box().Runtime().FocusedPart, 2);
  box().put_DisableAutoFocus(true);
  box().SetVScrollBarPosition(10);
  EXPECT_EQ(box().Runtime().FocusedPart, 2);

  box().put_DisableAutoFocus(false);
  box().SetVScrollBarPosition(20);
  EXPECT_EQ(box().Runtime().FocusedPart, 4);
  EXPECT_TRUE(box().shCorner().HasFocus());

  host_.Focus(box().get_hwnd());
  EXPECT_EQ(box().Runtime().FocusedPart, 1);
  host_.Focus(host_.TopLevelWindow());
  EXPECT_EQ(box().Runtime().FocusedPart, 0);
  box().SetVScrollBarPosition(30);  // nothing held: nothing handed
  EXPECT_FALSE(box().shCorner().HasFocus());
}

TEST_F(RenderTest, PicturesFromBitmapsKeepAlphaAndLeaveNoHandle) {
  platform::ComPtr<platform::IPicture> picture;
  EXPECT_EQ(engine::PictureFromBitmap(nullptr, picture), QuorvexStatus::InvalidParameter);
  EXPECT_FALSE(picture);
  const std::size_t before = platform::GdiObjectCount();
  const engine::ImageId id = MakeImage(
      2, 1, [](int x, int) { return x == 0 ? 0x80FF0000u : 0u; }, platform::PixelFormat32bppARGB);
  ASSERT_EQ(engine::PictureFromBitmap(engine::NativeHandle(id), picture), QuorvexStatus::OK);
  EXPECT_EQ(platform::GdiObjectCount(), before + 1);
  EXPECT_EQ(PicturePixel(picture, 0, 0), 0x80800000u);  // premultiplied
  EXPECT_EQ(PicturePixel(picture, 1, 0), 0u);
  picture.Reset();
  EXPECT_EQ(platform::GdiObjectCount(), before);
  engine::ReleaseImage(id);
}

}  // namespace
}  // namespace pixavue::testing
