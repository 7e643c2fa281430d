#pragma once
// Text of a double as OLE Automation turns it into a string with the user's
// default locale: up to 15 significant digits, like printf "%.15G" (2.8, 72,
// 0.333333333333333, 1E+20, 1E-07), with the locale's decimal separator and no
// thousands grouping.
//
// Special values: infinities are "Infinity" and "-Infinity", every NaN is
// "NaN"; negative zero is "0". Should memory run out, the text is empty.
// The process's global locale is never read or changed.

#include <string>
#include <string_view>

namespace pixavue::platform {

// The text with `decimalSeparator` in place of the decimal point. An empty
// separator stands for ".", so that digits never run together.
std::string FormatDouble(double value, std::string_view decimalSeparator) noexcept;

// The text with the user's default decimal separator.
std::string FormatDoubleForUser(double value) noexcept;

// The decimal separator of the LC_NUMERIC part of the named locale; "" names
// the locale the environment chooses (LC_ALL, LC_NUMERIC, LANG). "." when the
// locale is not available (or the name is null).
std::string DecimalSeparatorOfLocale(const char* localeName) noexcept;

// DecimalSeparatorOfLocale("") read once per process, on first use.
const std::string& UserDecimalSeparator() noexcept;

}  // namespace pixavue::platform
