#pragma once
// An open imaging-library session for the length of a benchmark.

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::bench {

class ImagingSession final {
 public:
  ImagingSession() {
    const platform::GdiplusStartupInput input;
    platform::GdiplusStartup(&token_, &input, nullptr);
  }
  ~ImagingSession() { platform::GdiplusShutdown(token_); }
  ImagingSession(const ImagingSession&) = delete;
  ImagingSession& operator=(const ImagingSession&) = delete;

 private:
  platform::GDIP_ULONG_PTR token_ = 0;
};

}  // namespace pixavue::bench
