#pragma once
// A property bag held in memory. Properties keep the order in which their
// names were first written; writing an existing name replaces the value in
// place.

#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pixavue/platform/ole/property_bag.h>

namespace pixavue::platform {

struct Property {
  std::string name;
  Variant value;
};

class MemoryPropertyBag final : public PropertyBag {
 public:
  MemoryPropertyBag() = default;
  MemoryPropertyBag(MemoryPropertyBag&&) noexcept = default;
  MemoryPropertyBag& operator=(MemoryPropertyBag&&) noexcept = default;
  MemoryPropertyBag(const MemoryPropertyBag&) = delete;
  MemoryPropertyBag& operator=(const MemoryPropertyBag&) = delete;
  ~MemoryPropertyBag() override = default;

  HRESULT Read(std::string_view name, Variant& value) noexcept override;
  HRESULT Write(std::string_view name, const Variant& value) noexcept override;
  HRESULT Remove(std::string_view name) noexcept override;

  bool Contains(std::string_view name) const noexcept;
  std::size_t Count() const noexcept { return properties_.size(); }
  void Clear() noexcept;

  // The properties in write order.
  const std::list<Property>& Properties() const noexcept { return properties_; }
  // The names in write order; E_OUTOFMEMORY leaves names empty.
  HRESULT Names(std::vector<std::string>& names) const noexcept;

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
  };
  using Index = std::unordered_map<std::string, std::list<Property>::iterator, NameHash, std::equal_to<>>;

  std::list<Property> properties_;
  Index index_;  // list iterators stay valid when the bag is moved
};

}  // namespace pixavue::platform
