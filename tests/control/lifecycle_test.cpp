// Creation, resize and paint notifications, and termination, with the
// engine session they start and stop.

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/shell/platform_version.h>
#include <pixavue/platform/shell/temp_folder.h>
#include <pixavue/platform/window/metrics.h>
#include <pixavue/platform/window/window.h>

#include <future>
#include <memory>
#include <string>

#include "control_test_support.h"

namespace pixavue::testing {
namespace {

using headless::HeadlessControl;

using LifecycleTest = ControlTest;

TEST_F(LifecycleTest, CreationSetsTheRuntimeState) {
  auto control = NewControl();
  ImageBox& box = control->Control();
  EXPECT_EQ(box.GetStat(), QuorvexStatus::OK);
  EXPECT_EQ(box.GetVersion(), 5.9901307);
  const ImageBoxRuntime& state = box.Runtime();
  EXPECT_EQ(state.EngineState.TempFilePath,
            platform::TempFolder() + std::to_string(platform::HandleValue(box.get_hwnd())));
  EXPECT_FALSE(state.EngineState.TempFileInUse);
  EXPECT_EQ(state.OsVersion, platform::PlatformVersionNumber(platform::CurrentPlatformVersion()));
  EXPECT_TRUE(state.AlignOnce);
  EXPECT_TRUE(state.ScrollNotify);
  EXPECT_EQ(state.HttpBufferSize, 4096);
  EXPECT_TRUE(state.FtpPassive);
  EXPECT_TRUE(host_.MessageBoxes().empty());
  // The elements live on the control's own window, on the container's.
  EXPECT_EQ(platform::GetParent(box.get_hwnd()), host_.TopLevelWindow());
  EXPECT_EQ(platform::GetParent(box.HScroll().Window()), box.get_hwnd());
  EXPECT_EQ(box.TmQual().Interval(), 1000);
  EXPECT_FALSE(box.TmQual().Enabled());
  // Show clears the selection rectangle.
  EXPECT_EQ(box.shRect().Left(), -1);
  EXPECT_FALSE(box.isRectDrawed());
}

TEST_F(LifecycleTest, FailedCreationStepReportsInitErrorAndLeavesTheControlUsable) {
  // A container whose window is gone: the control's window cannot be made.
  const platform::HWND gone = platform::CreateWindow({});
  platform::DestroyWindow(gone);
  headless::RecordingContainer nowhere(gone);
  {
    ImageBox box(nowhere);
    EXPECT_EQ(box.GetStat(), QuorvexStatus::GenericError);
    ASSERT_EQ(host_.MessageBoxes().size(), 1u);
    const platform::MessageBoxRequest& request = host_.MessageBoxes()[0].request;
    EXPECT_EQ(request.text.rfind("Init Error: ", 0), 0u) << request.text;
    EXPECT_EQ(request.buttons, platform::vbOKOnly);
    box.put_ZoomStep(20);
    EXPECT_EQ(box.get_ZoomStep(), 20);
  }
  EXPECT_EQ(engine::Session().users, 0);
}

TEST_F(LifecycleTest, TerminateThenDestructionStopsTheEngineOnce) {
  auto control = std::make_unique<HeadlessControl>(host_);
  EXPECT_EQ(engine::Session().users, 1);
  EXPECT_TRUE(engine::Session().started);
  control->Control().Terminate();
  EXPECT_EQ(engine::Session().users, 0);
  EXPECT_FALSE(engine::Session().started);
  EXPECT_TRUE(control->Control().Runtime().Terminated);
  control->Control().Terminate();
  control.reset();
  EXPECT_EQ(engine::Session().users, 0);
  EXPECT_FALSE(engine::Session().started);
}

TEST_F(LifecycleTest, ControlsShareOneSessionAndTheFirstToCloseKeepsItRunning) {
  auto first = std::make_unique<HeadlessControl>(host_);
  auto second = std::make_unique<HeadlessControl>(host_);
  EXPECT_EQ(engine::Session().users, 2);
  first.reset();
  EXPECT_EQ(engine::Session().users, 1);
  EXPECT_TRUE(engine::Session().started);
  second.reset();
  EXPECT_EQ(engine::Session().users, 0);
  EXPECT_FALSE(engine::Session().started);
}

// What the other thread's control saw after this thread's last control
// ended.
struct OtherThreadControl {
  QuorvexStatus shownImage = QuorvexStatus::GenericError;
  QuorvexStatus load = QuorvexStatus::GenericError;
  std::int32_t loadedWidth = 0;
};

// The imaging library stays started for a thread until its own last control
// ends, whichever thread's control started it.
TEST_F(LifecycleTest, ControlsOfTwoThreadsEachKeepTheImagingLibraryUntilTheirOwnEnd) {
  const TempFile gif("two_threads", GifBytes({10}));
  auto mine = NewControl();
  ASSERT_EQ(mine->Control().DisplayFromFile(gif.path().string()), QuorvexStatus::OK);

  std::promise<void> otherShowing;
  std::promise<void> mineEnded;
  auto other = std::async(std::launch::async, [&, ended = mineEnded.get_future()] {
    OtherThreadControl seen;
    headless::HeadlessHost host;
    auto control = std::make_unique<HeadlessControl>(host);
    control->InitNew();
    control->Show();
    ImageBox& box = control->Control();
    const QuorvexStatus first = box.DisplayFromFile(gif.path().string());
    otherShowing.set_value();
    ended.wait();
    std::int32_t width = 0;
    seen.shownImage = first == QuorvexStatus::OK ? engine::GetImageWidth(box.Runtime().EngineState.CurrentImage, width)
                                                 : first;
    seen.load = box.DisplayFromFile(gif.path().string());
    seen.loadedWidth = box.get_ImageWidth();
    return seen;
  });
  otherShowing.get_future().wait();
  mine.reset();
  EXPECT_FALSE(engine::Session().started);
  mineEnded.set_value();
  const OtherThreadControl seen = other.get();
  EXPECT_EQ(seen.shownImage, QuorvexStatus::OK);
  EXPECT_EQ(seen.load, QuorvexStatus::OK);
  EXPECT_EQ(seen.loadedWidth, 1);
}

TEST_F(LifecycleTest, ResizePlacesTheBarsAroundTheCornerAndRaisesResizeControl) {
  auto control = NewControl();
  control->Resize(400, 300);
  const ImageBox& box = control->Control();
  const int thickness = platform::kDefaultScrollBarThickness;
  EXPECT_EQ(box.VScroll().Left(), 400 - thickness);
  EXPECT_EQ(box.VScroll().Height(), 300 - thickness);
  EXPECT_EQ(box.HScroll().Left(), 0);
  EXPECT_EQ(box.HScroll().Top(), 300 - thickness);
  EXPECT_EQ(box.HScroll().Width(), 400 - thickness);
  EXPECT_EQ(box.shCorner().Left(), 400 - thickness);
  EXPECT_EQ(box.shCorner().Top(), 300 - thickness);
  EXPECT_EQ(control->Events().Count(ImageBoxDispid::ResizeControl), 1u);

  // An empty client area is no resize.
  control->Resize(0, 300);
  EXPECT_EQ(control->Events().Count(ImageBoxDispid::ResizeControl), 1u);
}

TEST_F(LifecycleTest, PaintNotificationRaisesPaintControlOnly) {
  auto control = NewControl();
  control->Events().Clear();
  platform::InvalidateRect(control->Control().get_hwnd(), nullptr, true);
  host_.DoEvents();
  EXPECT_EQ(control->Events().Names(), std::vector<std::string>{"PaintControl"});
}

}  // namespace
}  // namespace pixavue::testing
