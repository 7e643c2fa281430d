#include <pixavue/platform/shell/file_dialog.h>
#include <pixavue/platform/shell/shell_host.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace pixavue::platform {
namespace {

class ChoosingHost final : public ShellHost {
 public:
  explicit ChoosingHost(std::optional<std::string> choice) : choice_(std::move(choice)) {}
  int ShowMessageBox(const MessageBoxRequest&) override { return vbOK; }
  std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest& request) override {
    if (request.filter == "throw") throw std::runtime_error("dialog failed");
    return choice_;
  }

 private:
  std::optional<std::string> choice_;
};

OpenFileResult Answer(std::optional<std::string> choice, std::size_t bufferSize = 256, std::string filter = {}) {
  ChoosingHost host(std::move(choice));
  const ShellHostGuard guard(host);
  OpenFileRequest request;
  request.maxFileNameLength = bufferSize;
  request.filter = std::move(filter);
  return GetOpenFileName(request);
}

TEST(FileDialogTest, PathMustLeaveRoomForTheTerminatingNull) {
  const OpenFileResult fits = Answer(std::string(9, 'a'), 10);
  EXPECT_EQ(fits.outcome, FileDialogOutcome::Chosen);
  EXPECT_EQ(fits.path, std::string(9, 'a'));

  const OpenFileResult tooLong = Answer(std::string(10, 'a'), 10);
  EXPECT_EQ(tooLong.outcome, FileDialogOutcome::BufferTooSmall);
  EXPECT_EQ(tooLong.path, "");
  EXPECT_EQ(tooLong.requiredLength, 11u);

  EXPECT_EQ(Answer(std::string("a"), 0).outcome, FileDialogOutcome::BufferTooSmall);
}

TEST(FileDialogTest, AnswerIsCutAtItsFirstNullBeforeItIsMeasured) {
  const OpenFileResult result = Answer(std::string("/a.pn\0garbage", 13), 6);
  EXPECT_EQ(result.outcome, FileDialogOutcome::Chosen);
  EXPECT_EQ(result.path, "/a.pn");
}

TEST(FileDialogTest, UnusableAnswersCountAsCancelled) {
  EXPECT_EQ(GetOpenFileName(OpenFileRequest{}).outcome, FileDialogOutcome::Cancelled);  // no host
  EXPECT_EQ(Answer(std::nullopt).outcome, FileDialogOutcome::Cancelled);
  EXPECT_EQ(Answer(std::string()).outcome, FileDialogOutcome::Cancelled);
  EXPECT_EQ(Answer(std::string("\0/a.png", 7)).outcome, FileDialogOutcome::Cancelled);
  EXPECT_EQ(Answer(std::string("/a.png"), 256, "throw").outcome, FileDialogOutcome::Cancelled);

  ChoosingHost host(std::string(300, 'a'));
  const ShellHostGuard guard(host);
  EXPECT_EQ(ChooseOpenFile(OpenFileRequest{}), std::nullopt);
}

}  // namespace
}  // namespace pixavue::platform
