#include <pixavue/support/code_page_1252.h>

#include <array>
#include <cstdint>

namespace pixavue {
namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page defines none
// (those bytes come from their C1 control characters).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char kUnmappable = '?';

char ToByte(char16_t unit) {
  if (unit <= 0xFF) return static_cast<char>(static_cast<std::uint8_t>(unit));
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  }
  return kUnmappable;
}

}  // namespace

std::string ToCodePage1252(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t unit : text) bytes.push_back(ToByte(unit));
  return bytes;
}

}  // namespace pixavue
