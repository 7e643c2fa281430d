// Questions every kind of object answers: its type, its description, its
// deletion, and how many objects live.

#include <cstring>

#include <pixavue/platform/gdi/gdi.h>

#include "object_table.h"

namespace pixavue::platform {
namespace {

// Bitmaps made with CreateBitmap report rows padded to 2 bytes, as their
// bits are passed in; DIB sections report their real stride.
BITMAP DescribeBitmap(const gdi::Bitmap& bitmap) {
  const gdi::DibFormat& format = bitmap.format;
  BITMAP description;
  description.bmWidth = format.width;
  description.bmHeight = format.height;
  description.bmWidthBytes = bitmap.dibSection
                                 ? format.Stride()
                                 : static_cast<LONG>(gdi::PaddedRowBytes(format.width, format.bitCount, 2));
  description.bmPlanes = 1;
  description.bmBitsPixel = static_cast<std::uint16_t>(format.bitCount);
  description.bmBits = bitmap.dibSection ? bitmap.pixels.get() : nullptr;
  return description;
}

DIBSECTION DescribeSection(const gdi::Bitmap& bitmap) {
  DIBSECTION section;
  section.dsBm = DescribeBitmap(bitmap);
  section.dsBmih = bitmap.format.Header();
  std::memcpy(section.dsBitfields, bitmap.format.masks, sizeof section.dsBitfields);
  section.dshSection = bitmap.section;
  section.dsOffset = bitmap.sectionOffset;
  return section;
}

template <class Description>
int WriteDescription(const Description& description, int size, void* out) {
  if (out == nullptr) return static_cast<int>(sizeof description);
  if (size < static_cast<int>(sizeof description)) return 0;
  std::memcpy(out, &description, sizeof description);
  return static_cast<int>(sizeof description);
}

int GetBitmapObject(const gdi::Bitmap& bitmap, int size, void* out) {
  if (bitmap.dibSection && (out == nullptr || size >= static_cast<int>(sizeof(DIBSECTION)))) {
    return WriteDescription(DescribeSection(bitmap), size, out);
  }
  return WriteDescription(DescribeBitmap(bitmap), size, out);
}

bool DeleteBitmap(gdi::TableAccess& access, std::uintptr_t key) {
  const gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(key);
  if (bitmap->selectedInto != 0 || bitmap->windowSurface) return false;
  access.Remove(key);
  return true;
}

}  // namespace

int GetObject(HGDIOBJ object, int size, void* out) {
  gdi::TableAccess access;
  const std::uintptr_t key = HandleBits(object);
  if (const gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(key); bitmap != nullptr) {
    return GetBitmapObject(*bitmap, size, out);
  }
  if (const gdi::Palette* palette = access.Find<gdi::Palette>(key); palette != nullptr) {
    return WriteDescription(static_cast<std::uint16_t>(palette->entries.size()), size, out);
  }
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  gdi::TableAccess access;
  const gdi::Object* found = access.FindAny(HandleBits(object));
  if (found == nullptr) return 0;
  if (std::holds_alternative<gdi::Bitmap>(*found)) return OBJ_BITMAP;
  if (std::holds_alternative<gdi::Palette>(*found)) return OBJ_PAL;
  if (const auto* metafile = std::get_if<gdi::Metafile>(found)) {
    return metafile->enhanced ? OBJ_ENHMETAFILE : OBJ_METAFILE;
  }
  if (const auto* context = std::get_if<gdi::DeviceContext>(found)) {
    return context->kind == gdi::ContextKind::kMemory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

BOOL DeleteObject(HGDIOBJ object) {
  gdi::TableAccess access;
  const std::uintptr_t key = HandleBits(object);
  const gdi::Object* found = access.FindAny(key);
  if (found == nullptr || access.IsStock(key)) return 0;
  if (std::holds_alternative<gdi::Bitmap>(*found)) return DeleteBitmap(access, key) ? 1 : 0;
  if (!std::holds_alternative<gdi::Palette>(*found) && !std::holds_alternative<gdi::Metafile>(*found)) return 0;
  access.Remove(key);
  return 1;
}

std::size_t GdiObjectCount() {
  gdi::TableAccess access;
  return access.Count();
}

}  // namespace pixavue::platform
