// Reading the text form of a property bag (format: property_bag_text.h).
// The reader never trusts the text: every line is checked completely, sizes
// are bounded, and the caller's bag changes only when the whole text is good.

#include <pixavue/platform/ole/property_bag_text.h>
#include <pixavue/platform/ole/utf8.h>

#include <new>
#include <optional>
#include <utility>

#include "number_text.h"
#include "property_text_types.h"

namespace pixavue::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Takes the leading run of characters that are not blanks and not stop.
std::string_view TakeToken(std::string_view& text, char stop) {
  std::size_t length = 0;
  while (length < text.size() && !IsBlank(text[length]) && text[length] != stop) ++length;
  const std::string_view token = text.substr(0, length);
  text.remove_prefix(length);
  return token;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A refusal: a fixed message, or out of memory.
struct Failure {
  const char* reason;
  HRESULT status = STG_E_DOCFILECORRUPT;
};

template <class T>
using Parsed = std::pair<std::optional<T>, Failure>;

Failure OutOfMemory() { return {"out of memory", E_OUTOFMEMORY}; }

// Decodes one escape after a backslash at text[0]; consumes it.
std::optional<char> DecodeEscape(std::string_view& text) {
  if (text.size() < 2) return std::nullopt;
  const char kind = text[1];
  text.remove_prefix(2);
  switch (kind) {
    case '\\': return '\\';
    case '"': return '"';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'x': {
      if (text.size() < 2) return std::nullopt;
      const int high = HexValue(text[0]);
      const int low = HexValue(text[1]);
      if (high < 0 || low < 0) return std::nullopt;
      text.remove_prefix(2);
      return static_cast<char>(high * 16 + low);
    }
    default:
      return std::nullopt;
  }
}

// Reads a quoted string that is the whole rest of the line (trailing blanks
// allowed).
Parsed<std::string> ReadQuoted(std::string_view text) {
  if (text.empty() || text.front() != '"') return {std::nullopt, {"a string value must start with '\"'"}};
  text.remove_prefix(1);
  std::string decoded;
  try {
    while (!text.empty() && text.front() != '"') {
      const auto byte = static_cast<unsigned char>(text.front());
      if (byte == '\\') {
        const std::optional<char> escaped = DecodeEscape(text);
        if (!escaped) return {std::nullopt, {"invalid escape in string"}};
        decoded += *escaped;
      } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
        return {std::nullopt, {"unescaped control character in string"}};
      } else {
        const std::size_t sequence = Utf8SequenceLength(text, 0);
        if (sequence == 0) return {std::nullopt, {"string is not valid UTF-8"}};
        decoded.append(text.substr(0, sequence));
        text.remove_prefix(sequence);
      }
      if (decoded.size() > kMaxPropertyStringBytes) return {std::nullopt, {"string too long"}};
    }
  } catch (const std::bad_alloc&) {
    return {std::nullopt, OutOfMemory()};
  }
  if (text.empty()) return {std::nullopt, {"unterminated string"}};
  if (!TrimLeadingBlanks(text.substr(1)).empty()) return {std::nullopt, {"text after the closing quote"}};
  return {std::move(decoded), {}};
}

Parsed<Variant> ReadBool(std::string_view token) {
  if (token == "true") return {Variant::FromBool(true), {}};
  if (token == "false") return {Variant::FromBool(false), {}};
  return {std::nullopt, {"a bool value must be true or false"}};
}

template <class Number, class Parse, class Make>
Parsed<Variant> ReadNumber(std::string_view token, Parse parse, Make make) {
  const std::optional<Number> number = parse(token);
  if (!number) return {std::nullopt, {"invalid number, or out of range for its type"}};
  return {make(*number), {}};
}

Parsed<Variant> ReadValue(VARTYPE type, std::string_view rest) {
  if (type == VT_BSTR) {
    auto [text, failure] = ReadQuoted(rest);
    if (!text) return {std::nullopt, failure};
    return {Variant::FromString(std::move(*text)), {}};
  }
  const std::string_view token = TrimTrailingBlanks(rest);
  switch (type) {
    case VT_BOOL: return ReadBool(token);
    case VT_I2: return ReadNumber<std::int16_t>(token, ole_detail::ParseInt16, Variant::FromInt16);
    case VT_I4: return ReadNumber<std::int32_t>(token, ole_detail::ParseInt32, Variant::FromInt32);
    case VT_R4: return ReadNumber<float>(token, ole_detail::ParseFloat, Variant::FromFloat);
    default: return ReadNumber<double>(token, ole_detail::ParseDouble, Variant::FromDouble);
  }
}

// Reads one "Name = type value" line into bag.
std::optional<Failure> ReadPropertyLine(std::string_view line, MemoryPropertyBag& bag) {
  std::string_view rest = TrimLeadingBlanks(line);
  const std::string_view name = TakeToken(rest, '=');
  if (name.size() > kMaxPropertyNameBytes) return Failure{"property name too long"};
  if (!IsPropertyNameRepresentable(name)) return Failure{"invalid property name"};
  rest = TrimLeadingBlanks(rest);
  if (rest.empty() || rest.front() != '=') return Failure{"expected '=' after the property name"};
  rest = TrimLeadingBlanks(rest.substr(1));

  const std::string_view keyword = TakeToken(rest, '\0');
  if (keyword.empty()) return Failure{"missing type"};
  const VARTYPE type = ole_detail::TypeOfKeyword(keyword);
  if (type == VT_EMPTY) return Failure{"unknown type"};
  rest = TrimLeadingBlanks(rest);
  if (rest.empty()) return Failure{"missing value"};

  auto [value, failure] = ReadValue(type, rest);
  if (!value) return failure;
  if (bag.Contains(name)) return Failure{"duplicate property name"};
  if (const HRESULT status = bag.Write(name, *value); FAILED(status)) return Failure{"cannot store", status};
  return std::nullopt;
}

std::string_view NextLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsBlankOrComment(std::string_view line) {
  const std::string_view content = TrimLeadingBlanks(line);
  return content.empty() || content.front() == '#';
}

HRESULT Refuse(PropertyBagTextError* error, std::size_t line, const char* reason, HRESULT status) noexcept {
  if (error != nullptr) {
    error->line = line;
    try {
      error->reason = reason;
    } catch (const std::bad_alloc&) {
      error->reason.clear();
    }
  }
  return status;
}

}  // namespace

HRESULT ParsePropertyBagText(std::string_view text, MemoryPropertyBag& bag, PropertyBagTextError* error) noexcept {
  if (text.size() > kMaxPropertyBagTextBytes) {
    return Refuse(error, 0, "property bag text too large", STG_E_DOCFILETOOLARGE);
  }
  if (NextLine(text) != kPropertyBagTextHeader) {
    return Refuse(error, 1, "missing header line", STG_E_DOCFILECORRUPT);
  }
  MemoryPropertyBag parsed;
  for (std::size_t lineNumber = 2; !text.empty(); ++lineNumber) {
    const std::string_view line = NextLine(text);
    if (IsBlankOrComment(line)) continue;
    if (const std::optional<Failure> failure = ReadPropertyLine(line, parsed)) {
      return Refuse(error, lineNumber, failure->reason, failure->status);
    }
  }
  bag = std::move(parsed);
  if (error != nullptr) *error = {};
  return S_OK;
}

}  // namespace pixavue::platform
