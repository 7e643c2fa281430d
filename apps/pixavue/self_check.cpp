#include "self_check.h"

#include "control_check.h"
#include "imaging_check.h"
#include "private_folder.h"

#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/file_property_bag.h>
#include <pixavue/platform/ole/guid.h>
#include <pixavue/platform/ole/memory_stream.h>
#include <pixavue/platform/shell/file_version.h>
#include <pixavue/platform/shell/message_box.h>
#include <pixavue/platform/shell/platform_version.h>
#include <pixavue/platform/shell/temp_folder.h>
#include <pixavue/platform/window/message_queue.h>
#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/scroll_bar.h>
#include <pixavue/platform/window/timer.h>
#include <pixavue/platform/window/window.h>
#include <pixavue/support/color.h>
#include <pixavue/support/quorvex_status.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace pixavue::app {
namespace {

using namespace platform;

struct Check {
  std::string name;
  std::function<std::string()> run;  // empty text: passed; otherwise what went wrong
};

int g_received = 0;
LRESULT CountingProc(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_USER) ++g_received;
  return 0;
}

WNDPROC g_saved = nullptr;
LRESULT ChainingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProc(g_saved, window, message, wParam, lParam) + (message == WM_USER ? 1 : 0);
}

std::string CheckWindows(headless::HeadlessHost& host) {
  WindowCreateInfo info;
  info.parent = host.TopLevelWindow();
  info.procedure = &CountingProc;
  const HWND window = CreateWindow(info);
  if (window == kNoWindow) return "could not create a window";
  g_received = 0;
  g_saved = SubclassWindow(window, &ChainingProc);
  const LRESULT chained = SendMessage(window, WM_USER, 0, 0);
  PostMessage(window, WM_USER, 0, 0);
  host.DoEvents();
  SubclassWindow(window, g_saved);
  DestroyWindow(window);
  if (chained != 1 || g_received != 2) return "the procedure chain or the queue lost a message";
  return IsWindow(window) ? "a destroyed window is still live" : "";
}

std::string CheckTimers(headless::HeadlessHost& host) {
  static int ticks;
  ticks = 0;
  SetTimer(host.TopLevelWindow(), 1, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
  host.Advance(250);
  KillTimer(host.TopLevelWindow(), 1);
  return ticks == 2 ? "" : "expected 2 ticks in 250 ms of a 100 ms timer, got " + std::to_string(ticks);
}

std::string CheckScrollBar(headless::HeadlessHost& host) {
  ScrollBar bar(host.TopLevelWindow(), ScrollBarOrientation::Horizontal);
  int changes = 0;
  bar.onChange = [&](ScrollNotification) { ++changes; };
  bar.SetMax(100);
  bar.SetValue(60);
  bar.SetValue(60);
  return changes == 1 && !bar.SetValue(101) ? "" : "scroll-bar notifications are wrong";
}

std::string CheckMessageBox(headless::HeadlessHost& host) {
  const int answer = MsgBox("self-check", vbYesNo);
  if (answer != vbYes || host.MessageBoxes().size() != 1) return "the host did not answer the message box";
  return "";
}

// A property bag saved to a file in a folder of its own and read back.
std::string CheckPropertyBagFile() {
  const PrivateFolder folder;
  if (!folder.Made()) return "could not make a folder in the temporary folder";
  const std::filesystem::path path = folder / "self-check.bag";
  FilePropertyBag saved(path);
  WriteProperty(saved, "Zoom", 1.25, 1.0);
  WriteProperty(saved, "ScrollLargeChange", std::int16_t{50}, std::int16_t{1});
  WriteProperty(saved, "SilentMode", true, false);
  if (FAILED(saved.Save())) return "could not save " + path.string();
  FilePropertyBag loaded(path);
  if (FAILED(loaded.Load())) return "could not load what was saved";
  if (ReadProperty(loaded, "Zoom", 1.0) != 1.25 || ReadProperty(loaded, "ScrollLargeChange", std::int16_t{1}) != 50 ||
      !ReadProperty(loaded, "SilentMode", false)) {
    return "the bag did not read back what was written";
  }
  return "";
}

std::string CheckStreamAndGuid() {
  ComPtr<IStream> stream;
  if (FAILED(CreateMemoryStream({}, stream.ReleaseAndGetAddressOf()))) return "could not create a stream";
  const char text[] = "pixavue";
  ULONG moved = 0;
  stream->Write(text, sizeof text, &moved);
  stream->Seek(0, STREAM_SEEK_SET, nullptr);
  char back[sizeof text] = {};
  stream->Read(back, sizeof back, &moved);
  if (moved != sizeof text || std::string_view(back) != text) return "the stream did not read back what was written";
  const auto parsed = ParseGuid("{37d84f60-42cb-11ce-8135-00aa004bb851}");
  if (!parsed || GuidToString(*parsed) != "{37D84F60-42CB-11CE-8135-00AA004BB851}") return "GUID text is wrong";
  return "";
}

std::string CheckSupport() {
  cColor color;
  color.FromRGBColor(0x000000FF);
  if (color.GetValue() != 0xFFFF0000u) return "colour conversion is wrong";
  return QuorvexStatusName(2) == std::string_view("InvalidParameter") ? "" : "status names are wrong";
}

void Report(std::ostream& out, const std::string& name, const std::string& failure) {
  out << "  " << name << ": " << (failure.empty() ? "ok" : "FAILED: " + failure) << '\n';
}

}  // namespace

bool RunSelfCheck(std::ostream& out) {
  headless::HeadlessHost host;
  const std::vector<Check> checks = {
      {"windows, procedure chains and the message queue", [&] { return CheckWindows(host); }},
      {"timers on the virtual clock", [&] { return CheckTimers(host); }},
      {"scroll-bar element", [&] { return CheckScrollBar(host); }},
      {"message boxes through the host", [&] { return CheckMessageBox(host); }},
      {"property bag saved to a file and read back", [] { return CheckPropertyBagFile(); }},
      {"streams and GUID text", [] { return CheckStreamAndGuid(); }},
      {"status codes and colours", [] { return CheckSupport(); }},
      {"images saved in each lossless format and read back", [] { return CheckImagingRoundTrips(); }},
      {"nearest-neighbour drawing", [] { return CheckDrawing(); }},
      {"a control adopting an image from the engine", [&] { return CheckControl(host); }},
  };
  bool passed = true;
  for (const Check& check : checks) {
    const std::string failure = check.run();
    passed = passed && failure.empty();
    Report(out, check.name, failure);
  }
  const PlatformVersion version = CurrentPlatformVersion();
  out << "  platform version: " << version.major << '.' << version.minor << '\n';
  out << "  temporary folder: " << TempFolder() << '\n';
  out << "  libpng version: " << FileVersionString("libpng16.so.16") << '\n';
  return passed;
}

}  // namespace pixavue::app
