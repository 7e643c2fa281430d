#include "emfplus_points.h"

#include <bit>
#include <cmath>

#include "byte_reader.h"

namespace pixavue::platform::gdiplus::emfplus {
namespace {

constexpr std::uint16_t kFlagInt16 = 0x4000;
constexpr std::uint16_t kFlagRelative = 0x0800;

std::optional<double> FloatAt(const ByteReader& reader, std::size_t at) {
  const auto bits = reader.U32At(at);
  if (!bits) return std::nullopt;
  const float value = std::bit_cast<float>(*bits);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> Int16At(const ByteReader& reader, std::size_t at) {
  const auto bits = reader.U16At(at);
  if (!bits) return std::nullopt;
  return static_cast<std::int16_t>(*bits);
}

// One byte with the high bit clear holds a 7-bit signed value; with it set,
// two bytes (high byte first) hold a 15-bit signed value.
std::optional<double> RelativeAt(std::span<const std::uint8_t> bytes, std::size_t& at) {
  if (at >= bytes.size()) return std::nullopt;
  const std::uint8_t first = bytes[at];
  if ((first & 0x80) == 0) {
    ++at;
    return (first & 0x40) != 0 ? int(first) - 0x80 : int(first);
  }
  if (bytes.size() - at < 2) return std::nullopt;
  const int value = ((first & 0x7F) << 8) | bytes[at + 1];
  at += 2;
  return (value & 0x4000) != 0 ? value - 0x8000 : value;
}

std::optional<std::vector<PointD>> ReadRelative(std::span<const std::uint8_t> bytes, std::uint64_t count,
                                                std::size_t* used) {
  // Each point takes at least two bytes.
  if (count > bytes.size() / 2) return std::nullopt;
  std::vector<PointD> points;
  points.reserve(static_cast<std::size_t>(count));
  PointD last;
  std::size_t at = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    const auto dx = RelativeAt(bytes, at);
    const auto dy = dx ? RelativeAt(bytes, at) : std::nullopt;
    if (!dy) return std::nullopt;
    last = PointD{last.x + *dx, last.y + *dy};
    points.push_back(last);
  }
  if (used) *used = at;
  return points;
}

}  // namespace

PointEncoding PointEncodingOf(std::uint16_t flags) noexcept {
  if ((flags & kFlagRelative) != 0) return PointEncoding::Relative;
  return (flags & kFlagInt16) != 0 ? PointEncoding::Int16 : PointEncoding::Float;
}

std::optional<std::vector<PointD>> ReadPoints(std::span<const std::uint8_t> bytes, std::uint64_t count,
                                              PointEncoding encoding, std::size_t* used) {
  if (encoding == PointEncoding::Relative) return ReadRelative(bytes, count, used);
  const std::size_t coordinateBytes = encoding == PointEncoding::Float ? 4 : 2;
  if (count > bytes.size() / (2 * coordinateBytes)) return std::nullopt;
  const ByteReader reader(bytes);
  std::vector<PointD> points;
  points.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = i * 2 * coordinateBytes;
    const auto x = encoding == PointEncoding::Float ? FloatAt(reader, at) : Int16At(reader, at);
    const auto y = encoding == PointEncoding::Float ? FloatAt(reader, at + 4) : Int16At(reader, at + 2);
    if (!x || !y) return std::nullopt;
    points.push_back(PointD{*x, *y});
  }
  if (used) *used = static_cast<std::size_t>(count) * 2 * coordinateBytes;
  return points;
}

std::optional<RectF> ReadRect(std::span<const std::uint8_t> bytes, bool int16) {
  const auto corners = ReadPoints(bytes, 2, int16 ? PointEncoding::Int16 : PointEncoding::Float);
  if (!corners) return std::nullopt;
  return RectF{(*corners)[0].x, (*corners)[0].y, (*corners)[1].x, (*corners)[1].y};
}

}  // namespace pixavue::platform::gdiplus::emfplus
