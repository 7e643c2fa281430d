#pragma once
// Variant: the value of one persisted property. It holds exactly one of the
// types a property bag stores, tagged with its Windows VARTYPE number.
// Booleans are 16-bit, -1 for true and 0 for false, as in COM.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace pixavue::platform {

using VARTYPE = std::uint16_t;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R4 = 4;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_BOOL = 11;

using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// A 16-bit boolean, kept apart from a 16-bit integer. Holds only
// VARIANT_TRUE or VARIANT_FALSE.
struct VariantBool {
  VARIANT_BOOL value = VARIANT_FALSE;
  friend bool operator==(const VariantBool&, const VariantBool&) = default;
};

class Variant final {
 public:
  // The alternatives, in the order Type() maps to VARTYPE numbers; strings
  // are UTF-8.
  using Value = std::variant<std::monostate, VariantBool, std::int16_t, std::int32_t, float, double, std::string>;

  Variant() noexcept = default;  // VT_EMPTY

  static Variant FromBool(bool value) noexcept { return Variant(VariantBool{value ? VARIANT_TRUE : VARIANT_FALSE}); }
  static Variant FromInt16(std::int16_t value) noexcept { return Variant(value); }
  static Variant FromInt32(std::int32_t value) noexcept { return Variant(value); }
  static Variant FromFloat(float value) noexcept { return Variant(value); }
  static Variant FromDouble(double value) noexcept { return Variant(value); }
  static Variant FromString(std::string value) noexcept { return Variant(std::move(value)); }

  VARTYPE Type() const noexcept;
  const Value& Get() const noexcept { return value_; }

  // Same type and same value. Floating values compare by their bits, so a
  // value equals itself after any round trip: NaN equals the same NaN, and
  // -0.0 differs from 0.0.
  friend bool operator==(const Variant& left, const Variant& right) noexcept;

 private:
  template <class T>
  explicit Variant(T value) noexcept : value_(std::in_place_type<T>, std::move(value)) {}

  Value value_;
};

}  // namespace pixavue::platform
