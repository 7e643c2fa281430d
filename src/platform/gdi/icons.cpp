// Icons and cursors: copies of a mask bitmap and an optional colour bitmap.

#include <pixavue/platform/gdi/gdi.h>

#include "object_table.h"

namespace pixavue::platform {
namespace {

// A colour icon's bitmaps are the same size; a monochrome icon's mask holds
// the AND mask above the XOR mask, so its height is even.
bool AreIconBitmaps(const gdi::Bitmap& mask, const gdi::Bitmap* color) {
  if (color == nullptr) return mask.format.height % 2 == 0;
  return mask.format.width == color->format.width && mask.format.height == color->format.height;
}

// A copy the caller owns: a plain bitmap, selected nowhere.
HBITMAP AddCopy(gdi::TableAccess& access, const gdi::Bitmap& bitmap) {
  std::optional<gdi::Bitmap> copy = gdi::CopyBitmap(bitmap);
  return copy ? HBITMAP{access.Add(std::move(*copy))} : HBITMAP{};
}

}  // namespace

HICON CreateIconIndirect(const ICONINFO* info) {
  if (info == nullptr) return HICON{};
  gdi::TableAccess access;
  const gdi::Bitmap* mask = access.Find<gdi::Bitmap>(HandleBits(info->hbmMask));
  const gdi::Bitmap* color = access.Find<gdi::Bitmap>(HandleBits(info->hbmColor));
  if (mask == nullptr || (info->hbmColor != HBITMAP{} && color == nullptr) || !AreIconBitmaps(*mask, color)) {
    return HICON{};
  }
  gdi::Icon icon;
  icon.info = *info;
  std::optional<gdi::Bitmap> maskCopy = gdi::CopyBitmap(*mask);
  if (!maskCopy) return HICON{};
  icon.mask = std::move(*maskCopy);
  if (color != nullptr) {
    icon.color = gdi::CopyBitmap(*color);
    if (!icon.color) return HICON{};
  }
  return HICON{access.Add(std::move(icon))};
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  if (info == nullptr) return 0;
  gdi::TableAccess access;
  const gdi::Icon* icon = access.Find<gdi::Icon>(HandleBits(handle));
  if (icon == nullptr) return 0;
  const HBITMAP mask = AddCopy(access, icon->mask);
  if (mask == HBITMAP{}) return 0;
  HBITMAP color{};
  if (icon->color) {
    color = AddCopy(access, *icon->color);
    if (color == HBITMAP{}) {
      access.Remove(HandleBits(mask));
      return 0;
    }
  }
  *info = icon->info;
  info->hbmMask = mask;
  info->hbmColor = color;
  return 1;
}

BOOL DestroyIcon(HICON handle) {
  gdi::TableAccess access;
  if (access.Find<gdi::Icon>(HandleBits(handle)) == nullptr) return 0;
  access.Remove(HandleBits(handle));
  return 1;
}

}  // namespace pixavue::platform
