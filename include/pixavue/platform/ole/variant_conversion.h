#pragma once
// Conversions of a stored Variant to the C++ type a reader asks for. A
// conversion that would lose information gives nullopt, so that the reader
// can fall back to its default:
//  - numbers convert between the numeric types only when the value fits
//    exactly (an integer within range; a float that is the same double);
//  - a boolean reads as -1 (true) or 0 (false) as a number, and any number
//    other than 0 reads as true (NaN has no truth value);
//  - a string converts to a number only when the whole string is one number
//    in the syntax of the text format ("12", "-3", "2.5", "1e3", "inf";
//    no spaces, no leading '+'), and then as that number does; to a boolean
//    also when it is "true" or "false" in any case;
//  - every value converts to a string: numbers as their shortest exact text,
//    booleans as "True" or "False";
//  - an empty Variant converts to nothing.

#include <cstdint>
#include <optional>
#include <string>

#include <pixavue/platform/ole/variant.h>

namespace pixavue::platform {

std::optional<bool> VariantToBool(const Variant& value) noexcept;
std::optional<std::int16_t> VariantToInt16(const Variant& value) noexcept;
std::optional<std::int32_t> VariantToInt32(const Variant& value) noexcept;
std::optional<float> VariantToFloat(const Variant& value) noexcept;
std::optional<double> VariantToDouble(const Variant& value) noexcept;
std::optional<std::string> VariantToString(const Variant& value) noexcept;

}  // namespace pixavue::platform
