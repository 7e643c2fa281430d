// GIF animation on the host's virtual clock: each frame on screen for its
// own delay, starting and stopping, loads that stop it, event handlers that
// stop or restart it from inside a tick, hostile files, and controls that
// go away with a tick pending.

#include <pixavue/platform/window/timer.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "view_test_support.h"

namespace pixavue::testing {
namespace {

using platform::ARGB;

const std::vector<ARGB> kColours{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};

// Calls `action` on every PageChange, after recording it.
class PageChangeHandler final : public ImageBoxEvents {
 public:
  std::function<void()> action;
  int calls = 0;
  void PageChange() override {
    ++calls;
    if (action) action();
  }
};

class AnimationTest : public ControlTest {
 protected:
  void SetUp() override {
    control_ = NewControl();
    control_->Resize(100, 80);
    timersBefore_ = platform::TimerCount();
  }
  void TearDown() override { control_.reset(); }

  ImageBox& box() { return control_->Control(); }
  ARGB Centre() { return ComposeView(box()).At(50, 40); }
  std::string Gif(const std::string& name, const std::vector<std::uint16_t>& delays) {
    return folder_.Write(name, ColouredGif(40, 30, kColours, delays));
  }
  // The animation's one pending timer, or none.
  std::size_t PendingTimers() const { return platform::TimerCount() - timersBefore_; }

  TestFolder folder_;
  std::unique_ptr<headless::HeadlessControl> control_;
  std::size_t timersBefore_ = 0;
};

// Delays 0, 5 and 12 hundredths: the engine reads a GIF's 0 as 25, so 250,
// 50 and 120 ms. While frame 1 shows, CurrentPage names the frame the next
// tick shows.
TEST_F(AnimationTest, EachFrameShowsForItsOwnDelayWithoutEnd) {
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("three.gif", {0, 5, 12})), QuorvexStatus::OK);
  EXPECT_EQ(box().Runtime().FrameDelays, (std::vector<std::int32_t>{250, 50, 120}));
  EXPECT_TRUE(box().Runtime().GifTimerRunning);
  EXPECT_EQ(SavedView(*control_, folder_).At(50, 40), kColours[0]);
  EXPECT_EQ(box().get_CurrentPage(), 2);
  const struct {
    std::int64_t advance;
    ARGB colour;
    std::int32_t nextPage;
  } steps[] = {{249, kColours[0], 2}, {1, kColours[1], 3}, {49, kColours[1], 3}, {1, kColours[2], 1},
               {119, kColours[2], 1}, {1, kColours[0], 2}, {250, kColours[1], 3}, {50, kColours[2], 1},
               {120, kColours[0], 2}};
  std::int64_t at = 0;
  for (const auto& step : steps) {
    host_.Advance(step.advance);
    at += step.advance;
    EXPECT_EQ(SavedView(*control_, folder_).At(50, 40), step.colour) << "at " << at << " ms";
    EXPECT_EQ(box().get_CurrentPage(), step.nextPage) << "at " << at << " ms";
    EXPECT_EQ(PendingTimers(), 1u);
  }
}

TEST_F(AnimationTest, StopGifKeepsTheFrameOnScreenAndPlayGifStartsOver) {
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("three.gif", {10, 10, 10})), QuorvexStatus::OK);
  host_.Advance(100);
  ASSERT_EQ(Centre(), kColours[1]);
  control_->Container().ClearChanges();
  box().StopGif();
  EXPECT_FALSE(box().get_AnimateGIF());
  EXPECT_FALSE(box().Runtime().GifTimerRunning);
  EXPECT_EQ(PendingTimers(), 0u);
  host_.Advance(1000);
  EXPECT_EQ(Centre(), kColours[1]);

  EXPECT_EQ(box().PlayGif(), QuorvexStatus::OK);
  EXPECT_TRUE(box().get_AnimateGIF());
  EXPECT_EQ(Centre(), kColours[0]);  // from frame 1, at once
  EXPECT_EQ(box().PlayGif(), QuorvexStatus::OK);  // already playing: nothing new
  EXPECT_EQ(PendingTimers(), 1u);
  host_.Advance(100);
  EXPECT_EQ(Centre(), kColours[1]);

  box().put_AnimateGIF(false);
  EXPECT_EQ(control_->Container().Changes(), std::vector<std::string>{"AnimateGIF"});
  EXPECT_EQ(PendingTimers(), 0u);
}

TEST_F(AnimationTest, LoadingAnotherFileStopsTheAnimationForTheNextGifToo) {
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("first.gif", {10, 10, 10})), QuorvexStatus::OK);
  host_.Advance(100);
  const std::string tiff = folder_.Write("page.tif", GreyTiff(40, 30, {90}));
  ASSERT_EQ(box().DisplayFromFile(tiff), QuorvexStatus::OK);
  EXPECT_FALSE(box().get_AnimateGIF());
  EXPECT_EQ(PendingTimers(), 0u);
  ASSERT_EQ(box().DisplayFromFile(Gif("second.gif", {10, 10, 10})), QuorvexStatus::OK);
  EXPECT_FALSE(box().Runtime().GifTimerRunning);
  host_.Advance(500);
  EXPECT_EQ(Centre(), kColours[0]);
  EXPECT_EQ(box().get_CurrentPage(), 1);
}

TEST_F(AnimationTest, AnimateGifOnAStillImageWaitsForAnAnimation) {
  ASSERT_EQ(box().SetNativeImage(SolidBitmap(40, 30, 0xFF336699u)), QuorvexStatus::OK);
  box().put_AnimateGIF(true);
  EXPECT_TRUE(box().get_AnimateGIF());
  EXPECT_FALSE(box().Runtime().GifTimerRunning);
  EXPECT_EQ(PendingTimers(), 0u);
  ASSERT_EQ(box().DisplayFromFile(Gif("later.gif", {10, 10, 10})), QuorvexStatus::OK);
  EXPECT_TRUE(box().Runtime().GifTimerRunning);
  host_.Advance(200);
  EXPECT_EQ(Centre(), kColours[2]);
}

// Frames without a delay stay a quarter of a second each (the engine's
// reading of 0).
TEST_F(AnimationTest, FramesWithoutDelaysShowForAQuarterOfASecond) {
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("zero.gif", {0, 0, 0})), QuorvexStatus::OK);
  for (int tick = 1; tick <= 6; ++tick) {
    host_.Advance(249);
    EXPECT_EQ(Centre(), kColours[(tick - 1) % 3]) << tick;
    host_.Advance(1);
    EXPECT_EQ(Centre(), kColours[tick % 3]) << tick;
  }
}

TEST_F(AnimationTest, TenThousandFramesPlayAndTheLastOneShows) {
  platform::test::GifBuilder gif(2, 2, kColours);
  constexpr int kFrames = 10000;
  for (int i = 0; i < kFrames; ++i) gif.Control(1, 1).UniformImage(0, 0, 2, 2, static_cast<std::uint8_t>(i % 3));
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(folder_.Write("many.gif", gif.Bytes())), QuorvexStatus::OK);
  ASSERT_EQ(box().get_PageCount(), kFrames);
  host_.Advance(10 * 50);  // 50 ticks of 10 ms
  EXPECT_EQ(box().get_CurrentPage(), 52);
  EXPECT_EQ(ComposeView(box()).At(50, 40), kColours[50 % 3]);

  box().StopGif();
  ASSERT_EQ(box().DisplayLastFrame(), QuorvexStatus::OK);
  EXPECT_EQ(ComposeView(box()).At(50, 40), kColours[(kFrames - 1) % 3]);
  EXPECT_EQ(PendingTimers(), 0u);
}

TEST_F(AnimationTest, StopGifFromAPageChangeHandlerLeavesNoTimer) {
  PageChangeHandler handler;
  box().Advise(&handler);
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("three.gif", {10, 10, 10})), QuorvexStatus::OK);
  handler.calls = 0;
  handler.action = [&] {
    if (handler.calls == 2) box().StopGif();  // as frame 3 shows
  };
  host_.Advance(200);
  EXPECT_EQ(handler.calls, 2);
  EXPECT_EQ(PendingTimers(), 0u);  // the tick that showed frame 3 armed nothing
  host_.Advance(1000);
  EXPECT_EQ(handler.calls, 2);
  EXPECT_EQ(Centre(), kColours[2]);
  EXPECT_FALSE(box().get_AnimateGIF());
}

// Restarting from every PageChange: frame 1 waits for the next tick instead
// of being shown from inside the handler, so nothing recurses.
TEST_F(AnimationTest, RestartFromEveryPageChangeNeitherRecursesNorPilesUpTimers) {
  PageChangeHandler handler;
  handler.action = [&] {
    box().StopGif();
    box().PlayGif();
  };
  box().Advise(&handler);
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("three.gif", {10, 10, 10})), QuorvexStatus::OK);
  for (int i = 0; i < 5; ++i) {
    host_.Advance(10);
    EXPECT_EQ(PendingTimers(), 1u);
    EXPECT_EQ(Centre(), kColours[0]);
  }
  EXPECT_GE(handler.calls, 5);

  handler.action = nullptr;
  host_.Advance(10);
  host_.Advance(100);
  EXPECT_EQ(Centre(), kColours[1]);
}

TEST_F(AnimationTest, NoTickReachesAControlThatIsGone) {
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("three.gif", {10, 10, 10})), QuorvexStatus::OK);
  ASSERT_EQ(PendingTimers(), 1u);
  control_->Destroy();
  EXPECT_EQ(PendingTimers(), 0u);
  host_.Advance(1000);

  // Terminated but still there: the animation is over too.
  control_ = NewControl();
  control_->Resize(100, 80);
  box().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("again.gif", {10, 10, 10})), QuorvexStatus::OK);
  box().Terminate();
  EXPECT_EQ(PendingTimers(), 0u);
  host_.Advance(1000);
  EXPECT_EQ(box().get_CurrentPage(), 2);
}

// Each control's timer is its own: two animations at their own pace.
TEST_F(AnimationTest, TwoControlsAnimateIndependently) {
  auto other = NewControl();
  other->Resize(100, 80);
  box().put_AnimateGIF(true);
  other->Control().put_AnimateGIF(true);
  ASSERT_EQ(box().DisplayFromFile(Gif("fast.gif", {10, 10, 10})), QuorvexStatus::OK);
  ASSERT_EQ(other->Control().DisplayFromFile(Gif("slow.gif", {30, 30, 30})), QuorvexStatus::OK);
  EXPECT_EQ(PendingTimers(), 2u);
  host_.Advance(300);
  EXPECT_EQ(Centre(), kColours[0]);  // three ticks of 100 ms
  EXPECT_EQ(ComposeView(other->Control()).At(50, 40), kColours[1]);
  other.reset();
  EXPECT_EQ(PendingTimers(), 1u);
  host_.Advance(100);
  EXPECT_EQ(Centre(), kColours[1]);
}

}  // namespace
}  // namespace pixavue::testing
