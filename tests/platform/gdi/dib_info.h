#pragma once
// A BITMAPINFO with room for a full colour table (or the three bit-field
// masks), for tests that describe DIBs to the graphics and imaging layers.

#include <pixavue/platform/gdi/gdi_types.h>

#include <cstdint>
#include <cstring>

namespace pixavue::platform::test_dib {

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];

  DibInfo(int width, int height, int bitCount, DWORD compression = BI_RGB) {
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biCompression = compression;
  }
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
  DWORD* masks() { return reinterpret_cast<DWORD*>(colors); }
  void SetMasks(DWORD red, DWORD green, DWORD blue) {
    const DWORD values[3] = {red, green, blue};
    std::memcpy(colors, values, sizeof values);
  }
};

}  // namespace pixavue::platform::test_dib
