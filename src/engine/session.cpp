// Start-up and shut-down of the thread's imaging session, counted by the
// controls of the thread that use it.

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

// Every thread takes a start-up token of its own, also when the library is
// running already (started by another thread's controls or by the host):
// the library stays open while any token is, so one thread's last control
// can never shut it down under another thread's images.
void StartImagingLibrary(GdiplusSession& session) {
  const GdiplusStartupInput input;  // version 1, no debug callback, background thread kept
  session.started = GdiplusStartup(&session.token, &input, nullptr) == Ok;
  if (!session.started) {
    session.token = 0;
    return;
  }
  BuildEncoderTable();
  session.gdiplusVersion = ImagingLibraryVersion();
}

// Gives the thread's token back, once.
void ShutDownImagingLibrary(GdiplusSession& session) {
  const GDIP_ULONG_PTR token = session.token;
  session.token = 0;
  if (token != 0) GdiplusShutdown(token);
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
    ShutDownImagingLibrary(session);
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
    ShutDownImagingLibrary(session);
  } catch (const std::exception& failure) {
    session.started = false;
    ReportRunTimeFailure("Error shutting down GDI+", failure);
  }
}

}  // namespace pixavue::engine
