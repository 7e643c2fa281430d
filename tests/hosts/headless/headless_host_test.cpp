#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/shell/file_dialog.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <vector>

namespace pixavue::headless {
namespace {

using namespace platform;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Received>& Inbox() {
  static std::vector<Received> inbox;
  return inbox;
}

LRESULT RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_KEYDOWN) Inbox().push_back({message, wParam, lParam});
  return 0;
}

HWND MakeChild(const HeadlessHost& host) {
  WindowCreateInfo info;
  info.parent = host.TopLevelWindow();
  info.procedure = &RecordingProc;
  info.width = 10;
  info.height = 10;
  return CreateWindow(info);
}

TEST(HeadlessHostTest, RunsItsThreadOnTheVirtualClockAndRestoresTheRealOne) {
  ASSERT_FALSE(IsVirtualClock());
  {
    HeadlessHost host(HostOptions{320, 200, "test"});
    EXPECT_TRUE(IsVirtualClock());
    RECT client;
    ASSERT_TRUE(GetClientRect(host.TopLevelWindow(), &client));
    EXPECT_EQ(client, (RECT{0, 0, 320, 200}));

    int ticks = 0;
    static int* counter;
    counter = &ticks;
    SetTimer(host.TopLevelWindow(), 1, 40, [](HWND, UINT, UINT_PTR, DWORD) { ++*counter; });
    const std::int64_t before = host.Now();
    host.DoEvents();
    EXPECT_EQ(ticks, 0);
    host.Advance(200);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(host.Now(), before + 200);
  }
  EXPECT_FALSE(IsVirtualClock());
  EXPECT_EQ(WindowCount(), 0u);
  EXPECT_EQ(TimerCount(), 0u);  // the timer went with the window
}

TEST(HeadlessHostTest, RecordsMessageBoxesAndAnswersFromItsQueue) {
  HeadlessHost host;
  EXPECT_EQ(MsgBox("Init Error: out of memory"), vbOK);
  host.QueueMessageBoxAnswer(vbNo);
  EXPECT_EQ(MsgBox("Save?", vbYesNo | vbQuestion, "Pixavue"), vbNo);
  EXPECT_EQ(MsgBox("Again?", vbYesNoCancel), vbYes);  // nothing queued: the first button

  ASSERT_EQ(host.MessageBoxes().size(), 3u);
  EXPECT_EQ(host.MessageBoxes()[0].request.text, "Init Error: out of memory");
  EXPECT_EQ(host.MessageBoxes()[1].request.buttons, vbYesNo);
  EXPECT_EQ(host.MessageBoxes()[1].request.icon, vbQuestion);
  EXPECT_EQ(host.MessageBoxes()[1].request.title, "Pixavue");
  EXPECT_EQ(host.MessageBoxes()[1].answer, vbNo);

  // An answer the box does not offer is never handed to the caller.
  host.QueueMessageBoxAnswer(vbRetry);
  EXPECT_EQ(MsgBox("Only OK", vbOKOnly), vbOK);
}

TEST(HeadlessHostTest, AnswersOpenFileDialogsFromItsQueueOrCancels) {
  HeadlessHost host;
  OpenFileRequest request;
  request.owner = host.TopLevelWindow();
  EXPECT_FALSE(ChooseOpenFile(request).has_value());

  host.QueueOpenFileAnswer("/images/photo.jpg");
  host.QueueOpenFileAnswer(std::nullopt);
  EXPECT_EQ(ChooseOpenFile(request), "/images/photo.jpg");
  EXPECT_FALSE(ChooseOpenFile(request).has_value());
  ASSERT_EQ(host.OpenFileRequests().size(), 3u);
  EXPECT_EQ(host.OpenFileRequests()[0].title, "Open File");
  EXPECT_EQ(host.OpenFileRequests()[0].owner, host.TopLevelWindow());
}

TEST(HeadlessHostTest, InnerHostPutsTheOuterOneBack) {
  HeadlessHost outer;
  {
    HeadlessHost inner;
    MsgBox("inner");
    EXPECT_EQ(inner.MessageBoxes().size(), 1u);
  }
  EXPECT_TRUE(IsVirtualClock());  // the outer host still runs on virtual time
  MsgBox("outer");
  EXPECT_EQ(outer.MessageBoxes().size(), 1u);
}

TEST(HeadlessHostTest, KeysGoToTheFocusedWindowWithTheirShiftState) {
  HeadlessHost host;
  const HWND child = MakeChild(host);
  host.Focus(child);
  Inbox().clear();
  host.PressKey(VK_ADD, kShiftMask);
  host.KeyPress('a');
  ASSERT_EQ(Inbox().size(), 3u);
  EXPECT_EQ(Inbox()[0].message, WM_KEYDOWN);
  EXPECT_EQ(Inbox()[0].wParam, 107u);
  EXPECT_EQ(Inbox()[1].message, WM_KEYUP);
  EXPECT_EQ(Inbox()[2].message, WM_CHAR);
  EXPECT_EQ(Inbox()[2].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(GetShiftState(), kShiftMask);
}

TEST(HeadlessHostTest, MouseAndWheelMessagesCarryButtonsPositionAndDelta) {
  HeadlessHost host;
  const HWND child = MakeChild(host);
  Inbox().clear();
  host.MouseDown(MouseButton::Left, 12, 34, kCtrlMask, child);
  host.MouseMove(15, 40, 0, child);
  host.MouseUp(MouseButton::Left, 15, 40, 0, child);
  host.Wheel(-WHEEL_DELTA, 5, 6, child);

  ASSERT_EQ(Inbox().size(), 4u);
  EXPECT_EQ(Inbox()[0].message, WM_LBUTTONDOWN);
  EXPECT_EQ(Inbox()[0].wParam, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(Inbox()[0].lParam, MAKELPARAM(12, 34));
  EXPECT_EQ(Inbox()[1].wParam, MK_LBUTTON);  // still held while moving
  EXPECT_EQ(Inbox()[2].message, WM_LBUTTONUP);
  EXPECT_EQ(Inbox()[2].wParam, 0u);
  EXPECT_EQ(Inbox()[3].message, WM_MOUSEWHEEL);
  EXPECT_LT(static_cast<std::int32_t>(Inbox()[3].wParam), 0);  // rotation towards the user
  EXPECT_EQ(static_cast<std::int16_t>(HIWORD(Inbox()[3].wParam)), -WHEEL_DELTA);
}

}  // namespace
}  // namespace pixavue::headless
