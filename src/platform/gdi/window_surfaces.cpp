// Retained surfaces of windows: one 32-bit top-down bitmap per window, sized
// to its client area when a context is taken. A surface is freed with its
// window (through the window layer's destroy observer) or by
// ReleaseWindowSurface; one still shown by an unreleased context is freed when
// a later call of the window's thread finds the window gone.

#include "window_surfaces.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>
#include <pixavue/platform/window/window.h>

namespace pixavue::platform {
namespace gdi {
namespace {

bool IsCallersSurface(const WindowSurfaceEntry& entry, HWND window) {
  return entry.window == window && entry.thread == std::this_thread::get_id();
}

std::vector<WindowSurfaceEntry>::iterator FindEntry(TableAccess& access, HWND window) {
  auto& surfaces = access.Surfaces();
  return std::find_if(surfaces.begin(), surfaces.end(),
                      [window](const WindowSurfaceEntry& entry) { return IsCallersSurface(entry, window); });
}

bool InUse(const TableAccess& access, const WindowSurfaceEntry& entry) {
  const Bitmap* bitmap = access.Find<Bitmap>(entry.bitmap);
  return bitmap != nullptr && bitmap->windowContexts > 0;
}

// Frees the surfaces of the calling thread's windows that are gone, unless a
// context still shows them.
void SweepDeadWindows(TableAccess& access) {
  auto& surfaces = access.Surfaces();
  std::erase_if(surfaces, [&access](const WindowSurfaceEntry& entry) {
    if (entry.thread != std::this_thread::get_id() || IsWindow(entry.window) || InUse(access, entry)) return false;
    access.Remove(entry.bitmap);
    return true;
  });
}

std::optional<DibFormat> SurfaceFormat(HWND window) {
  RECT client;
  if (!GetClientRect(window, &client)) return std::nullopt;
  // A context needs pixels, so an empty client area gets a 1 x 1 surface.
  const int width = std::max(1, static_cast<int>(client.right - client.left));
  const int height = std::max(1, static_cast<int>(client.bottom - client.top));
  return DefaultFormat(width, height, true, 32);
}

// New pixels of the new size, keeping the part both sizes share.
bool ResizeSurface(Bitmap& surface, const DibFormat& format) {
  std::optional<Bitmap> resized = NewBitmap(format);
  if (!resized) return false;
  const int rows = std::min(surface.format.height, format.height);
  const auto bytes = static_cast<std::size_t>(std::min(surface.format.Stride(), format.Stride()));
  for (int y = 0; y < rows; ++y) {
    std::memcpy(resized->pixels.get() + format.RowOffset(y), surface.pixels.get() + surface.format.RowOffset(y),
                bytes);
  }
  surface.pixels = std::move(resized->pixels);
  surface.format = format;
  return true;
}

void FreeSurfaceOfDestroyedWindow(HWND window) { ReleaseWindowSurface(window); }

}  // namespace

std::uintptr_t AcquireWindowSurface(TableAccess& access, HWND window) {
  static std::once_flag observing;
  std::call_once(observing, [] { AddWindowDestroyObserver(&FreeSurfaceOfDestroyedWindow); });
  SweepDeadWindows(access);
  if (!IsWindow(window)) return 0;
  const std::optional<DibFormat> format = SurfaceFormat(window);
  if (!format) return 0;
  const auto entry = FindEntry(access, window);
  if (entry != access.Surfaces().end()) {
    Bitmap* surface = access.Find<Bitmap>(entry->bitmap);
    const bool sameSize = surface->format.width == format->width && surface->format.height == format->height;
    if (!sameSize && !ResizeSurface(*surface, *format)) return 0;
    ++surface->windowContexts;
    return entry->bitmap;
  }
  std::optional<Bitmap> surface = NewBitmap(*format);
  if (!surface) return 0;
  surface->windowSurface = true;
  surface->windowContexts = 1;
  const std::uintptr_t key = access.Add(std::move(*surface));
  if (key == 0) return 0;
  try {
    access.Surfaces().push_back(WindowSurfaceEntry{window, std::this_thread::get_id(), key});
  } catch (const std::bad_alloc&) {
    access.Remove(key);
    return 0;
  }
  return key;
}

}  // namespace gdi

bool ReleaseWindowSurface(HWND window) {
  gdi::TableAccess access;
  const auto entry = gdi::FindEntry(access, window);
  if (entry == access.Surfaces().end() || gdi::InUse(access, *entry)) return false;
  access.Remove(entry->bitmap);
  access.Surfaces().erase(entry);
  return true;
}

HBITMAP WindowSurface(HWND window) {
  gdi::TableAccess access;
  gdi::SweepDeadWindows(access);
  const auto entry = gdi::FindEntry(access, window);
  return entry == access.Surfaces().end() ? HBITMAP{} : HBITMAP{entry->bitmap};
}

}  // namespace pixavue::platform
