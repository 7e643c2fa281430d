#include "pixel_buffer.h"

#include <cstring>

#include <pixavue/platform/gdiplus/pixel_memory.h>

#include "image_limits.h"

namespace pixavue::platform::gdiplus {

GpStatus CheckImageSize(std::int64_t width, std::int64_t height) noexcept {
  if (width <= 0 || height <= 0) return InvalidParameter;
  if (width > kMaxImageSide || height > kMaxImageSide) return OutOfMemory;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxImagePixels) return OutOfMemory;
  return Ok;
}

std::int32_t StrideFor(PixelFormat format, std::uint32_t width) noexcept {
  const std::uint64_t bits = std::uint64_t{width} * GetPixelFormatSize(format);
  const std::uint64_t bytes = (bits + 31) / 32 * 4;
  return bytes > 0x7FFFFFFF ? 0 : static_cast<std::int32_t>(bytes);
}

std::optional<PixelBuffer> PixelBuffer::Allocate(PixelFormat format, std::uint32_t width, std::uint32_t height) {
  if (CheckImageSize(width, height) != Ok || GetPixelFormatSize(format) == 0) return std::nullopt;
  const std::int32_t stride = StrideFor(format, width);
  if (stride == 0) return std::nullopt;
  auto reservation = BudgetReservation::Take(static_cast<std::uint64_t>(stride) * height);
  if (!reservation) return std::nullopt;
  // Zero-filled memory whose untouched pages stay unmapped, so a buffer costs
  // only what is written into it.
  auto* memory = static_cast<std::uint8_t*>(AllocatePixelMemory(static_cast<std::size_t>(stride) * height));
  if (memory == nullptr) return std::nullopt;
  PixelBuffer buffer;
  buffer.format_ = format;
  buffer.width_ = width;
  buffer.height_ = height;
  buffer.stride_ = stride;
  buffer.scan0_ = memory;
  buffer.storage_.reset(memory);
  buffer.reservation_ = std::move(*reservation);
  return buffer;
}

PixelBuffer PixelBuffer::Wrap(PixelFormat format, std::uint32_t width, std::uint32_t height, std::int32_t stride,
                              std::uint8_t* scan0) noexcept {
  PixelBuffer buffer;
  buffer.format_ = format;
  buffer.width_ = width;
  buffer.height_ = height;
  buffer.stride_ = stride;
  buffer.scan0_ = scan0;
  return buffer;
}

std::optional<PixelBuffer> PixelBuffer::Clone() const {
  auto copy = Allocate(format_, width_, height_);
  if (!copy) return std::nullopt;
  const std::size_t rowBytes = static_cast<std::size_t>(copy->stride_);
  for (std::uint32_t y = 0; y < height_; ++y) std::memcpy(copy->Row(y), Row(y), rowBytes);
  return copy;
}

}  // namespace pixavue::platform::gdiplus
