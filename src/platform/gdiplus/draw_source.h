#pragma once
// Rows of the image being drawn as premultiplied 32-bit pixels (the
// 32bppPARGB layout), with the image attributes' colour adjustments
// applied to the colours first.

#include <cstdint>
#include <optional>
#include <vector>

#include "frame.h"
#include "image_attributes.h"

namespace pixavue::platform::gdiplus {

// One per thread: the returned rows live in its own buffers.
class DrawSourceRows final {
 public:
  DrawSourceRows(const Frame& frame, const ColorAdjuster* adjuster);

  // Pixels [x, x + count) of row y, which must lie inside the frame. Points
  // into the frame itself when it is 32bppPARGB and nothing is adjusted,
  // else into a buffer valid until the next call.
  const std::uint32_t* Row(std::uint32_t y, std::uint32_t x, std::uint32_t count);

  // True when Row points into the frame: its rows stay valid.
  bool direct() const noexcept { return direct_; }

 private:
  const Frame& frame_;
  const ColorAdjuster* adjuster_;
  bool direct_;
  std::vector<ARGB> colours_;
  std::vector<std::uint32_t> premultiplied_;
  Frame premultipliedView_;
};

}  // namespace pixavue::platform::gdiplus
