// Version strings of the imaging library and of the image plug-in, and the
// numbers read from them.

#include <cctype>
#include <string>

#include <pixavue/engine/image_session.h>
#include <pixavue/platform/gdiplus/gdiplus_version.h>
#include <pixavue/platform/shell/file_version.h>

#include "session_internal.h"

namespace pixavue::engine {

double LeadingVersionNumber(std::string_view version) {
  std::size_t at = 0;
  while (at < version.size() && version[at] == ' ') ++at;
  double value = 0.0;
  bool seenPoint = false;
  double scale = 1.0;
  for (; at < version.size(); ++at) {
    const char c = version[at];
    if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
      const int digit = c - '0';
      if (seenPoint) {
        scale /= 10.0;
        value += digit * scale;
      } else {
        value = value * 10.0 + digit;
      }
    } else {
      break;
    }
  }
  return value;
}

double GdiplusMajorVersion() { return LeadingVersionNumber(Session().gdiplusVersion); }

bool PluginPresent() { return LeadingVersionNumber(Session().pluginVersion) != 0.0; }

// There is no system library file behind the imaging layer: its version is
// the interface level it implements.
std::string ImagingLibraryVersion() { return std::string(platform::kGdiplusVersion); }

std::string PluginLibraryVersion() { return platform::FileVersionString(kPluginLibraryName); }

void SetGdiplusVersionForTesting(const std::string& version) { MutableSession().gdiplusVersion = version; }

}  // namespace pixavue::engine
