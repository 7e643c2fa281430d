// Files dropped on the host's windows, as the shell hands them over.

#include <pixavue/hosts/headless/headless_host.h>
#include <pixavue/platform/ole/drag_drop.h>

namespace pixavue::headless {

std::int32_t HeadlessHost::DropFiles(const std::vector<std::string>& paths, HWND target, int x, int y,
                                     std::int32_t allowedEffects) {
  const platform::DataObject data(paths);
  platform::DropPoint point;
  point.button = static_cast<std::int16_t>(MouseButton::Left);
  point.x = static_cast<float>(x);
  point.y = static_cast<float>(y);
  std::int32_t effect = allowedEffects;
  platform::DropOnWindow(Target(target), data, effect, point);
  return effect;
}

}  // namespace pixavue::headless
