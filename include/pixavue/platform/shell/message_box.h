#pragma once
// Message boxes with the Visual Basic button, icon and answer constants.
//
// MsgBox hands the request to the thread's shell host (shell_host.h), which
// shows it and says which button was chosen. Without a host the request is
// printed to stderr on one line and the first button of the set is the answer.

#include <pixavue/platform/window/types.h>

#include <span>
#include <string>
#include <string_view>

namespace pixavue::platform {

// Button sets: the low three bits of the flags.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;

// Icons: bits 4 to 6 of the flags.
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

// Answers: the button that closed the box.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

inline constexpr int kMessageBoxButtonMask = 0x07;
inline constexpr int kMessageBoxIconMask = 0x70;

// What a host is asked to show. `buttons` is always one of the six sets and
// `icon` is 0 or one of the four icons: MsgBox reduces other values first.
struct MessageBoxRequest {
  std::string text;
  std::string title;
  int buttons = vbOKOnly;
  int icon = 0;
  HWND owner = kNoWindow;
};

// Splits VB flags into a button set and an icon. The set values 6 and 7 name
// no set and become vbOKOnly; the icon values 80, 96 and 112 name no icon and
// become 0. Every other bit (default button, modality) is ignored.
int MessageBoxButtons(int buttonsAndIcon) noexcept;
int MessageBoxIcon(int buttonsAndIcon) noexcept;

// The answers a button set offers, in the order the buttons are shown. A value
// that is not a set gives the answers of vbOKOnly. Never empty.
std::span<const int> MessageBoxAnswers(int buttons) noexcept;

// Shows a message box and returns the chosen answer, which is always one of
// the answers the box offered: anything else from the host (or a host that
// throws) is replaced by the first answer of the set.
int MsgBox(std::string_view text, int buttonsAndIcon = vbOKOnly, std::string_view title = {},
           HWND owner = kNoWindow) noexcept;

}  // namespace pixavue::platform
