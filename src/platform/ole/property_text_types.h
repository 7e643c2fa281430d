#pragma once
// The type keywords of the property-bag text form.

#include <string_view>

#include <pixavue/platform/ole/variant.h>

namespace pixavue::platform::ole_detail {

struct TypeKeyword {
  VARTYPE type;
  std::string_view keyword;
};

inline constexpr TypeKeyword kTypeKeywords[] = {
    {VT_BOOL, "bool"}, {VT_I2, "i2"}, {VT_I4, "i4"}, {VT_R4, "r4"}, {VT_R8, "r8"}, {VT_BSTR, "str"},
};

// The keyword of a type, or an empty view for a type the text cannot hold.
constexpr std::string_view KeywordOf(VARTYPE type) noexcept {
  for (const TypeKeyword& entry : kTypeKeywords) {
    if (entry.type == type) return entry.keyword;
  }
  return {};
}

// The type of a keyword, or VT_EMPTY for an unknown keyword.
constexpr VARTYPE TypeOfKeyword(std::string_view keyword) noexcept {
  for (const TypeKeyword& entry : kTypeKeywords) {
    if (entry.keyword == keyword) return entry.type;
  }
  return VT_EMPTY;
}

}  // namespace pixavue::platform::ole_detail
