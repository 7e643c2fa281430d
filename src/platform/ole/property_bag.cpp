#include <pixavue/platform/ole/property_bag.h>

#include <new>
#include <optional>
#include <utility>

#include <pixavue/platform/ole/variant_conversion.h>

namespace pixavue::platform {
namespace {

template <class T, class Convert>
T ReadConverted(PropertyBag& bag, std::string_view name, T defaultValue, Convert convert) noexcept {
  Variant stored;
  if (FAILED(bag.Read(name, stored))) return defaultValue;
  std::optional<T> converted = convert(stored);
  return converted ? std::move(*converted) : std::move(defaultValue);
}

// A value equal to its default is not stored, and an older value under the
// name must go, or a later read would return it instead of the default.
HRESULT RemoveStoredValue(PropertyBag& bag, std::string_view name) noexcept {
  const HRESULT status = bag.Remove(name);
  return FAILED(status) ? status : S_OK;
}

HRESULT WriteUnlessDefault(PropertyBag& bag, std::string_view name, const Variant& value,
                           const Variant& defaultValue) noexcept {
  return value == defaultValue ? RemoveStoredValue(bag, name) : bag.Write(name, value);
}

}  // namespace

HRESULT CheckStorableProperty(std::string_view name, const Variant& value) noexcept {
  if (name.empty() || name.size() > kMaxPropertyNameBytes || value.Type() == VT_EMPTY) return E_INVALIDARG;
  const auto* text = std::get_if<std::string>(&value.Get());
  if (text != nullptr && text->size() > kMaxPropertyStringBytes) return E_INVALIDARG;
  return S_OK;
}

bool ReadProperty(PropertyBag& bag, std::string_view name, bool defaultValue) noexcept {
  return ReadConverted(bag, name, defaultValue, VariantToBool);
}

std::int16_t ReadProperty(PropertyBag& bag, std::string_view name, std::int16_t defaultValue) noexcept {
  return ReadConverted(bag, name, defaultValue, VariantToInt16);
}

std::int32_t ReadProperty(PropertyBag& bag, std::string_view name, std::int32_t defaultValue) noexcept {
  return ReadConverted(bag, name, defaultValue, VariantToInt32);
}

float ReadProperty(PropertyBag& bag, std::string_view name, float defaultValue) noexcept {
  return ReadConverted(bag, name, defaultValue, VariantToFloat);
}

double ReadProperty(PropertyBag& bag, std::string_view name, double defaultValue) noexcept {
  return ReadConverted(bag, name, defaultValue, VariantToDouble);
}

std::string ReadProperty(PropertyBag& bag, std::string_view name, std::string defaultValue) noexcept {
  return ReadConverted(bag, name, std::move(defaultValue), VariantToString);
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, bool value, bool defaultValue) noexcept {
  return WriteUnlessDefault(bag, name, Variant::FromBool(value), Variant::FromBool(defaultValue));
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, std::int16_t value,
                      std::int16_t defaultValue) noexcept {
  return WriteUnlessDefault(bag, name, Variant::FromInt16(value), Variant::FromInt16(defaultValue));
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, std::int32_t value,
                      std::int32_t defaultValue) noexcept {
  return WriteUnlessDefault(bag, name, Variant::FromInt32(value), Variant::FromInt32(defaultValue));
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, float value, float defaultValue) noexcept {
  return WriteUnlessDefault(bag, name, Variant::FromFloat(value), Variant::FromFloat(defaultValue));
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, double value, double defaultValue) noexcept {
  return WriteUnlessDefault(bag, name, Variant::FromDouble(value), Variant::FromDouble(defaultValue));
}

HRESULT WriteProperty(PropertyBag& bag, std::string_view name, const std::string& value,
                      const std::string& defaultValue) noexcept {
  if (value == defaultValue) return RemoveStoredValue(bag, name);
  try {
    return bag.Write(name, Variant::FromString(value));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace pixavue::platform
