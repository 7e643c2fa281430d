#include <pixavue/platform/ole/drag_drop.h>

#include <unordered_map>

#include <pixavue/platform/window/window.h>

namespace pixavue::platform {
namespace {

// Windows and their targets live on one thread, as the windows do.
std::unordered_map<HWND, IDropTarget*>& Targets() {
  thread_local std::unordered_map<HWND, IDropTarget*> targets;
  return targets;
}

// A destroyed window's handle may be given to a new window; its
// registration must not pass to that one.
void ForgetDestroyedWindow(HWND window) { Targets().erase(window); }

}  // namespace

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  if (target == nullptr) return E_INVALIDARG;
  if (!IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  AddWindowDestroyObserver(&ForgetDestroyedWindow);
  return Targets().try_emplace(window, target).second ? S_OK : DRAGDROP_E_ALREADYREGISTERED;
}

HRESULT RevokeDragDrop(HWND window) { return Targets().erase(window) == 1 ? S_OK : DRAGDROP_E_NOTREGISTERED; }

bool DropOnWindow(HWND window, const DataObject& data, std::int32_t& effect, const DropPoint& point) {
  for (HWND at = window; at != kNoWindow && IsWindow(at); at = GetParent(at)) {
    const auto found = Targets().find(at);
    if (found == Targets().end()) continue;
    found->second->Drop(data, effect, point);
    return true;
  }
  effect = DROPEFFECT_NONE;
  return false;
}

}  // namespace pixavue::platform
