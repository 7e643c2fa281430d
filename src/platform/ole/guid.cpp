#include <pixavue/platform/ole/guid.h>

#include <array>
#include <cstddef>

namespace pixavue::platform {
namespace {

// Layout of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": the text position of
// the first hex digit of each byte of the GUID, in the order the bytes are
// printed (Data1..Data3 most significant byte first, then Data4).
constexpr std::array<int, 16> kBytePositions = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
constexpr std::array<int, 4> kDashPositions = {9, 14, 19, 24};

std::array<std::uint8_t, 16> PrintOrderBytes(const GUID& guid) {
  std::array<std::uint8_t, 16> bytes{};
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<std::uint8_t>(guid.Data1 >> (24 - 8 * i));
  }
  bytes[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
  bytes[5] = static_cast<std::uint8_t>(guid.Data2);
  bytes[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
  bytes[7] = static_cast<std::uint8_t>(guid.Data3);
  for (int i = 0; i < 8; ++i) {
    bytes[8 + i] = guid.Data4[i];
  }
  return bytes;
}

GUID GuidFromPrintOrderBytes(const std::array<std::uint8_t, 16>& bytes) {
  GUID guid;
  for (int i = 0; i < 4; ++i) {
    guid.Data1 = (guid.Data1 << 8) | bytes[i];
  }
  guid.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) {
    guid.Data4[i] = bytes[8 + i];
  }
  return guid;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Fills text (kGuidStringLength characters, no terminator) with the braced form.
template <class Char>
void FormatGuid(const GUID& guid, Char* text) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  text[0] = '{';
  text[kGuidStringLength - 1] = '}';
  for (int dash : kDashPositions) {
    text[dash] = '-';
  }
  const auto bytes = PrintOrderBytes(guid);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[kBytePositions[i]] = static_cast<Char>(kDigits[bytes[i] >> 4]);
    text[kBytePositions[i] + 1] = static_cast<Char>(kDigits[bytes[i] & 0xF]);
  }
}

bool HasBracesAndDashes(std::string_view text) {
  if (text.size() != static_cast<std::size_t>(kGuidStringLength) || text.front() != '{' || text.back() != '}') {
    return false;
  }
  for (int dash : kDashPositions) {
    if (text[dash] != '-') return false;
  }
  return true;
}

}  // namespace

int StringFromGUID2(const GUID& guid, char16_t* out, int cchMax) noexcept {
  constexpr int kWithTerminator = kGuidStringLength + 1;
  if (out == nullptr || cchMax < kWithTerminator) {
    return 0;
  }
  FormatGuid(guid, out);
  out[kGuidStringLength] = u'\0';
  return kWithTerminator;
}

std::string GuidToString(const GUID& guid) noexcept {
  try {
    std::string text(kGuidStringLength, '\0');
    FormatGuid(guid, text.data());
    return text;
  } catch (...) {
    return {};
  }
}

std::optional<GUID> ParseGuid(std::string_view text) noexcept {
  if (!HasBracesAndDashes(text)) {
    return std::nullopt;
  }
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigitValue(text[kBytePositions[i]]);
    const int low = HexDigitValue(text[kBytePositions[i] + 1]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return GuidFromPrintOrderBytes(bytes);
}

HRESULT CLSIDFromString(std::string_view text, GUID* clsid) noexcept {
  if (clsid == nullptr) {
    return E_POINTER;
  }
  const std::optional<GUID> parsed = ParseGuid(text);
  *clsid = parsed.value_or(GUID_NULL);
  return parsed ? S_OK : CO_E_CLASSSTRING;
}

}  // namespace pixavue::platform
