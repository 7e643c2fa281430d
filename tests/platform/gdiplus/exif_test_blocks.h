#pragma once
// Builds TIFF-structured blocks byte by byte, in either byte order, for the
// EXIF reader and writer tests; and machine-order byte images of values to
// compare property items with.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "byte_reader.h"

namespace pixavue::platform::test {

using gdiplus::ByteOrder;

// The bytes of `values` as the machine stores them.
template <typename T>
std::vector<std::uint8_t> Native(std::initializer_list<T> values) {
  std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
  std::size_t at = 0;
  for (T value : values) {
    std::memcpy(bytes.data() + at, &value, sizeof(T));
    at += sizeof(T);
  }
  return bytes;
}

inline std::vector<std::uint8_t> Text(std::string_view text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

class TiffBlockBuilder final {
 public:
  // One directory entry. `value` is in the block's byte order; more than
  // four bytes go after the directory. `field`, when set, is written as the
  // 4-byte value field instead (sub-directory pointers, forged offsets).
  struct Field final {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> value;
    std::optional<std::uint32_t> field;
  };

  explicit TiffBlockBuilder(ByteOrder order) : order_(order) {
    bytes_ = {order == ByteOrder::Little ? std::uint8_t{'I'} : std::uint8_t{'M'},
              order == ByteOrder::Little ? std::uint8_t{'I'} : std::uint8_t{'M'}};
    Append(Encode<std::uint16_t>({42}));
    Append(Encode<std::uint32_t>({0}));
  }

  // `values` in the block's byte order.
  template <typename T>
  std::vector<std::uint8_t> Encode(std::initializer_list<T> values) const {
    using Unsigned = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                                        std::conditional_t<sizeof(T) == 2, std::uint16_t,
                                                           std::conditional_t<sizeof(T) == 4, std::uint32_t,
                                                                              std::uint64_t>>>;
    std::vector<std::uint8_t> bytes;
    for (T value : values) {
      const auto bits = std::bit_cast<Unsigned>(value);
      for (std::size_t i = 0; i < sizeof(T); ++i) {
        const std::size_t shift = order_ == ByteOrder::Little ? i : sizeof(T) - 1 - i;
        bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * shift)));
      }
    }
    return bytes;
  }

  // Appends bytes on an even offset; returns that offset.
  std::uint32_t Append(const std::vector<std::uint8_t>& bytes) {
    if (bytes_.size() % 2 != 0) bytes_.push_back(0);
    const auto at = static_cast<std::uint32_t>(bytes_.size());
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return at;
  }

  // Appends a directory and then its values too large for their entries;
  // returns the directory's offset.
  std::uint32_t AddDirectory(const std::vector<Field>& fields, std::uint32_t next = 0) {
    const std::uint32_t at = Append(Encode<std::uint16_t>({static_cast<std::uint16_t>(fields.size())}));
    std::uint32_t valueAt = at + 2 + static_cast<std::uint32_t>(fields.size()) * 12 + 4;
    for (const Field& field : fields) {
      Append(Encode<std::uint16_t>({field.tag, field.type}));
      Append(Encode<std::uint32_t>({field.count}));
      std::vector<std::uint8_t> inlineValue = field.value;
      if (field.field) {
        inlineValue = Encode<std::uint32_t>({*field.field});
      } else if (field.value.size() > 4) {
        inlineValue = Encode<std::uint32_t>({valueAt});
        valueAt += static_cast<std::uint32_t>(field.value.size() + field.value.size() % 2);
      }
      inlineValue.resize(4, 0);
      bytes_.insert(bytes_.end(), inlineValue.begin(), inlineValue.end());
    }
    bytes_.insert(bytes_.end(), 4, 0);
    PutU32(at + 2 + static_cast<std::uint32_t>(fields.size()) * 12, next);
    for (const Field& field : fields) {
      if (!field.field && field.value.size() > 4) Append(field.value);
    }
    return at;
  }

  void PutU32(std::size_t at, std::uint32_t value) {
    const auto encoded = Encode<std::uint32_t>({value});
    std::copy(encoded.begin(), encoded.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void SetFirstDirectory(std::uint32_t offset) { PutU32(4, offset); }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  ByteOrder order_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace pixavue::platform::test
