#include "info_command.h"

#include <cstdint>
#include <iostream>
#include <ostream>

#include <pixavue/engine/image_store.h>
#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/support/quorvex_status.h>

#include "image_source.h"

namespace pixavue::app {
namespace {

void PrintStatus(QuorvexStatus status, std::ostream& out) {
  const std::int32_t value = ToInt(status);
  out << "status: " << value << ' ' << QuorvexStatusName(value).value_or("(not a status)") << '\n';
}

// The delays the control plays an animation with, one per frame.
void PrintFrameDelays(const ImageBox& control, std::ostream& out) {
  const auto& delays = control.Runtime().FrameDelays;
  if (delays.empty()) return;
  out << "frame delays (ms):";
  for (const std::int32_t delay : delays) out << ' ' << delay;
  out << '\n';
}

// Property items of the image shown: EXIF tags, and a GIF's or PNG's own.
void PrintPropertyCount(const ImageBox& control, std::ostream& out) {
  platform::GpImage* const image = engine::NativeHandle(control.GetNativeImage());
  platform::UINT32 count = 0;
  if (image == nullptr || platform::GdipGetPropertyCount(image, &count) != platform::Ok) {
    out << "property items: unknown\n";
    return;
  }
  out << "property items: " << count << '\n';
}

void PrintImage(ImageBox& control, std::ostream& out) {
  out << "format: " << control.GetImageFormat() << '\n'
      << "size: " << control.get_ImageWidth() << " x " << control.get_ImageHeight() << '\n'
      << "resolution (dpi): " << control.get_HorizontalResolution() << " x " << control.get_VerticalResolution() << '\n'
      << "pages: " << control.get_PageCount() << '\n';
  PrintFrameDelays(control, out);
  PrintPropertyCount(control, out);
}

}  // namespace

int RunInfo(std::span<const std::string> paths, std::ostream& out) {
  headless::HeadlessHost host;
  headless::HeadlessControl control(host);
  control.InitNew();
  control.Show();
  control.Resize(640, 480);
  bool allLoaded = true;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) out << '\n';
    out << "file: " << paths[i] << '\n';
    const QuorvexStatus status = DisplaySource(control, paths[i], std::cerr);
    PrintStatus(status, out);
    if (status == QuorvexStatus::OK) {
      PrintImage(control.Control(), out);
    } else {
      allLoaded = false;
    }
    control->CloseImage();
  }
  return allLoaded ? 0 : 1;
}

}  // namespace pixavue::app
