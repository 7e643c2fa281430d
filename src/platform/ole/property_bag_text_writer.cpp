// Writing a property bag in its text form (format: property_bag_text.h).

#include <pixavue/platform/ole/property_bag_text.h>
#include <pixavue/platform/ole/utf8.h>

#include <new>
#include <type_traits>

#include "number_text.h"
#include "property_text_types.h"

namespace pixavue::platform {
namespace {

using ole_detail::NumberText;

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '-';
}

void AppendHexEscape(std::string& text, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  text += "\\x";
  text += kDigits[byte >> 4];
  text += kDigits[byte & 0xF];
}

// Quotes value so that the reader gives back the same bytes: control bytes
// and bytes that are not well-formed UTF-8 become \xHH.
void AppendQuoted(std::string& text, const std::string& value) {
  text += '"';
  for (std::size_t at = 0; at < value.size();) {
    const auto byte = static_cast<unsigned char>(value[at]);
    const std::size_t sequence = Utf8SequenceLength(value, at);
    if (byte == '\\' || byte == '"') {
      text += '\\';
      text += value[at];
    } else if (byte == '\n') {
      text += "\\n";
    } else if (byte == '\r') {
      text += "\\r";
    } else if (byte == '\t') {
      text += "\\t";
    } else if (byte < 0x20 || byte == 0x7F || sequence == 0) {
      AppendHexEscape(text, byte);
    } else {
      text.append(value, at, sequence);
      at += sequence;
      continue;
    }
    ++at;
  }
  text += '"';
}

void AppendValue(std::string& text, const Variant& value) {
  std::visit(
      [&text](const auto& stored) {
        using T = std::decay_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, VariantBool>) {
          text += stored.value != VARIANT_FALSE ? "true" : "false";
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          text += NumberText(static_cast<std::int32_t>(stored)).View();
        } else if constexpr (std::is_same_v<T, std::string>) {
          AppendQuoted(text, stored);
        } else if constexpr (!std::is_same_v<T, std::monostate>) {
          text += NumberText(stored).View();
        }
      },
      value.Get());
}

}  // namespace

bool IsPropertyNameRepresentable(std::string_view name) noexcept {
  if (name.empty() || name.size() > kMaxPropertyNameBytes || name.front() == '-' || name.front() == '.') {
    return false;
  }
  for (const char c : name) {
    if (!IsNameCharacter(c)) return false;
  }
  return true;
}

HRESULT FormatPropertyBagText(const MemoryPropertyBag& bag, std::string& text) noexcept {
  text.clear();
  try {
    std::string written(kPropertyBagTextHeader);
    written += '\n';
    for (const Property& property : bag.Properties()) {
      const std::string_view keyword = ole_detail::KeywordOf(property.value.Type());
      if (!IsPropertyNameRepresentable(property.name) || keyword.empty()) return E_INVALIDARG;
      written += property.name;
      written += " = ";
      written += keyword;
      written += ' ';
      AppendValue(written, property.value);
      written += '\n';
    }
    // The reader refuses longer text, so a longer save could never be loaded.
    if (written.size() > kMaxPropertyBagTextBytes) return STG_E_DOCFILETOOLARGE;
    text = std::move(written);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace pixavue::platform
