#include <pixavue/platform/window/messages.h>
#include <pixavue/platform/window/window.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>
#include <unistd.h>

#include "thread_state.h"

namespace pixavue::platform {
namespace {

using detail::CurrentThread;
using detail::FindWindow;
using detail::WindowRecord;

// Handles are unique in the process (windows of all threads draw from one
// counter) and start at a base derived from the process id, so that names
// built from a handle, such as a temporary file name, seldom meet those of
// another process.
HWND NextHandle() {
  static std::atomic<std::int32_t> next{static_cast<std::int32_t>(((::getpid() % 0x7FFF) + 1) << 16)};
  std::int32_t value = next.fetch_add(1);
  while (value <= 0) {  // wrapped: start again from the bottom of the range
    next.compare_exchange_strong(value, 2);
    value = next.fetch_add(1);
  }
  return HWND{value};
}

bool IsLive(const std::shared_ptr<WindowRecord>& record) { return record != nullptr; }

// Observers are process-wide (windows of every thread are destroyed through
// the same function) and few; they are called outside the lock.
std::mutex g_observerLock;
std::vector<WindowDestroyObserver> g_observers;

void NotifyDestroyed(HWND window) {
  std::vector<WindowDestroyObserver> observers;
  {
    const std::lock_guard lock(g_observerLock);
    observers = g_observers;
  }
  for (WindowDestroyObserver observer : observers) observer(window);
}

// True when `ancestor` is `window` or one of its parents.
bool IsSelfOrAncestor(HWND ancestor, HWND window) {
  for (auto record = FindWindow(window); record; record = FindWindow(record->parent)) {
    if (record->handle == ancestor) return true;
  }
  return false;
}

void DropFocusWithin(HWND window) {
  const HWND focus = CurrentThread().focus;
  if (focus != kNoWindow && IsSelfOrAncestor(window, focus)) SetFocus(kNoWindow);
}

void DestroyRecursively(const std::shared_ptr<WindowRecord>& record) {
  record->destroying = true;
  SendMessage(record->handle, WM_DESTROY, 0, 0);
  const std::vector<HWND> children = record->children;
  for (HWND child : children) {
    if (auto childRecord = FindWindow(child); childRecord && !childRecord->destroying) {
      DestroyRecursively(childRecord);
    }
  }
  detail::KillTimersOf(record->handle);
  detail::DropPostedMessagesFor(record->handle);
  SendMessage(record->handle, WM_NCDESTROY, 0, 0);
  if (auto parent = FindWindow(record->parent)) {
    std::erase(parent->children, record->handle);
  }
  CurrentThread().windows.erase(HandleValue(record->handle));
  NotifyDestroyed(record->handle);
}

}  // namespace

HWND CreateWindow(const WindowCreateInfo& info) {
  if (info.parent != kNoWindow && !IsWindow(info.parent)) return kNoWindow;
  auto record = std::make_shared<WindowRecord>();
  record->handle = NextHandle();
  record->parent = info.parent;
  record->procedure = info.procedure ? info.procedure : &DefWindowProc;
  record->className = info.className;
  record->x = info.x;
  record->y = info.y;
  record->width = std::max(info.width, 0);
  record->height = std::max(info.height, 0);
  record->visible = info.visible;
  record->enabled = info.enabled;
  record->userData = info.userData;
  record->id = info.id;
  CurrentThread().windows.emplace(HandleValue(record->handle), record);
  if (auto parent = FindWindow(info.parent)) parent->children.push_back(record->handle);

  if (SendMessage(record->handle, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(record->handle);
    return kNoWindow;
  }
  return record->handle;
}

bool DestroyWindow(HWND window) {
  auto record = FindWindow(window);
  if (!IsLive(record) || record->destroying) return false;
  DropFocusWithin(window);
  DestroyRecursively(record);
  return true;
}

bool IsWindow(HWND window) { return window != kNoWindow && FindWindow(window) != nullptr; }

void AddWindowDestroyObserver(WindowDestroyObserver observer) {
  if (observer == nullptr) return;
  const std::lock_guard lock(g_observerLock);
  if (std::find(g_observers.begin(), g_observers.end(), observer) == g_observers.end()) {
    g_observers.push_back(observer);
  }
}

HWND GetParent(HWND window) {
  const auto record = FindWindow(window);
  return record ? record->parent : kNoWindow;
}

std::size_t WindowCount() { return CurrentThread().windows.size(); }

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The record is held while its procedure runs, so a procedure may destroy
  // its own window safely.
  const auto record = FindWindow(window);
  if (!record) return 0;
  return CallWindowProc(record->procedure, window, message, wParam, lParam);
}

LONG_PTR ProcToLongPtr(WNDPROC procedure) { return reinterpret_cast<LONG_PTR>(procedure); }
WNDPROC LongPtrToProc(LONG_PTR value) { return reinterpret_cast<WNDPROC>(value); }

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  const auto record = FindWindow(window);
  if (!record) return 0;
  LONG_PTR previous = 0;
  switch (index) {
    case GWL_WNDPROC:
      if (value == 0) return 0;
      previous = ProcToLongPtr(record->procedure);
      record->procedure = LongPtrToProc(value);
      return previous;
    case GWLP_USERDATA:
      previous = record->userData;
      record->userData = value;
      return previous;
    case GWL_ID:
      previous = record->id;
      record->id = value;
      return previous;
    case GWL_STYLE:
      previous = GetWindowLongPtr(window, GWL_STYLE);
      record->visible = (value & WS_VISIBLE) != 0;
      record->enabled = (value & WS_DISABLED) == 0;
      return previous;
    default:
      return 0;
  }
}

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  const auto record = FindWindow(window);
  if (!record) return 0;
  switch (index) {
    case GWL_WNDPROC:
      return ProcToLongPtr(record->procedure);
    case GWLP_USERDATA:
      return record->userData;
    case GWL_ID:
      return record->id;
    case GWL_HWNDPARENT:
      return HandleValue(record->parent);
    case GWL_STYLE:
      return (record->parent != kNoWindow ? WS_CHILD : 0) | (record->visible ? WS_VISIBLE : 0) |
             (record->enabled ? 0 : WS_DISABLED);
    default:
      return 0;
  }
}

WNDPROC SubclassWindow(HWND window, WNDPROC procedure) {
  return LongPtrToProc(SetWindowLongPtr(window, GWL_WNDPROC, ProcToLongPtr(procedure)));
}

WNDPROC GetWindowProc(HWND window) { return LongPtrToProc(GetWindowLongPtr(window, GWL_WNDPROC)); }

bool EnableWindow(HWND window, bool enable) {
  const auto record = FindWindow(window);
  if (!record) return false;
  const bool wasDisabled = !record->enabled;
  if (record->enabled == enable) return wasDisabled;
  if (!enable) DropFocusWithin(window);
  record->enabled = enable;
  SendMessage(window, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(HWND window) {
  const auto record = FindWindow(window);
  return record && record->enabled;
}

bool ShowWindow(HWND window, int command) {
  const auto record = FindWindow(window);
  if (!record) return false;
  const bool wasVisible = record->visible;
  const bool show = command != SW_HIDE;
  if (wasVisible == show) return wasVisible;
  if (!show) DropFocusWithin(window);
  record->visible = show;
  SendMessage(window, WM_SHOWWINDOW, show ? 1 : 0, 0);
  return wasVisible;
}

bool IsWindowVisible(HWND window) {
  const auto record = FindWindow(window);
  return record && record->visible;
}

bool MoveWindow(HWND window, int x, int y, int width, int height, bool repaint) {
  const auto record = FindWindow(window);
  if (!record) return false;
  width = std::max(width, 0);
  height = std::max(height, 0);
  const bool moved = record->x != x || record->y != y;
  const bool resized = record->width != width || record->height != height;
  SendMessage(window, WM_WINDOWPOSCHANGING, 0, 0);
  record->x = x;
  record->y = y;
  record->width = width;
  record->height = height;
  if (moved) SendMessage(window, WM_MOVE, 0, MAKELPARAM(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)));
  if (resized) {
    SendMessage(window, WM_SIZE, 0,
                MAKELPARAM(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)));
  }
  SendMessage(window, WM_WINDOWPOSCHANGED, 0, 0);
  if (repaint && (moved || resized)) InvalidateRect(window, nullptr, true);
  return true;
}

bool GetWindowRect(HWND window, RECT* rect) {
  const auto record = FindWindow(window);
  if (!record || !rect) return false;
  *rect = RECT{record->x, record->y, record->x + record->width, record->y + record->height};
  return true;
}

bool GetClientRect(HWND window, RECT* rect) {
  const auto record = FindWindow(window);
  if (!record || !rect) return false;
  *rect = RECT{0, 0, record->width, record->height};
  return true;
}

HWND SetFocus(HWND window) {
  auto& state = CurrentThread();
  const HWND previous = state.focus;
  if (window != kNoWindow) {
    const auto record = FindWindow(window);
    if (!record || record->destroying || !record->enabled || !record->visible) return kNoWindow;
  }
  if (window == previous) return previous;
  state.focus = window;
  if (previous != kNoWindow) SendMessage(previous, WM_KILLFOCUS, static_cast<WPARAM>(HandleValue(window)), 0);
  // A handler of WM_KILLFOCUS may have moved the focus again; only the window
  // that holds it is told it got it.
  if (window != kNoWindow && state.focus == window) {
    SendMessage(window, WM_SETFOCUS, static_cast<WPARAM>(HandleValue(previous)), 0);
  }
  return previous;
}

HWND GetFocus() { return CurrentThread().focus; }

bool InvalidateRect(HWND window, const RECT*, bool) {
  const auto record = FindWindow(window);
  if (!record) return false;
  if (!record->paintPending) {
    record->paintPending = true;
    CurrentThread().posted.push_back({window, WM_PAINT, 0, 0});
  }
  return true;
}

bool UpdateWindow(HWND window) {
  const auto record = FindWindow(window);
  if (!record) return false;
  if (record->paintPending) {
    record->paintPending = false;
    std::erase_if(CurrentThread().posted, [window](const detail::PostedMessage& posted) {
      return posted.window == window && posted.message == WM_PAINT;
    });
    SendMessage(window, WM_PAINT, 0, 0);
  }
  return true;
}

}  // namespace pixavue::platform
