#pragma once
// The imaging session of the thread: started by the first control, counted
// by each control, shut down (after releasing every image) by the last; the
// encoder table; the versions of the imaging library and of the image
// plug-in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::engine {

// The plug-in library's file name, found the way the dynamic loader finds it.
inline constexpr std::string_view kPluginLibraryName = "libqximgplug.so";

struct GdiplusSession {
  platform::GDIP_ULONG_PTR token = 0;  // this thread's start-up token, 0 while not started
  bool started = false;
  std::int32_t users = 0;
  std::string gdiplusVersion;
  std::string pluginVersion;
};

// Start-up and shut-down, once per control. StartEngine returns whether the
// session is usable; its run-time failures are reported by a message box.
bool StartEngine();
void StopEngine();

const GdiplusSession& Session();

// The leading number of a version text ("6.1.7601.0" -> 6.1; "Unknown" and
// "Undefined" -> 0).
double LeadingVersionNumber(std::string_view version);
// The imaging library's major version, as tested against 6.
double GdiplusMajorVersion();
// The plug-in counts as present when its version's leading number is not 0.
bool PluginPresent();

// The encoder table: CLSIDs in the order the library lists them, and a lookup
// by file-name pattern ("*.PNG", compared without regard to case) giving the
// encoder's index, or -1.
std::int32_t EncoderIndex(std::string_view pattern);
const std::vector<platform::CLSID>& EncoderClsids();
// The CLSID of the encoder for a pattern, null when there is none.
const platform::CLSID* EncoderFor(std::string_view pattern);

}  // namespace pixavue::engine
