#include <pixavue/platform/shell/number_format.h>

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <type_traits>

namespace pixavue::platform {
namespace {

constexpr int kSignificantDigits = 15;
constexpr std::string_view kPoint = ".";

struct LocaleDeleter {
  void operator()(std::remove_pointer_t<locale_t>* locale) const { freelocale(locale); }
};
using OwnedLocale = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

std::string SpecialValueText(double value) {
  if (std::isnan(value)) return "NaN";
  return value > 0 ? "Infinity" : "-Infinity";
}

// "%.15G" in the C locale: to_chars never consults any locale.
std::string_view PlainText(double value, char (&buffer)[64]) {
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kSignificantDigits);
  return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
}

}  // namespace

std::string FormatDouble(double value, std::string_view decimalSeparator) noexcept {
  try {
    if (!std::isfinite(value)) return SpecialValueText(value);
    if (value == 0.0) return "0";  // also for -0.0
    char buffer[64];
    const std::string_view separator = decimalSeparator.empty() ? kPoint : decimalSeparator;
    std::string text;
    for (const char character : PlainText(value, buffer)) {
      if (character == '.') {
        text += separator;
      } else {
        text.push_back(character == 'e' ? 'E' : character);
      }
    }
    return text;
  } catch (...) {
    return std::string();
  }
}

std::string FormatDoubleForUser(double value) noexcept { return FormatDouble(value, UserDecimalSeparator()); }

std::string DecimalSeparatorOfLocale(const char* localeName) noexcept {
  try {
    if (localeName == nullptr) return std::string(kPoint);
    // A private locale object: the process's global locale stays untouched.
    const OwnedLocale numeric(newlocale(LC_NUMERIC_MASK, localeName, nullptr));
    if (!numeric) return std::string(kPoint);
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric.get());
    if (radix == nullptr || *radix == '\0') return std::string(kPoint);
    return std::string(radix);
  } catch (...) {
    return std::string(kPoint);
  }
}

const std::string& UserDecimalSeparator() noexcept {
  static const std::string separator = DecimalSeparatorOfLocale("");
  return separator;
}

}  // namespace pixavue::platform
