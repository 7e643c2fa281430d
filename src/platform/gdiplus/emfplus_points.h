#pragma once
// Point and rectangle fields of EMF+ records: 32-bit floats, 16-bit
// integers ("compressed") or relative points, whose coordinates are
// 7- or 15-bit signed offsets from the point before.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "metafile_state.h"

namespace pixavue::platform::gdiplus::emfplus {

using metafile::PointD;

enum class PointEncoding { Float, Int16, Relative };

// Points of a record's flags: C (0x4000) 16-bit, P (0x0800) relative (and
// then C is ignored).
PointEncoding PointEncodingOf(std::uint16_t flags) noexcept;

// `count` points at the start of `bytes`; `used` is set to the bytes they
// take. Nullopt when they do not all lie inside `bytes` or a coordinate is
// not finite.
std::optional<std::vector<PointD>> ReadPoints(std::span<const std::uint8_t> bytes, std::uint64_t count,
                                              PointEncoding encoding, std::size_t* used = nullptr);

// A rectangle: x, y, width, height (floats, or 16-bit integers).
struct RectF final {
  double x = 0, y = 0, width = 0, height = 0;
};
inline constexpr std::size_t kRectFloatBytes = 16;
inline constexpr std::size_t kRectInt16Bytes = 8;
std::optional<RectF> ReadRect(std::span<const std::uint8_t> bytes, bool int16);

}  // namespace pixavue::platform::gdiplus::emfplus
