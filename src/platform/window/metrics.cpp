#include <pixavue/platform/window/metrics.h>

namespace pixavue::platform {
namespace {

int& ThicknessOverride() {
  thread_local int pixels = 0;
  return pixels;
}

}  // namespace

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return ThicknessOverride() > 0 ? ThicknessOverride() : kDefaultScrollBarThickness;
    default:
      return 0;
  }
}

void SetScrollBarThickness(int pixels) { ThicknessOverride() = pixels > 0 ? pixels : 0; }

}  // namespace pixavue::platform
