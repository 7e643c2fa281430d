// Device contexts: the screen, windows (their retained surfaces) and memory
// contexts with a selected bitmap and palette.

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include "object_table.h"
#include "window_surfaces.h"

namespace pixavue::platform {
namespace {

// The nominal size of the screen, which has no pixels here.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kScreenDpi = 96;

gdi::DeviceContext* FindContext(const gdi::TableAccess& access, HDC dc) {
  return access.Find<gdi::DeviceContext>(HandleBits(dc));
}

// A bitmap sits in at most one memory context; the stock bitmap may sit in
// many at once, so it records none.
HGDIOBJ SelectBitmap(gdi::TableAccess& access, std::uintptr_t dcKey, gdi::DeviceContext& context,
                     gdi::Bitmap& bitmap, std::uintptr_t key) {
  if (context.kind != gdi::ContextKind::kMemory || bitmap.windowSurface) return HGDIOBJ{};
  const bool stock = access.IsStock(key);
  if (!stock && bitmap.selectedInto != 0 && bitmap.selectedInto != dcKey) return HGDIOBJ{};
  const std::uintptr_t previous = context.bitmap;
  gdi::Bitmap* old = access.Find<gdi::Bitmap>(previous);
  if (previous != key && old != nullptr && !access.IsStock(previous)) old->selectedInto = 0;
  if (!stock) bitmap.selectedInto = dcKey;
  context.bitmap = key;
  return HGDIOBJ{previous};
}

HGDIOBJ SelectPalette(gdi::TableAccess& access, gdi::DeviceContext& context, std::uintptr_t key) {
  if (access.Find<gdi::Palette>(key) == nullptr) return HGDIOBJ{};
  const std::uintptr_t previous = context.palette;
  context.palette = key;
  return HGDIOBJ{previous};
}

HDC AddContext(gdi::TableAccess& access, gdi::DeviceContext context) { return HDC{access.Add(std::move(context))}; }

}  // namespace

HDC GetDC(HWND window) {
  gdi::TableAccess access;
  gdi::DeviceContext context;
  context.palette = access.StockPalette();
  if (window == kNoWindow) return AddContext(access, context);
  context.kind = gdi::ContextKind::kWindow;
  context.window = window;
  context.bitmap = gdi::AcquireWindowSurface(access, window);
  if (context.bitmap == 0) return HDC{};
  const HDC dc = AddContext(access, context);
  if (dc == HDC{}) --access.Find<gdi::Bitmap>(context.bitmap)->windowContexts;
  return dc;
}

int ReleaseDC(HWND window, HDC dc) {
  gdi::TableAccess access;
  const gdi::DeviceContext* context = FindContext(access, dc);
  if (context == nullptr || context->kind == gdi::ContextKind::kMemory || context->window != window) return 0;
  if (gdi::Bitmap* surface = access.Find<gdi::Bitmap>(context->bitmap); surface != nullptr) --surface->windowContexts;
  access.Remove(HandleBits(dc));
  return 1;
}

HDC CreateCompatibleDC(HDC dc) {
  gdi::TableAccess access;
  if (dc != HDC{} && FindContext(access, dc) == nullptr) return HDC{};
  gdi::DeviceContext context;
  context.kind = gdi::ContextKind::kMemory;
  context.bitmap = access.StockBitmap();
  context.palette = access.StockPalette();
  return AddContext(access, context);
}

BOOL DeleteDC(HDC dc) {
  gdi::TableAccess access;
  const gdi::DeviceContext* context = FindContext(access, dc);
  if (context == nullptr || context->kind != gdi::ContextKind::kMemory) return 0;
  if (gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(context->bitmap); bitmap != nullptr) bitmap->selectedInto = 0;
  access.Remove(HandleBits(dc));
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  gdi::TableAccess access;
  gdi::DeviceContext* context = FindContext(access, dc);
  if (context == nullptr) return HGDIOBJ{};
  const std::uintptr_t key = HandleBits(object);
  if (gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(key); bitmap != nullptr) {
    return SelectBitmap(access, HandleBits(dc), *context, *bitmap, key);
  }
  return SelectPalette(access, *context, key);
}

int GetDeviceCaps(HDC dc, int index) {
  gdi::TableAccess access;
  const gdi::DeviceContext* context = FindContext(access, dc);
  if (context == nullptr) return 0;
  const gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(context->bitmap);
  const bool screen = context->kind == gdi::ContextKind::kScreen;
  switch (index) {
    case BITSPIXEL: return screen || bitmap == nullptr ? 32 : bitmap->format.bitCount;
    case PLANES: return 1;
    case LOGPIXELSX: case LOGPIXELSY: return kScreenDpi;
    case HORZRES: return screen || bitmap == nullptr ? kScreenWidth : bitmap->format.width;
    case VERTRES: return screen || bitmap == nullptr ? kScreenHeight : bitmap->format.height;
    default: return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  gdi::TableAccess access;
  const gdi::DeviceContext* context = FindContext(access, dc);
  if (context == nullptr) return HGDIOBJ{};
  if (type == OBJ_BITMAP) return HGDIOBJ{context->bitmap};
  if (type == OBJ_PAL) return HGDIOBJ{context->palette};
  return HGDIOBJ{};
}

HBITMAP SelectedBitmap(HDC dc) {
  gdi::TableAccess access;
  const gdi::DeviceContext* context = FindContext(access, dc);
  return context == nullptr ? HBITMAP{} : HBITMAP{context->bitmap};
}

}  // namespace pixavue::platform
