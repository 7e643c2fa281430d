#pragma once
// Basic types of the window system: handles, message parameters and the
// window-procedure signature, with the widths the control was designed for.

#include <cstdint>

namespace pixavue::platform {

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;

// A window handle. Handles are small positive numbers, unique within the
// process while the window lives; 0 is "no window". A handle is only a key
// into the owning thread's window table and is never dereferenced.
enum class HWND : std::int32_t {};
inline constexpr HWND kNoWindow{};

constexpr std::int32_t HandleValue(HWND window) { return static_cast<std::int32_t>(window); }

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

constexpr WPARAM MAKEWPARAM(std::uint16_t low, std::uint16_t high) {
  return static_cast<WPARAM>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}
constexpr LPARAM MAKELPARAM(std::uint16_t low, std::uint16_t high) {
  return static_cast<LPARAM>(static_cast<std::int32_t>(static_cast<std::uint32_t>(low) |
                                                       (static_cast<std::uint32_t>(high) << 16)));
}
constexpr std::uint16_t LOWORD(std::uintptr_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
constexpr std::uint16_t HIWORD(std::uintptr_t value) { return static_cast<std::uint16_t>((value >> 16) & 0xFFFF); }

}  // namespace pixavue::platform
