#pragma once
// Bounded access to the fields of one metafile record. A field that does
// not lie inside the record reads as zero (spans as empty); handlers check
// the record's size first, so a zero is never mistaken for data.

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "byte_reader.h"
#include "metafile_state.h"

namespace pixavue::platform::gdiplus::metafile {

class RecordView final {
 public:
  explicit RecordView(std::span<const std::uint8_t> bytes) noexcept : reader_(bytes) {}

  std::size_t size() const noexcept { return reader_.size(); }
  // True when bytes [offset, offset + count) lie inside the record.
  bool Has(std::uint64_t offset, std::uint64_t count) const noexcept {
    return offset <= size() && count <= size() - offset;
  }

  std::uint16_t U16(std::size_t offset) const noexcept { return reader_.U16At(offset).value_or(0); }
  std::int16_t I16(std::size_t offset) const noexcept { return static_cast<std::int16_t>(U16(offset)); }
  std::uint32_t U32(std::size_t offset) const noexcept { return reader_.U32At(offset).value_or(0); }
  std::int32_t I32(std::size_t offset) const noexcept { return static_cast<std::int32_t>(U32(offset)); }
  float F32(std::size_t offset) const noexcept { return std::bit_cast<float>(U32(offset)); }
  std::uint8_t U8(std::size_t offset) const noexcept {
    return offset < size() ? reader_.data()[offset] : std::uint8_t{0};
  }
  std::span<const std::uint8_t> Bytes(std::uint64_t offset, std::uint64_t count) const noexcept {
    if (!Has(offset, count)) return {};
    return reader_.data().subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
  }

 private:
  ByteReader reader_;
};

// `count` points of two 16-bit (or 32-bit) signed coordinates, x first, at
// `offset`; empty when they do not all lie inside the record.
inline std::vector<PointD> Points16(const RecordView& record, std::size_t offset, std::uint64_t count) {
  std::vector<PointD> points;
  if (!record.Has(offset, count * 4)) return points;
  points.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    points.push_back(PointD{double(record.I16(offset + i * 4)), double(record.I16(offset + i * 4 + 2))});
  }
  return points;
}

inline std::vector<PointD> Points32(const RecordView& record, std::size_t offset, std::uint64_t count) {
  std::vector<PointD> points;
  if (!record.Has(offset, count * 8)) return points;
  points.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    points.push_back(PointD{double(record.I32(offset + i * 8)), double(record.I32(offset + i * 8 + 4))});
  }
  return points;
}

}  // namespace pixavue::platform::gdiplus::metafile
