#pragma once
// Direct access to the pixels of a bitmap of the graphics table, for the
// imaging layer, which converts between bitmap handles and its own images.

#include <optional>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>

namespace pixavue::platform {

struct GdiPixels {
  BYTE* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes, > 0
  bool bottomUp = false;
  int bitsPerPixel = 0;
  DWORD compression = BI_RGB;  // BI_RGB or BI_BITFIELDS
  DWORD masks[3] = {};         // red, green, blue: set for 16 and 32 bits
  std::vector<RGBQUAD> colors;  // the colour table of 1, 4 and 8 bits
};

// The bitmap's pixels: row y of the image is
// bits + (bottomUp ? height - 1 - y : y) * stride. The pointer stays valid
// until the bitmap is deleted (or, for a window surface, resized by GetDC).
// nullopt for a handle that is not a bitmap.
std::optional<GdiPixels> BitmapPixels(HBITMAP bitmap);
// The bitmap selected into a context; 0 for the screen context or an
// unknown handle.
HBITMAP SelectedBitmap(HDC dc);
// The retained surface of a window, 0 when it has none (yet).
HBITMAP WindowSurface(HWND window);

}  // namespace pixavue::platform
