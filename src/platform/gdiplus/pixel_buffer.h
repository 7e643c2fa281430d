#pragma once
// A rectangle of pixels in one pixel format: either owned (allocated here)
// or a view over a caller's buffer, which is never copied.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/gdiplus/pixel_memory.h>

#include "load_budget.h"

namespace pixavue::platform::gdiplus {

// Bytes of one row of `width` pixels, padded to a multiple of 4, or 0 when
// that does not fit in 31 bits.
std::int32_t StrideFor(PixelFormat format, std::uint32_t width) noexcept;

class PixelBuffer final {
 public:
  PixelBuffer() = default;

  // Zeroed pixels with the padded stride; nullopt when the size check fails,
  // the current load's budget cannot spare the bytes or memory runs out.
  static std::optional<PixelBuffer> Allocate(PixelFormat format, std::uint32_t width, std::uint32_t height);
  // A view over caller memory; scan0 is row 0, stride may be negative.
  static PixelBuffer Wrap(PixelFormat format, std::uint32_t width, std::uint32_t height, std::int32_t stride,
                          std::uint8_t* scan0) noexcept;

  PixelFormat format() const noexcept { return format_; }
  std::uint32_t width() const noexcept { return width_; }
  std::uint32_t height() const noexcept { return height_; }
  std::int32_t stride() const noexcept { return stride_; }
  std::uint8_t* scan0() const noexcept { return scan0_; }
  bool owns_pixels() const noexcept { return storage_ != nullptr; }
  bool empty() const noexcept { return scan0_ == nullptr; }

  std::uint8_t* Row(std::uint32_t y) const noexcept { return scan0_ + static_cast<std::ptrdiff_t>(y) * stride_; }

  // A deep copy with owned pixels and the same stride; nullopt when memory
  // runs out.
  std::optional<PixelBuffer> Clone() const;

 private:
  struct FreeDeleter {
    void operator()(std::uint8_t* p) const noexcept { FreePixelMemory(p); }
  };

  PixelFormat format_ = PixelFormatUndefined;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::int32_t stride_ = 0;
  std::uint8_t* scan0_ = nullptr;
  BudgetReservation reservation_;  // declared before the pixels: given back after they are freed
  std::unique_ptr<std::uint8_t, FreeDeleter> storage_;
};

}  // namespace pixavue::platform::gdiplus
