#include <pixavue/platform/gdiplus/wide_file_name.h>
#include <pixavue/platform/ole/utf8.h>

#include <cstddef>
#include <cstdint>

namespace pixavue::platform {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;
constexpr char32_t kReplacement = 0xFFFD;

unsigned char ByteAt(std::string_view text, std::size_t at) { return static_cast<unsigned char>(text[at]); }

char32_t DecodeSequence(std::string_view text, std::size_t at, std::size_t length) {
  static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = ByteAt(text, at) & kLeadMask[length];
  for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (ByteAt(text, at + i) & 0x3F);
  return c;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::u16string WideFromFileName(std::string_view name) {
  std::u16string wide;
  wide.reserve(name.size());
  std::size_t at = 0;
  while (at < name.size()) {
    const std::size_t length = Utf8SequenceLength(name, at);
    if (length == 0) {
      wide += static_cast<char16_t>(kEscapeBase + ByteAt(name, at));
      ++at;
      continue;
    }
    AppendUtf16(wide, DecodeSequence(name, at, length));
    at += length;
  }
  return wide;
}

std::string FileNameFromWide(std::u16string_view wide) {
  std::string name;
  name.reserve(wide.size());
  for (std::size_t at = 0; at < wide.size(); ++at) {
    const char16_t unit = wide[at];
    if (IsHighSurrogate(unit) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1])) {
      AppendUtf8(name, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (wide[at + 1] - 0xDC00u));
      ++at;
    } else if (unit >= kFirstEscape && unit <= kLastEscape) {
      name += static_cast<char>(static_cast<std::uint8_t>(unit - kEscapeBase));
    } else {
      AppendUtf8(name, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
    }
  }
  return name;
}

}  // namespace pixavue::platform
