// Creation, resize and paint notifications, and termination, with the
// engine session they start and stop.

#include <pixavue/engine/image_session.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/shell/platform_version.h>
#include <pixavue/platform/shell/temp_folder.h>
#include <pixavue/platform/window/metrics.h>
#include <pixavue/platform/window/window.h>

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
