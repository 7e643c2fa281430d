#pragma once
// Windows: a per-thread table of window records, each with a window procedure
// that can be replaced and chained, messages sent synchronously, enabled and
// visible state, geometry, focus, and destruction (WM_DESTROY, then the
// children, then WM_NCDESTROY). A handle that is not in the calling thread's
// table is rejected by every function, never dereferenced.

#include <pixavue/platform/window/types.h>

#include <cstddef>
#include <string>

namespace pixavue::platform {

struct WindowCreateInfo {
  HWND parent = kNoWindow;
  WNDPROC procedure = nullptr;  // nullptr means DefWindowProc
  std::string className;        // free text, for diagnostics
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool visible = true;
  bool enabled = true;
  LONG_PTR userData = 0;  // readable with GWLP_USERDATA, also during WM_CREATE
  LONG_PTR id = 0;        // readable with GWL_ID
};

// Creates a window and sends it WM_CREATE; a procedure answering -1 to
// WM_CREATE refuses the creation (the window is destroyed and kNoWindow
// returned). A parent that is not a live window also gives kNoWindow.
HWND CreateWindow(const WindowCreateInfo& info);

// Sends WM_DESTROY to the window, destroys its children the same way, then
// sends WM_NCDESTROY; timers and posted messages of the window go with it.
// A second call on a window being destroyed does nothing and returns false.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

// Functions called on the destroying thread for each window destroyed, after
// its WM_NCDESTROY, when the handle is no longer live: lower layers that keep
// resources per window (the graphics layer's retained surfaces) free them
// here. Adding the same function again has no further effect.
using WindowDestroyObserver = void (*)(HWND window);
void AddWindowDestroyObserver(WindowDestroyObserver observer);
HWND GetParent(HWND window);
std::size_t WindowCount();  // live windows of the calling thread

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's current procedure at once; 0 for a handle not in the table.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// GWL_WNDPROC replaces the procedure and returns the previous one (a null
// procedure is refused with 0). GWLP_USERDATA and GWL_ID store any value,
// GWL_STYLE sets WS_VISIBLE and WS_DISABLED without notifications.
// GWL_HWNDPARENT is read-only here. Unknown indices and handles give 0.
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND window, int index);
inline LONG_PTR SetWindowLong(HWND window, int index, LONG_PTR value) {
  return SetWindowLongPtr(window, index, value);
}
inline LONG_PTR GetWindowLong(HWND window, int index) { return GetWindowLongPtr(window, index); }

// Typed forms of the GWL_WNDPROC exchange.
WNDPROC SubclassWindow(HWND window, WNDPROC procedure);  // returns the previous procedure
WNDPROC GetWindowProc(HWND window);
LONG_PTR ProcToLongPtr(WNDPROC procedure);
WNDPROC LongPtrToProc(LONG_PTR value);

// Returns whether the window was disabled before; sends WM_ENABLE on change.
// Disabling the window that holds the focus (or a parent of it) takes the focus away.
bool EnableWindow(HWND window, bool enable);
bool IsWindowEnabled(HWND window);

// SW_HIDE or SW_SHOW; returns whether the window was visible before and sends
// WM_SHOWWINDOW on change. Hiding the focused window takes the focus away.
bool ShowWindow(HWND window, int command);
bool IsWindowVisible(HWND window);

// Position relative to the parent and size; negative sizes count as 0.
// Sends WM_WINDOWPOSCHANGING, then WM_MOVE and WM_SIZE for what changed,
// then WM_WINDOWPOSCHANGED.
bool MoveWindow(HWND window, int x, int y, int width, int height, bool repaint = true);
bool GetWindowRect(HWND window, RECT* rect);  // in the parent's coordinates
bool GetClientRect(HWND window, RECT* rect);  // (0, 0, width, height)

// Gives the keyboard focus to a live, enabled and visible window (kNoWindow
// clears it). The window losing the focus gets WM_KILLFOCUS (wParam: the new
// one), then the new one WM_SETFOCUS (wParam: the old one). Returns the
// previous focus window, or kNoWindow when the request was refused.
HWND SetFocus(HWND window);
HWND GetFocus();

// Marks the window for repainting: one WM_PAINT is posted however often it is
// invalidated before the paint is dispatched. UpdateWindow sends a pending
// WM_PAINT at once.
bool InvalidateRect(HWND window, const RECT* rect, bool erase);
bool UpdateWindow(HWND window);

}  // namespace pixavue::platform
