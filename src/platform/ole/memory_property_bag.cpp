#include <pixavue/platform/ole/memory_property_bag.h>

#include <iterator>
#include <new>
#include <utility>

namespace pixavue::platform {

HRESULT MemoryPropertyBag::Read(std::string_view name, Variant& value) noexcept {
  value = Variant();
  const auto found = index_.find(name);
  if (found == index_.end()) return E_INVALIDARG;
  try {
    Variant copy = found->second->value;  // copy first: a failed copy changes nothing
    value = std::move(copy);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT MemoryPropertyBag::Write(std::string_view name, const Variant& value) noexcept {
  if (const HRESULT status = CheckStorableProperty(name, value); FAILED(status)) return status;
  try {
    if (const auto found = index_.find(name); found != index_.end()) {
      Variant copy = value;  // copy first: a failed copy keeps the old value
      found->second->value = std::move(copy);
      return S_OK;
    }
    properties_.push_back(Property{std::string(name), value});
    try {
      index_.emplace(properties_.back().name, std::prev(properties_.end()));
    } catch (...) {
      properties_.pop_back();
      throw;
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT MemoryPropertyBag::Remove(std::string_view name) noexcept {
  const auto found = index_.find(name);
  if (found == index_.end()) return S_FALSE;
  properties_.erase(found->second);
  index_.erase(found);
  return S_OK;
}

bool MemoryPropertyBag::Contains(std::string_view name) const noexcept { return index_.contains(name); }

void MemoryPropertyBag::Clear() noexcept {
  index_.clear();
  properties_.clear();
}

HRESULT MemoryPropertyBag::Names(std::vector<std::string>& names) const noexcept {
  names.clear();
  try {
    names.reserve(properties_.size());
    for (const Property& property : properties_) names.push_back(property.name);
    return S_OK;
  } catch (const std::bad_alloc&) {
    names.clear();
    return E_OUTOFMEMORY;
  }
}

}  // namespace pixavue::platform
