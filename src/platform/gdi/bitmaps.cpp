// Creation of bitmaps and DIB sections, and the pixel view the imaging
// layer reads them through.

#include <cstring>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

#include "object_table.h"

namespace pixavue::platform {
namespace {

HBITMAP AddBitmap(gdi::TableAccess& access, std::optional<gdi::Bitmap>&& bitmap) {
  if (!bitmap) return HBITMAP{};
  return HBITMAP{access.Add(std::move(*bitmap))};
}

// Copies top-down rows padded to 2 bytes into the bitmap.
void CopyWordAlignedRows(const void* bits, gdi::Bitmap& bitmap) {
  const gdi::DibFormat& format = bitmap.format;
  const std::size_t sourceStride = gdi::PaddedRowBytes(format.width, format.bitCount, 2);
  const std::size_t rowBytes = gdi::PaddedRowBytes(format.width, format.bitCount, 1);
  const auto* source = static_cast<const std::uint8_t*>(bits);
  for (int y = 0; y < format.height; ++y) {
    std::memcpy(bitmap.pixels.get() + format.RowOffset(y), source + static_cast<std::size_t>(y) * sourceStride,
                rowBytes);
  }
}

bool IsMonochromeMemoryContext(const gdi::TableAccess& access, HDC dc) {
  const gdi::DeviceContext* context = access.Find<gdi::DeviceContext>(HandleBits(dc));
  if (context == nullptr || context->kind != gdi::ContextKind::kMemory) return false;
  const gdi::Bitmap* selected = access.Find<gdi::Bitmap>(context->bitmap);
  return selected != nullptr && selected->format.bitCount == 1;
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || bitsPerPixel > 32) return HBITMAP{};
  const std::optional<gdi::DibFormat> format =
      gdi::DefaultFormat(width, height, true, static_cast<int>(bitsPerPixel));
  if (!format) return HBITMAP{};
  std::optional<gdi::Bitmap> bitmap = gdi::NewBitmap(*format);
  if (bitmap && bits != nullptr) CopyWordAlignedRows(bits, *bitmap);
  gdi::TableAccess access;
  return AddBitmap(access, std::move(bitmap));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  gdi::TableAccess access;
  if (access.Find<gdi::DeviceContext>(HandleBits(dc)) == nullptr) return HBITMAP{};
  const int bitCount = IsMonochromeMemoryContext(access, dc) ? 1 : 32;
  const std::optional<gdi::DibFormat> format = gdi::DefaultFormat(width, height, true, bitCount);
  if (!format) return HBITMAP{};
  return AddBitmap(access, gdi::NewBitmap(*format));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, std::uintptr_t section,
                         DWORD offset) {
  if (bits != nullptr) *bits = nullptr;
  const std::optional<gdi::DibFormat> format = gdi::FormatFromInfo(info, usage);
  if (!format) return HBITMAP{};
  gdi::TableAccess access;
  if (dc != HDC{} && access.Find<gdi::DeviceContext>(HandleBits(dc)) == nullptr) return HBITMAP{};
  std::optional<gdi::Bitmap> bitmap = gdi::NewBitmap(*format);
  if (!bitmap) return HBITMAP{};
  bitmap->dibSection = true;
  bitmap->section = section;
  bitmap->sectionOffset = offset;
  std::uint8_t* pixels = bitmap->pixels.get();
  const HBITMAP handle = AddBitmap(access, std::move(bitmap));
  if (handle != HBITMAP{} && bits != nullptr) *bits = pixels;
  return handle;
}

std::optional<GdiPixels> BitmapPixels(HBITMAP handle) {
  gdi::TableAccess access;
  const gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(HandleBits(handle));
  if (bitmap == nullptr) return std::nullopt;
  const gdi::DibFormat& format = bitmap->format;
  GdiPixels pixels;
  pixels.bits = bitmap->pixels.get();
  pixels.width = format.width;
  pixels.height = format.height;
  pixels.stride = format.Stride();
  pixels.bottomUp = !format.topDown;
  pixels.bitsPerPixel = format.bitCount;
  pixels.compression = format.compression;
  std::memcpy(pixels.masks, format.masks, sizeof pixels.masks);
  pixels.colors = format.colors;
  return pixels;
}

}  // namespace pixavue::platform
