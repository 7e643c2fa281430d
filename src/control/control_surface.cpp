#include <pixavue/control/control_surface.h>
#include <pixavue/platform/window/window.h>

#include <utility>

namespace pixavue {

ControlSurface::ControlSurface(platform::HWND parent, platform::ElementWindow::Handler handler)
    : window_(parent, "ImageBox", 0, 0, std::move(handler)) {}

void ControlSurface::Cls() { platform::InvalidateRect(window_.Handle(), nullptr, true); }

}  // namespace pixavue
