#pragma once
// Source-over compositing of premultiplied 32-bit rows onto a frame of any
// pixel format, and plain row stores.

#include <cstdint>
#include <vector>

#include "frame.h"

namespace pixavue::platform::gdiplus {

// One per thread (it keeps row buffers). 32bppPARGB, 32bppRGB, 24bppRGB
// and opaque rows onto 32bppARGB are composited directly; other formats go
// through straight ARGB.
class RowCompositor final {
 public:
  explicit RowCompositor(Frame& target) : target_(target) {}

  // Composites `count` premultiplied pixels onto row y from column x; the
  // span must lie inside the target.
  void Over(const std::uint32_t* source, std::uint32_t x, std::uint32_t y, std::uint32_t count);

  // The same for opaque pixels, which cover the target: stored without
  // blending (a copy onto 32-bit targets).
  void Store(const std::uint32_t* source, std::uint32_t x, std::uint32_t y, std::uint32_t count);

  // Where opaque pixels can be written as they are: the 32-bit row of the
  // target from column x, or null for targets of other formats.
  std::uint32_t* OpaqueRow(std::uint32_t x, std::uint32_t y) const;

 private:
  void OverThroughArgb(const std::uint32_t* source, std::uint32_t x, std::uint32_t y, std::uint32_t count);

  Frame& target_;
  std::vector<ARGB> colours_;
  std::vector<std::uint32_t> premultiplied_;
};

// Writes straight ARGB pixels into row y of any target format from column
// x; indexed formats take the nearest palette entry.
void StoreArgbRow(Frame& target, std::uint32_t x, std::uint32_t y, std::uint32_t count, const ARGB* colours);

}  // namespace pixavue::platform::gdiplus
