#include "draw_source.h"

#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {

bool DrawSourceRows::ReadsInPlace(const Frame& frame, const ColorAdjuster* adjuster) noexcept {
  return adjuster == nullptr && frame.pixels.format() == PixelFormat32bppPARGB &&
         reinterpret_cast<std::uintptr_t>(frame.pixels.scan0()) % 4 == 0;
}

DrawSourceRows::DrawSourceRows(const Frame& frame, const ColorAdjuster* adjuster)
    : frame_(frame),
      adjuster_(adjuster),
      direct_(ReadsInPlace(frame, adjuster)),
      reader_(frame),
      reads_(adjuster == nullptr && !direct_ && reader_.handles()) {}

std::uint32_t* DrawSourceRows::Buffer(std::uint32_t count) {
  if (premultiplied_.size() < count) premultiplied_.resize(count);
  return premultiplied_.data();
}

const std::uint32_t* DrawSourceRows::Row(std::uint32_t y, std::uint32_t x, std::uint32_t count) {
  if (direct_) return reinterpret_cast<const std::uint32_t*>(frame_.pixels.Row(y)) + x;
  std::uint32_t* out = Buffer(count);
  if (reads_) {
    reader_.Run(y, x, count, out);
    return out;
  }
  // Through straight ARGB: adjust, then premultiply by writing into a
  // 32bppPARGB view of the output buffer.
  if (colours_.size() < count) colours_.resize(count);
  ReadArgb32(frame_, x, y, count, colours_.data());
  if (adjuster_ != nullptr) adjuster_->Apply(colours_.data(), count);
  premultipliedView_.pixels = PixelBuffer::Wrap(PixelFormat32bppPARGB, count, 1, static_cast<std::int32_t>(count) * 4,
                                                reinterpret_cast<std::uint8_t*>(out));
  WriteArgb32(premultipliedView_, 0, 0, count, colours_.data());
  return out;
}

const std::uint32_t* DrawSourceRows::Row(std::uint32_t y, const SourceColumns& columns) {
  if (columns.picks.empty()) return Row(y, columns.x, columns.count);
  std::uint32_t* out = Buffer(columns.size());
  RowInto(y, columns, out);
  return out;
}

bool DrawSourceRows::SumRows(std::uint32_t top, std::uint32_t bottom, std::uint32_t x, std::uint32_t count,
                             std::uint16_t* sums) {
  // 24-bit pixels are summed straight from their bytes.
  if (!reads_ || frame_.pixels.format() != PixelFormat24bppRGB) return false;
  sumRows_.clear();
  for (std::uint32_t y = top; y < bottom; ++y) sumRows_.push_back(frame_.pixels.Row(y) + std::size_t{x} * 3);
  SumRgb24Rows(sumRows_.data(), static_cast<std::int32_t>(sumRows_.size()), count, sums);
  return true;
}

void DrawSourceRows::Prefetch(std::uint32_t y, std::uint32_t x, std::uint32_t count) const {
  constexpr std::size_t kLine = 64;
  const std::size_t bits = GetPixelFormatSize(frame_.pixels.format());
  const std::uint8_t* row = frame_.pixels.Row(y);
  const std::size_t begin = std::size_t{x} * bits / 8;
  const std::size_t end = (std::size_t{x} + count) * bits / 8;
  for (std::size_t at = begin; at < end; at += kLine) __builtin_prefetch(row + at);
}

void DrawSourceRows::RowInto(std::uint32_t y, const SourceColumns& columns, std::uint32_t* out) const {
  if (columns.picks.empty()) return reader_.Run(y, columns.x, columns.count, out);
  reader_.Pick(y, columns.picks.data(), columns.size(), out);
}

}  // namespace pixavue::platform::gdiplus
