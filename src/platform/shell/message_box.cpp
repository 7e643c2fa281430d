#include <pixavue/platform/shell/message_box.h>

#include <pixavue/platform/shell/shell_host.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace pixavue::platform {
namespace {

constexpr std::array<int, 1> kOkOnly{vbOK};
constexpr std::array<int, 2> kOkCancel{vbOK, vbCancel};
constexpr std::array<int, 3> kAbortRetryIgnore{vbAbort, vbRetry, vbIgnore};
constexpr std::array<int, 3> kYesNoCancel{vbYes, vbNo, vbCancel};
constexpr std::array<int, 2> kYesNo{vbYes, vbNo};
constexpr std::array<int, 2> kRetryCancel{vbRetry, vbCancel};

int FirstAnswer(int buttons) noexcept { return MessageBoxAnswers(buttons).front(); }

bool Offers(int buttons, int answer) noexcept {
  const std::span<const int> answers = MessageBoxAnswers(buttons);
  return std::find(answers.begin(), answers.end(), answer) != answers.end();
}

// Writes text with line breaks and tabs escaped, so the record stays one line.
void WriteOneLine(std::string_view text) {
  for (const char character : text) {
    switch (character) {
      case '\n': std::fputs("\\n", stderr); break;
      case '\r': std::fputs("\\r", stderr); break;
      case '\t': std::fputs("\\t", stderr); break;
      default: std::fputc(character, stderr); break;
    }
  }
}

int AnswerWithoutHost(const MessageBoxRequest& request) {
  const int answer = FirstAnswer(request.buttons);
  std::fputs("[message box] ", stderr);
  WriteOneLine(request.title);
  std::fputs(": ", stderr);
  WriteOneLine(request.text);
  std::fprintf(stderr, " (buttons %d, icon %d, answered %d)\n", request.buttons, request.icon, answer);
  return answer;
}

int Ask(const MessageBoxRequest& request) {
  ShellHost* host = CurrentShellHost();
  if (host == nullptr) return AnswerWithoutHost(request);
  const int answer = host->ShowMessageBox(request);
  return Offers(request.buttons, answer) ? answer : FirstAnswer(request.buttons);
}

}  // namespace

int MessageBoxButtons(int buttonsAndIcon) noexcept {
  const int buttons = buttonsAndIcon & kMessageBoxButtonMask;
  return buttons <= vbRetryCancel ? buttons : vbOKOnly;
}

int MessageBoxIcon(int buttonsAndIcon) noexcept {
  const int icon = buttonsAndIcon & kMessageBoxIconMask;
  return icon <= vbInformation ? icon : 0;
}

std::span<const int> MessageBoxAnswers(int buttons) noexcept {
  switch (buttons) {
    case vbOKCancel: return kOkCancel;
    case vbAbortRetryIgnore: return kAbortRetryIgnore;
    case vbYesNoCancel: return kYesNoCancel;
    case vbYesNo: return kYesNo;
    case vbRetryCancel: return kRetryCancel;
    default: return kOkOnly;
  }
}

int MsgBox(std::string_view text, int buttonsAndIcon, std::string_view title, HWND owner) noexcept {
  const int buttons = MessageBoxButtons(buttonsAndIcon);
  try {
    const MessageBoxRequest request{std::string(text), std::string(title), buttons, MessageBoxIcon(buttonsAndIcon),
                                    owner};
    return Ask(request);
  } catch (...) {
    // A host that fails (or no memory for the request) still gets a possible answer.
    return FirstAnswer(buttons);
  }
}

}  // namespace pixavue::platform
