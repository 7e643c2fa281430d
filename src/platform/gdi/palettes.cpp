// Logical palettes.

#include <algorithm>
#include <new>

#include <pixavue/platform/gdi/gdi.h>

#include "object_table.h"

namespace pixavue::platform {

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palVersion != 0x300 || palette->palNumEntries == 0) return HPALETTE{};
  gdi::Palette created;
  try {
    created.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  } catch (const std::bad_alloc&) {
    return HPALETTE{};
  }
  gdi::TableAccess access;
  return HPALETTE{access.Add(std::move(created))};
}

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, PALETTEENTRY* entries) {
  gdi::TableAccess access;
  const gdi::Palette* palette = access.Find<gdi::Palette>(HandleBits(handle));
  if (palette == nullptr) return 0;
  const auto size = static_cast<UINT>(palette->entries.size());
  if (entries == nullptr) return size;
  if (start >= size) return 0;
  const UINT copied = std::min(count, size - start);
  std::copy_n(palette->entries.begin() + start, copied, entries);
  return copied;
}

}  // namespace pixavue::platform
