#pragma once
// The reference host for tests and batch work: no display, a top-level
// window of a chosen size, the virtual clock on its thread (time moves only
// when Advance is called), message boxes recorded and answered from a queue,
// open-file dialogs answered from a queue (cancelled when it is empty), and
// synthetic keyboard, mouse and wheel input delivered as window messages.
//
// One host per thread at a time; it installs itself on creation and puts the
// thread's previous clock and shell host back when destroyed.

#include <pixavue/platform/shell/shell_host.h>
#include <pixavue/platform/window/types.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pixavue::headless {

using platform::HWND;

enum class MouseButton : std::int16_t { Left = 1, Right = 2, Middle = 4 };

struct HostOptions {
  int width = 640;
  int height = 480;
  std::string title = "Pixavue";
};

struct RecordedMessageBox {
  platform::MessageBoxRequest request;
  int answer = 0;
};

class HeadlessHost final : public platform::ShellHost {
 public:
  HeadlessHost();
  explicit HeadlessHost(HostOptions options);
  ~HeadlessHost() override;
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;

  HWND TopLevelWindow() const { return window_; }
  void Resize(int width, int height);

  // Time and the message queue.
  void Advance(std::int64_t ms);
  void DoEvents();
  std::int64_t Now() const;

  // Message boxes: every request is recorded; the answer is the next queued
  // one, or the first button of the box when none is queued.
  const std::vector<RecordedMessageBox>& MessageBoxes() const { return messageBoxes_; }
  void ClearMessageBoxes() { messageBoxes_.clear(); }
  void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }

  // Open-file dialogs: every request is recorded; the answer is the next
  // queued path (nothing = the user cancels), or a cancel when none is queued.
  const std::vector<platform::OpenFileRequest>& OpenFileRequests() const { return openFileRequests_; }
  void QueueOpenFileAnswer(std::optional<std::string> path) { openFileAnswers_.push_back(std::move(path)); }

  // Synthetic input, sent to `target` (kNoWindow: the focused window, else
  // the top-level window). Keys set the thread's shift state first.
  void Focus(HWND target);
  void KeyDown(int keyCode, std::int16_t shift = 0, HWND target = {});
  void KeyUp(int keyCode, std::int16_t shift = 0, HWND target = {});
  void KeyPress(char character, HWND target = {});
  void PressKey(int keyCode, std::int16_t shift = 0, HWND target = {});  // down, then up unless handled
  void MouseDown(MouseButton button, int x, int y, std::int16_t shift = 0, HWND target = {});
  void MouseMove(int x, int y, std::int16_t shift = 0, HWND target = {});
  void MouseUp(MouseButton button, int x, int y, std::int16_t shift = 0, HWND target = {});
  void Click(MouseButton button, int x, int y, HWND target = {});
  void DoubleClick(MouseButton button, int x, int y, HWND target = {});
  // One message per call; positive deltas turn the wheel away from the user.
  void Wheel(int delta, int x = 0, int y = 0, HWND target = {});
  // Drops a file list on `target` as a shell does at the end of a drag with
  // the left button: the drop target of the window or of its nearest
  // ancestor receives it. Returns the effect the target left (starting as
  // `allowedEffects`), DROPEFFECT_NONE when no target took the drop.
  std::int32_t DropFiles(const std::vector<std::string>& paths, HWND target, int x = 0, int y = 0,
                         std::int32_t allowedEffects = 1);

  // ShellHost
  int ShowMessageBox(const platform::MessageBoxRequest& request) override;
  std::optional<std::string> ShowOpenFileDialog(const platform::OpenFileRequest& request) override;

 private:
  HWND Target(HWND requested) const;
  platform::WPARAM MouseKeys(std::int16_t shift) const;
  void SendMouse(platform::UINT message, int x, int y, std::int16_t shift, HWND target);

  platform::ShellHostGuard shellGuard_;
  bool wasVirtualClock_ = false;
  HWND window_ = {};
  std::int16_t buttonsDown_ = 0;
  std::vector<RecordedMessageBox> messageBoxes_;
  std::deque<int> messageBoxAnswers_;
  std::vector<platform::OpenFileRequest> openFileRequests_;
  std::deque<std::optional<std::string>> openFileAnswers_;
};

}  // namespace pixavue::headless
