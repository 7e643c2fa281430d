#pragma once
// GUIDs and their registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>

namespace pixavue::platform {

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};

  friend bool operator==(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;

inline constexpr GUID GUID_NULL{};

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStorage{0x0000010A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStream{0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistPropertyBag{0x37D84F60, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IOleObject{0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Length of the braced text form, without a terminating null.
inline constexpr int kGuidStringLength = 38;

// Writes the upper-case braced form and a terminating null into out.
// Returns the number of characters written including the null (39), or 0
// when out is null or cchMax is below 39; nothing is written then.
int StringFromGUID2(const GUID& guid, char16_t* out, int cchMax) noexcept;

// The upper-case braced form, e.g. "{00020400-0000-0000-C000-000000000046}".
// Returns an empty string only when memory runs out.
std::string GuidToString(const GUID& guid) noexcept;

// Accepts exactly the braced 38-character form, hex digits of either case.
// Anything else (missing braces, spaces, other lengths, program ids) is
// refused.
std::optional<GUID> ParseGuid(std::string_view text) noexcept;

// S_OK; CO_E_CLASSSTRING for text ParseGuid refuses (*clsid becomes
// GUID_NULL); E_POINTER when clsid is null.
HRESULT CLSIDFromString(std::string_view text, GUID* clsid) noexcept;

}  // namespace pixavue::platform
