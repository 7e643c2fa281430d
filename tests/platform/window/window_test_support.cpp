#include "window_test_support.h"

namespace pixavue::platform::testing {

std::vector<LoggedMessage>& MessageLog() {
  static std::vector<LoggedMessage> log;
  return log;
}

std::vector<std::string> WhoGot(UINT message) {
  std::vector<std::string> names;
  for (const auto& entry : MessageLog()) {
    if (entry.message == message) names.push_back(entry.who);
  }
  return names;
}

LRESULT LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog().push_back({"base", window, message, wParam, lParam});
  return static_cast<LRESULT>(message);  // lets callers see which procedure answered
}

HWND MakeWindow(HWND parent, WNDPROC procedure) {
  WindowCreateInfo info;
  info.parent = parent;
  info.procedure = procedure;
  info.width = 100;
  info.height = 50;
  return CreateWindow(info);
}

}  // namespace pixavue::platform::testing
