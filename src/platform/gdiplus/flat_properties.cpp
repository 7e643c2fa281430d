// Property items: listing, reading into caller blocks, setting, removing.

#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "image.h"
#include "session.h"

namespace pixavue::platform {
namespace {

UINT32 ItemBytes(const gdiplus::StoredProperty& item) {
  return static_cast<UINT32>(sizeof(PropertyItem) + item.value.size());
}

// Fills `item` header and copies the value to `valueAt`.
void PlaceItem(const gdiplus::StoredProperty& stored, PropertyItem& item, std::uint8_t* valueAt) {
  item.id = stored.id;
  item.length = static_cast<GDIP_ULONG>(stored.value.size());
  item.type = stored.type;
  item.value = stored.value.empty() ? nullptr : valueAt;
  if (!stored.value.empty()) std::memcpy(valueAt, stored.value.data(), stored.value.size());
}

}  // namespace

GpStatus GdipGetPropertyCount(GpImage* image, UINT32* numOfProperty) {
  GpStatus status = numOfProperty == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status == Ok) *numOfProperty = static_cast<UINT32>(image->properties.size());
  return status;
}

GpStatus GdipGetPropertyIdList(GpImage* image, UINT32 numOfProperty, PROPID* list) {
  GpStatus status = list == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  const auto& items = image->properties.items();
  if (numOfProperty != items.size()) return InvalidParameter;
  for (std::size_t i = 0; i < items.size(); ++i) list[i] = items[i].id;
  return Ok;
}

GpStatus GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT32* size) {
  GpStatus status = size == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  const gdiplus::StoredProperty* item = image->properties.Find(propId);
  if (item == nullptr) return PropertyNotFound;
  *size = ItemBytes(*item);
  return Ok;
}

GpStatus GdipGetPropertyItem(GpImage* image, PROPID propId, UINT32 propSize, PropertyItem* buffer) {
  GpStatus status = buffer == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  const gdiplus::StoredProperty* item = image->properties.Find(propId);
  if (item == nullptr) return PropertyNotFound;
  if (propSize != ItemBytes(*item)) return InvalidParameter;
  PlaceItem(*item, *buffer, reinterpret_cast<std::uint8_t*>(buffer + 1));
  return Ok;
}

GpStatus GdipGetPropertySize(GpImage* image, UINT32* totalBufferSize, UINT32* numProperties) {
  GpStatus status =
      totalBufferSize == nullptr || numProperties == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  UINT32 total = 0;
  for (const auto& item : image->properties.items()) total += ItemBytes(item);
  *totalBufferSize = total;
  *numProperties = static_cast<UINT32>(image->properties.size());
  return Ok;
}

GpStatus GdipGetAllPropertyItems(GpImage* image, UINT32 totalBufferSize, UINT32 numProperties,
                                 PropertyItem* allItems) {
  GpStatus status = allItems == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  const auto& items = image->properties.items();
  UINT32 total = 0;
  for (const auto& item : items) total += ItemBytes(item);
  if (numProperties != items.size() || totalBufferSize != total) return InvalidParameter;
  auto* values = reinterpret_cast<std::uint8_t*>(allItems + items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    PlaceItem(items[i], allItems[i], values);
    values += items[i].value.size();
  }
  return Ok;
}

GpStatus GdipSetPropertyItem(GpImage* image, const PropertyItem* item) {
  GpStatus status = item == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (image->type != ImageTypeBitmap) return PropertyNotSupported;
  if (item->length > 0 && item->value == nullptr) return InvalidParameter;
  const auto* bytes = static_cast<const std::uint8_t*>(item->value);
  image->properties.Set(item->id, item->type, std::span<const std::uint8_t>(bytes, item->length));
  return Ok;
}

GpStatus GdipRemovePropertyItem(GpImage* image, PROPID propId) {
  GpStatus status = gdiplus::CheckImage(image);
  if (status != Ok) return status;
  return image->properties.Remove(propId) ? Ok : PropertyNotFound;
}

}  // namespace pixavue::platform
