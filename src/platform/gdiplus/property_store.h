#pragma once
// The property items of an image: id, type and value bytes in the
// machine's byte order, kept in the order they were added.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

struct StoredProperty final {
  PROPID id = 0;
  WORD type = 0;
  std::vector<std::uint8_t> value;
};

class PropertyStore final {
 public:
  // Replaces an item with the same id, else appends.
  void Set(PROPID id, WORD type, std::span<const std::uint8_t> value);
  void SetAscii(PROPID id, std::string_view text);  // stored with its terminating zero
  void SetShorts(PROPID id, std::span<const std::uint16_t> values);
  void SetLongs(PROPID id, std::span<const std::uint32_t> values);
  // Rationals as numerator, denominator pairs.
  void SetRationals(PROPID id, std::span<const std::uint32_t> pairs);
  bool Remove(PROPID id);
  void Clear() { items_.clear(); }

  const StoredProperty* Find(PROPID id) const;
  const std::vector<StoredProperty>& items() const { return items_; }
  std::size_t size() const { return items_.size(); }

 private:
  std::vector<StoredProperty> items_;
};

}  // namespace pixavue::platform::gdiplus
