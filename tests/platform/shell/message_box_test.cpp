#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/shell/shell_host.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace pixavue::platform {
namespace {

class ScriptedHost final : public ShellHost {
 public:
  explicit ScriptedHost(int answer = vbOK) : answer_(answer) {}
  int ShowMessageBox(const MessageBoxRequest& request) override {
    requests.push_back(request);
    if (throws) throw std::runtime_error("host failed");
    return answer_;
  }
  std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest&) override { return std::nullopt; }

  std::vector<MessageBoxRequest> requests;
  bool throws = false;

 private:
  int answer_;
};

TEST(MessageBoxTest, HostReceivesTheSplitRequest) {
  ScriptedHost host(vbNo);
  const ShellHostGuard guard(host);
  EXPECT_EQ(MsgBox("Save?\nReally", vbYesNo | vbQuestion, "Viewer", HWND{42}), vbNo);
  ASSERT_EQ(host.requests.size(), 1u);
  const MessageBoxRequest& request = host.requests.front();
  EXPECT_EQ(request.text, "Save?\nReally");
  EXPECT_EQ(request.title, "Viewer");
  EXPECT_EQ(request.buttons, vbYesNo);
  EXPECT_EQ(request.icon, vbQuestion);
  EXPECT_EQ(request.owner, HWND{42});
}

TEST(MessageBoxTest, FlagsOutsideTheKnownSetsAreReduced) {
  EXPECT_EQ(MessageBoxButtons(6), vbOKOnly);
  EXPECT_EQ(MessageBoxButtons(7 | vbCritical), vbOKOnly);
  EXPECT_EQ(MessageBoxButtons(vbRetryCancel | vbExclamation | 256), vbRetryCancel);
  EXPECT_EQ(MessageBoxIcon(vbInformation | vbAbortRetryIgnore | 512), vbInformation);
  EXPECT_EQ(MessageBoxIcon(0x50), 0);
  EXPECT_EQ(MessageBoxIcon(0x70), 0);
  EXPECT_EQ(MessageBoxIcon(-1), 0);
}

// For each set and each host answer 1..7: what MsgBox returns.
TEST(MessageBoxTest, OnlyOfferedAnswersComeBack) {
  const int expected[6][7] = {
      {vbOK, vbOK, vbOK, vbOK, vbOK, vbOK, vbOK},                           // OK only
      {vbOK, vbCancel, vbOK, vbOK, vbOK, vbOK, vbOK},                       // OK, Cancel
      {vbAbort, vbAbort, vbAbort, vbRetry, vbIgnore, vbAbort, vbAbort},     // Abort, Retry, Ignore
      {vbYes, vbCancel, vbYes, vbYes, vbYes, vbYes, vbNo},                  // Yes, No, Cancel
      {vbYes, vbYes, vbYes, vbYes, vbYes, vbYes, vbNo},                     // Yes, No
      {vbRetry, vbCancel, vbRetry, vbRetry, vbRetry, vbRetry, vbRetry}};    // Retry, Cancel
  for (int buttons = vbOKOnly; buttons <= vbRetryCancel; ++buttons) {
    for (int answer = vbOK; answer <= vbNo; ++answer) {
      ScriptedHost host(answer);
      const ShellHostGuard guard(host);
      EXPECT_EQ(MsgBox("x", buttons), expected[buttons][answer - 1]) << "set " << buttons << " answer " << answer;
    }
  }
  ScriptedHost failing(vbCancel);
  failing.throws = true;
  const ShellHostGuard guard(failing);
  EXPECT_EQ(MsgBox("x", vbRetryCancel), vbRetry);
}

TEST(MessageBoxTest, WithoutHostPrintsOneLineAndAnswersFirstButton) {
  ASSERT_EQ(CurrentShellHost(), nullptr);
  testing::internal::CaptureStderr();
  const int answer = MsgBox("Line one\nline two", vbAbortRetryIgnore | vbCritical, "Title");
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, vbAbort);
  EXPECT_EQ(printed.find('\n'), printed.size() - 1) << printed;
  EXPECT_NE(printed.find("Title"), std::string::npos);
  EXPECT_NE(printed.find("Line one\\nline two"), std::string::npos);
}

TEST(ShellHostGuardTest, GuardsNestAndStayOnTheirThread) {
  ScriptedHost outer;
  ScriptedHost inner;
  {
    const ShellHostGuard outerGuard(outer);
    {
      const ShellHostGuard innerGuard(inner);
      EXPECT_EQ(CurrentShellHost(), &inner);
      ShellHost* seenElsewhere = &inner;
      std::thread([&] { seenElsewhere = CurrentShellHost(); }).join();
      EXPECT_EQ(seenElsewhere, nullptr);
    }
    EXPECT_EQ(CurrentShellHost(), &outer);
  }
  EXPECT_EQ(CurrentShellHost(), nullptr);
}

}  // namespace
}  // namespace pixavue::platform
