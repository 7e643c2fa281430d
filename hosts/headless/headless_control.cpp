#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/platform/window/window.h>

namespace pixavue::headless {

HeadlessControl::HeadlessControl(HeadlessHost& host)
    : container_(host.TopLevelWindow()), control_(std::make_unique<ImageBox>(container_)) {
  control_->Advise(&events_);
}

HeadlessControl::~HeadlessControl() { Destroy(); }

void HeadlessControl::Resize(int width, int height) {
  platform::MoveWindow(control_->get_hwnd(), 0, 0, width, height);
}

platform::GpStatus HeadlessControl::SaveView(const std::string&) { return platform::NotImplemented; }

void HeadlessControl::Destroy() { control_.reset(); }

}  // namespace pixavue::headless
