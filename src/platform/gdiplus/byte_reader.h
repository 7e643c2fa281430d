#pragma once
// Bounds-checked reading of little- and big-endian integers from a byte
// span. A read past the end fails (returns false / nullopt) and leaves the
// position unchanged; nothing is ever read outside the span.

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace pixavue::platform::gdiplus {

enum class ByteOrder { Little, Big };

class ByteReader final {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data, ByteOrder order = ByteOrder::Little) noexcept
      : data_(data), order_(order) {}

  std::size_t size() const noexcept { return data_.size(); }
  std::size_t position() const noexcept { return position_; }
  std::size_t remaining() const noexcept { return data_.size() - position_; }
  ByteOrder order() const noexcept { return order_; }
  void set_order(ByteOrder order) noexcept { order_ = order; }
  std::span<const std::uint8_t> data() const noexcept { return data_; }

  bool Seek(std::size_t position) noexcept {
    if (position > data_.size()) return false;
    position_ = position;
    return true;
  }
  bool Skip(std::size_t count) noexcept { return count <= remaining() && Seek(position_ + count); }

  std::optional<std::uint8_t> U8() noexcept { return Read<std::uint8_t>(1); }
  std::optional<std::uint16_t> U16() noexcept { return Read<std::uint16_t>(2); }
  std::optional<std::uint32_t> U32() noexcept { return Read<std::uint32_t>(4); }
  std::optional<std::int16_t> I16() noexcept {
    auto v = U16();
    return v ? std::optional<std::int16_t>(static_cast<std::int16_t>(*v)) : std::nullopt;
  }
  std::optional<std::int32_t> I32() noexcept {
    auto v = U32();
    return v ? std::optional<std::int32_t>(static_cast<std::int32_t>(*v)) : std::nullopt;
  }

  // `count` bytes from the current position, or nullopt.
  std::optional<std::span<const std::uint8_t>> Bytes(std::size_t count) noexcept {
    if (count > remaining()) return std::nullopt;
    auto out = data_.subspan(position_, count);
    position_ += count;
    return out;
  }

  // Random access that does not move the position.
  std::optional<std::uint16_t> U16At(std::size_t at) const noexcept { return ReadAt<std::uint16_t>(at, 2); }
  std::optional<std::uint32_t> U32At(std::size_t at) const noexcept { return ReadAt<std::uint32_t>(at, 4); }

 private:
  template <typename T>
  std::optional<T> ReadAt(std::size_t at, std::size_t width) const noexcept {
    if (at > data_.size() || width > data_.size() - at) return std::nullopt;
    T value = 0;
    for (std::size_t i = 0; i < width; ++i) {
      const std::size_t shift = order_ == ByteOrder::Little ? i : width - 1 - i;
      value = static_cast<T>(value | static_cast<T>(static_cast<T>(data_[at + i]) << (8 * shift)));
    }
    return value;
  }
  template <typename T>
  std::optional<T> Read(std::size_t width) noexcept {
    auto value = ReadAt<T>(position_, width);
    if (value) position_ += width;
    return value;
  }

  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
  ByteOrder order_;
};

}  // namespace pixavue::platform::gdiplus
