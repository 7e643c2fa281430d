#include <pixavue/platform/ole/variant_conversion.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <type_traits>

#include "number_text.h"

namespace pixavue::platform {
namespace {

using ole_detail::NumberText;

// Every stored number (and a boolean as -1/0) as a double, which holds
// 16- and 32-bit integers and floats exactly. nullopt for strings and empty.
std::optional<double> StoredNumber(const Variant& value) {
  return std::visit(
      [](const auto& stored) -> std::optional<double> {
        using T = std::decay_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, VariantBool>) {
          return stored.value;
        } else if constexpr (std::is_arithmetic_v<T>) {
          return static_cast<double>(stored);
        } else {
          return std::nullopt;
        }
      },
      value.Get());
}

const std::string* StoredString(const Variant& value) { return std::get_if<std::string>(&value.Get()); }

// The number a value stands for: a stored number, or a string spelling one.
std::optional<double> NumberOf(const Variant& value) {
  if (const std::string* text = StoredString(value)) return ole_detail::ParseDouble(*text);
  return StoredNumber(value);
}

template <class Int>
std::optional<Int> ExactInteger(std::optional<double> number) {
  // The comparisons are false for NaN, which therefore fails too.
  if (!number || !(*number >= std::numeric_limits<Int>::min() && *number <= std::numeric_limits<Int>::max()) ||
      *number != std::trunc(*number)) {
    return std::nullopt;
  }
  return static_cast<Int>(*number);
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCaseWord) {
  if (text.size() != lowerCaseWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != lowerCaseWord[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<bool> VariantToBool(const Variant& value) noexcept {
  if (const std::string* text = StoredString(value)) {
    if (EqualsIgnoringCase(*text, "true")) return true;
    if (EqualsIgnoringCase(*text, "false")) return false;
  }
  const std::optional<double> number = NumberOf(value);
  if (!number || std::isnan(*number)) return std::nullopt;
  return *number != 0.0;
}

std::optional<std::int16_t> VariantToInt16(const Variant& value) noexcept {
  return ExactInteger<std::int16_t>(NumberOf(value));
}

std::optional<std::int32_t> VariantToInt32(const Variant& value) noexcept {
  return ExactInteger<std::int32_t>(NumberOf(value));
}

std::optional<float> VariantToFloat(const Variant& value) noexcept {
  // Text is rounded to float directly: "0.1" is the float nearest 0.1, not
  // the float of the double nearest 0.1 (which is not exact, so refused).
  if (const std::string* text = StoredString(value)) return ole_detail::ParseFloat(*text);
  const std::optional<double> number = StoredNumber(value);
  if (!number) return std::nullopt;
  if (std::isnan(*number)) return std::numeric_limits<float>::quiet_NaN();
  if (std::isfinite(*number) && std::fabs(*number) > std::numeric_limits<float>::max()) return std::nullopt;
  const auto narrowed = static_cast<float>(*number);
  if (static_cast<double>(narrowed) != *number) return std::nullopt;
  return narrowed;
}

std::optional<double> VariantToDouble(const Variant& value) noexcept { return NumberOf(value); }

std::optional<std::string> VariantToString(const Variant& value) noexcept {
  try {
    return std::visit(
        [](const auto& stored) -> std::optional<std::string> {
          using T = std::decay_t<decltype(stored)>;
          if constexpr (std::is_same_v<T, std::string>) {
            return stored;
          } else if constexpr (std::is_same_v<T, VariantBool>) {
            return std::string(stored.value != VARIANT_FALSE ? "True" : "False");
          } else if constexpr (std::is_same_v<T, std::monostate>) {
            return std::nullopt;
          } else if constexpr (std::is_same_v<T, std::int16_t>) {
            return std::string(NumberText(static_cast<std::int32_t>(stored)).View());
          } else {
            return std::string(NumberText(stored).View());
          }
        },
        value.Get());
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace pixavue::platform
