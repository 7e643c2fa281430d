#pragma once
// The container a control is placed in: it gives the control the window it
// lives on and learns of each persisted property that changed, so that it
// saves the control's properties. Message boxes and the open-file dialog do
// not pass through here: they go to the thread's shell host
// (platform/shell/shell_host.h).

#include <string_view>

#include <pixavue/platform/window/types.h>

namespace pixavue {

class ControlContainer {
 public:
  virtual ~ControlContainer() = default;

  // The window the control creates its own window on.
  virtual platform::HWND ContainerWindow() = 0;

  // A persisted property changed; name is its property-bag key.
  virtual void PropertyChanged(std::string_view name) = 0;

 protected:
  ControlContainer() = default;
  ControlContainer(const ControlContainer&) = default;
  ControlContainer& operator=(const ControlContainer&) = default;
};

}  // namespace pixavue
