#include "draw_source.h"

#include <cstring>

#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {

DrawSourceRows::DrawSourceRows(const Frame& frame, const ColorAdjuster* adjuster)
    : frame_(frame),
      adjuster_(adjuster),
      direct_(adjuster == nullptr && frame.pixels.format() == PixelFormat32bppPARGB &&
              reinterpret_cast<std::uintptr_t>(frame.pixels.scan0()) % 4 == 0) {}

const std::uint32_t* DrawSourceRows::Row(std::uint32_t y, std::uint32_t x, std::uint32_t count) {
  const std::uint8_t* row = frame_.pixels.Row(y);
  if (direct_) return reinterpret_cast<const std::uint32_t*>(row) + x;
  if (premultiplied_.size() < count) {
    premultiplied_.resize(count);
    colours_.resize(count);
  }
  const PixelFormat format = frame_.pixels.format();
  if (adjuster_ == nullptr && format == PixelFormat32bppRGB) {
    std::memcpy(premultiplied_.data(), row + std::size_t{x} * 4, std::size_t{count} * 4);
    for (std::uint32_t i = 0; i < count; ++i) premultiplied_[i] |= 0xFF000000u;
    return premultiplied_.data();
  }
  // Through straight ARGB: adjust, then premultiply by writing into a
  // 32bppPARGB view of the output buffer.
  ReadArgb32(frame_, x, y, count, colours_.data());
  if (adjuster_ != nullptr) adjuster_->Apply(colours_.data(), count);
  premultipliedView_.pixels = PixelBuffer::Wrap(PixelFormat32bppPARGB, count, 1, static_cast<std::int32_t>(count) * 4,
                                                reinterpret_cast<std::uint8_t*>(premultiplied_.data()));
  WriteArgb32(premultipliedView_, 0, 0, count, colours_.data());
  return premultiplied_.data();
}

}  // namespace pixavue::platform::gdiplus
