#include "property_store.h"

#include <algorithm>
#include <cstring>

#include <pixavue/platform/gdiplus/property_tags.h>

namespace pixavue::platform::gdiplus {

namespace {
template <typename T>
std::vector<std::uint8_t> BytesOf(std::span<const T> values) {
  std::vector<std::uint8_t> bytes(values.size_bytes());
  if (!bytes.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}
}  // namespace

void PropertyStore::Set(PROPID id, WORD type, std::span<const std::uint8_t> value) {
  StoredProperty item{id, type, std::vector<std::uint8_t>(value.begin(), value.end())};
  auto found = std::find_if(items_.begin(), items_.end(), [id](const StoredProperty& p) { return p.id == id; });
  if (found != items_.end()) {
    *found = std::move(item);
  } else {
    items_.push_back(std::move(item));
  }
}

void PropertyStore::SetAscii(PROPID id, std::string_view text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  Set(id, PropertyTagTypeASCII, bytes);
}

void PropertyStore::SetShorts(PROPID id, std::span<const std::uint16_t> values) {
  Set(id, PropertyTagTypeShort, BytesOf(values));
}

void PropertyStore::SetLongs(PROPID id, std::span<const std::uint32_t> values) {
  Set(id, PropertyTagTypeLong, BytesOf(values));
}

void PropertyStore::SetRationals(PROPID id, std::span<const std::uint32_t> pairs) {
  Set(id, PropertyTagTypeRational, BytesOf(pairs));
}

bool PropertyStore::Remove(PROPID id) {
  auto found = std::find_if(items_.begin(), items_.end(), [id](const StoredProperty& p) { return p.id == id; });
  if (found == items_.end()) return false;
  items_.erase(found);
  return true;
}

const StoredProperty* PropertyStore::Find(PROPID id) const {
  auto found = std::find_if(items_.begin(), items_.end(), [id](const StoredProperty& p) { return p.id == id; });
  return found == items_.end() ? nullptr : &*found;
}

}  // namespace pixavue::platform::gdiplus
