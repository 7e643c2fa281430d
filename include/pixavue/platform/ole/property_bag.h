#pragma once
// PropertyBag: the store a container keeps a control's persisted properties
// in, by name. Names compare exactly (case matters).
//
// Every bag refuses, with E_INVALIDARG: an empty name or one longer than
// kMaxPropertyNameBytes, an empty Variant, and a string value longer than
// kMaxPropertyStringBytes. A bag may refuse more (see FilePropertyBag).
//
// ReadProperty and WriteProperty are the helpers a control uses: each
// property has a default, and only values that differ from it are stored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/variant.h>

namespace pixavue::platform {

inline constexpr std::size_t kMaxPropertyNameBytes = 255;
inline constexpr std::size_t kMaxPropertyStringBytes = 1 << 20;

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // S_OK with the stored value; E_INVALIDARG when no property has that name
  // (value becomes empty then), as COM property bags answer.
  virtual HRESULT Read(std::string_view name, Variant& value) noexcept = 0;

  // Stores the value under name, replacing an earlier value.
  virtual HRESULT Write(std::string_view name, const Variant& value) noexcept = 0;

  // S_OK when a property was removed, S_FALSE when there was none.
  virtual HRESULT Remove(std::string_view name) noexcept = 0;

 protected:
  PropertyBag() = default;
  PropertyBag(const PropertyBag&) = default;
  PropertyBag(PropertyBag&&) = default;
  PropertyBag& operator=(const PropertyBag&) = default;
  PropertyBag& operator=(PropertyBag&&) = default;
};

// S_OK, or E_INVALIDARG for a name or value that no bag stores.
HRESULT CheckStorableProperty(std::string_view name, const Variant& value) noexcept;

// The stored value converted to the default's type (see variant_conversion.h);
// the default when the property is absent or does not convert without loss.
bool ReadProperty(PropertyBag& bag, std::string_view name, bool defaultValue) noexcept;
std::int16_t ReadProperty(PropertyBag& bag, std::string_view name, std::int16_t defaultValue) noexcept;
std::int32_t ReadProperty(PropertyBag& bag, std::string_view name, std::int32_t defaultValue) noexcept;
float ReadProperty(PropertyBag& bag, std::string_view name, float defaultValue) noexcept;
double ReadProperty(PropertyBag& bag, std::string_view name, double defaultValue) noexcept;
std::string ReadProperty(PropertyBag& bag, std::string_view name, std::string defaultValue) noexcept;
// A string literal would silently pick the bool overload; pass std::string.
void ReadProperty(PropertyBag& bag, std::string_view name, const char* defaultValue) = delete;

// Stores value, or, when it equals defaultValue, removes the property so that
// a later read gives the default rather than an older value. Floating values
// compare by their bits (as Variant does): -0.0 is stored when the default is
// 0.0, so every value reads back exactly as written.
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, bool value, bool defaultValue) noexcept;
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, std::int16_t value, std::int16_t defaultValue) noexcept;
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, std::int32_t value, std::int32_t defaultValue) noexcept;
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, float value, float defaultValue) noexcept;
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, double value, double defaultValue) noexcept;
HRESULT WriteProperty(PropertyBag& bag, std::string_view name, const std::string& value,
                      const std::string& defaultValue) noexcept;
void WriteProperty(PropertyBag& bag, std::string_view name, const char* value, const char* defaultValue) = delete;

}  // namespace pixavue::platform
