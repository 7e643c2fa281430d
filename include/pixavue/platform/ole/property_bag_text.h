#pragma once
// The text form of a property bag, as FilePropertyBag keeps it on disk.
// docs/property-bag-format.md describes the format with examples.
//
//   # pixavue property bag 1
//   Zoom = r8 1.5
//   ScrollBars = bool true
//   Caption = str "Line one\nTab\there \"quoted\" \x01"
//
// - The text is UTF-8. The first line is exactly the header above. Lines end
//   with "\n"; a "\r" before it is ignored; the last line may lack the "\n".
// - Every other line is blank, a comment (first non-blank character '#'), or
//   one property: Name = type value. Blanks (spaces, tabs) may surround the
//   name, '=' and the type, and may follow the value.
// - Names are 1 to kMaxPropertyNameBytes characters of A-Z a-z 0-9 _ . -
//   and do not start with '-' or '.'.
// - Types and values:
//     bool  true | false
//     i2    decimal integer in [-32768, 32767]       (no '+', no spaces)
//     i4    decimal integer in [-2^31, 2^31 - 1]
//     r4    decimal number that fits a float, or inf, -inf, nan
//     r8    decimal number that fits a double, or inf, -inf, nan
//     str   a double-quoted string; escapes \\ \" \n \r \t and \xHH (two hex
//           digits, any byte); other bytes below 0x20 except tab, and 0x7F,
//           must be escaped; at most kMaxPropertyStringBytes after decoding
//   Numbers are written in the shortest form that reads back to exactly the
//   same value ("0.1", "-0", "1e-45", "3.4028235e+38"). A NaN is written as
//   "nan" or "-nan"; its payload bits are not kept.
// - A name may appear once; a second line with the same name is an error.
// - The whole text is at most kMaxPropertyBagTextBytes.
//
// Writing escapes control bytes and any bytes that are not valid UTF-8 as
// \xHH, so that every string reads back byte for byte.

#include <cstddef>
#include <string>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/memory_property_bag.h>

namespace pixavue::platform {

inline constexpr std::string_view kPropertyBagTextHeader = "# pixavue property bag 1";
inline constexpr std::size_t kMaxPropertyBagTextBytes = 4 << 20;

// Where and why a text was refused. line is 1-based; 0 when the refusal is
// about the text as a whole (its size).
struct PropertyBagTextError {
  std::size_t line = 0;
  std::string reason;
};

// Whether name can be written in the text form.
bool IsPropertyNameRepresentable(std::string_view name) noexcept;

// Reads the text into bag, replacing its content. Returns S_OK;
// STG_E_DOCFILECORRUPT for malformed text, STG_E_DOCFILETOOLARGE for text
// above the limit (error, if given, tells where and why; bag is left
// unchanged then); E_OUTOFMEMORY.
HRESULT ParsePropertyBagText(std::string_view text, MemoryPropertyBag& bag,
                             PropertyBagTextError* error = nullptr) noexcept;

// Writes bag in the text form. E_INVALIDARG when a name cannot be written
// (see IsPropertyNameRepresentable) or a value is empty;
// STG_E_DOCFILETOOLARGE when the text would exceed kMaxPropertyBagTextBytes
// (it could not be read back); E_OUTOFMEMORY.
HRESULT FormatPropertyBagText(const MemoryPropertyBag& bag, std::string& text) noexcept;

}  // namespace pixavue::platform
