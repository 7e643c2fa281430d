#pragma once
// Rows of the image being drawn as premultiplied 32-bit pixels (the
// 32bppPARGB layout), with the image attributes' colour adjustments
// applied to the colours first. Without adjustments the pixels are read
// straight into that layout (PremultipliedReader), and only the columns a
// draw samples need be read.

#include <cstdint>
#include <optional>
#include <vector>

#include "frame.h"
#include "image_attributes.h"
#include "premultiplied_reader.h"

namespace pixavue::platform::gdiplus {

// The source columns a draw reads from each row: the run [x, x + count),
// or, when `picks` is not empty, those columns in that order.
struct SourceColumns final {
  std::uint32_t x = 0;
  std::uint32_t count = 0;
  std::vector<std::uint32_t> picks;

  std::uint32_t size() const noexcept { return picks.empty() ? count : static_cast<std::uint32_t>(picks.size()); }
};

// One per thread: the returned rows live in its own buffers.
class DrawSourceRows final {
 public:
  DrawSourceRows(const Frame& frame, const ColorAdjuster* adjuster);

  // True when rows of this frame and adjuster are the frame's own pixels.
  static bool ReadsInPlace(const Frame& frame, const ColorAdjuster* adjuster) noexcept;

  // Pixels [x, x + count) of row y, which must lie inside the frame. Points
  // into the frame itself when it is 32bppPARGB and nothing is adjusted,
  // else into a buffer valid until the next call.
  const std::uint32_t* Row(std::uint32_t y, std::uint32_t x, std::uint32_t count);
  // The columns of row y; picks only when CanPick().
  const std::uint32_t* Row(std::uint32_t y, const SourceColumns& columns);
  // Pixels [x, x + count) of row y written to `out`; only when CanPick().
  void RunInto(std::uint32_t y, std::uint32_t x, std::uint32_t count, std::uint32_t* out) const {
    reader_.Run(y, x, count, out);
  }
  // Sets sums[4 * i + channel] to the sum over rows [top, bottom) of pixel
  // x + i's channels, for i < count, reading the frame's own bytes; false
  // (nothing done) for a format read otherwise. At most 257 rows.
  bool SumRows(std::uint32_t top, std::uint32_t bottom, std::uint32_t x, std::uint32_t count,
               std::uint16_t* sums);
  // Asks the processor to start loading pixels [x, x + count) of row y,
  // which a later call reads.
  void Prefetch(std::uint32_t y, std::uint32_t x, std::uint32_t count) const;
  // The columns of row y written to `out`; only when CanPick().
  void RowInto(std::uint32_t y, const SourceColumns& columns, std::uint32_t* out) const;

  // True when Row points into the frame: its rows stay valid.
  bool direct() const noexcept { return direct_; }
  // True when columns can be picked: pixels are read one by one.
  bool CanPick() const noexcept { return reads_; }
  // True when every pixel read is opaque (an opaque format or palette,
  // nothing adjusted).
  bool opaque() const noexcept { return reads_ && reader_.opaque(); }

 private:
  std::uint32_t* Buffer(std::uint32_t count);

  const Frame& frame_;
  const ColorAdjuster* adjuster_;
  bool direct_;
  PremultipliedReader reader_;
  bool reads_;  // through reader_
  std::vector<ARGB> colours_;
  std::vector<std::uint32_t> premultiplied_;
  std::vector<const std::uint8_t*> sumRows_;
  Frame premultipliedView_;
};

}  // namespace pixavue::platform::gdiplus
