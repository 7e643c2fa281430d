// Start-up and shut-down of the thread's imaging session, counted by the
// controls that use it.

#include <new>
#include <string>
#include <system_error>

#include <pixavue/engine/image_session.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/shell/message_box.h>

#include "session_internal.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

thread_local GdiplusSession tSession;

// The number a run-time failure reports: the system error code when there is
// one, 7 (the out-of-memory error number of the control's platform) for a
// failed allocation, else 1.
int RunTimeErrorNumber(const std::exception& failure) {
  if (const auto* system = dynamic_cast<const std::system_error*>(&failure)) return system->code().value();
  if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return 7;
  return 1;
}

void ReportRunTimeFailure(std::string_view what, const std::exception& failure) {
  std::string text(what);
  text += ". Err no: " + std::to_string(RunTimeErrorNumber(failure)) + ". Error: " + failure.what();
  MsgBox(text, vbOKOnly);
}

// True when an imaging session is already open in the process: a bitmap can
// be made without starting one.
bool ImagingLibraryRunning() {
  GpBitmap* probe = nullptr;
  if (GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat24bppRGB, nullptr, &probe) != Ok) return false;
  GdipDisposeImage(probe);
  return true;
}

void StartImagingLibrary(GdiplusSession& session) {
  session.started = true;
  bool usable = ImagingLibraryRunning();
  if (!usable) {
    const GdiplusStartupInput input;  // version 1, no debug callback, background thread kept
    usable = GdiplusStartup(&session.token, &input, nullptr) == Ok;
    if (!usable) session.started = false;
  }
  if (usable) {
    BuildEncoderTable();
    session.gdiplusVersion = ImagingLibraryVersion();
  }
}

}  // namespace

GdiplusSession& MutableSession() { return tSession; }
const GdiplusSession& Session() { return tSession; }

bool StartEngine() {
  GdiplusSession& session = tSession;
  ++session.users;
  try {
    if (!session.started) StartImagingLibrary(session);
    // Looked for by every control until found, so that a plug-in installed
    // later is picked up.
    if (!PluginPresent()) session.pluginVersion = PluginLibraryVersion();
  } catch (const std::exception& failure) {
    session.started = false;
    ReportRunTimeFailure("Error starting GDI+", failure);
  }
  return session.started;
}

void StopEngine() {
  GdiplusSession& session = tSession;
  --session.users;
  if (!session.started || session.users > 0) return;
  try {
    session.started = false;
    ReleaseAllImages();
    if (session.token != 0) GdiplusShutdown(session.token);
    session.token = 0;
  } catch (const std::exception& failure) {
    session.started = false;
    ReportRunTimeFailure("Error shutting down GDI+", failure);
  }
}

}  // namespace pixavue::engine
