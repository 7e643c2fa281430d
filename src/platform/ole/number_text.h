#pragma once
// Numbers as text, shared by the property-bag text form and the string
// conversions of Variant, so both accept and produce the same syntax:
// std::to_chars / std::from_chars, independent of the locale.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pixavue::platform::ole_detail {

// Holds the text of one number; large enough for any double.
class NumberText final {
 public:
  explicit NumberText(float value) noexcept;
  explicit NumberText(double value) noexcept;
  explicit NumberText(std::int32_t value) noexcept;

  std::string_view View() const noexcept { return {chars_, size_}; }

 private:
  char chars_[48] = {};
  std::size_t size_ = 0;
};

// The number spelt by the whole text, or nullopt (extra characters, a value
// outside the type's range).
std::optional<float> ParseFloat(std::string_view text) noexcept;
std::optional<double> ParseDouble(std::string_view text) noexcept;
std::optional<std::int16_t> ParseInt16(std::string_view text) noexcept;
std::optional<std::int32_t> ParseInt32(std::string_view text) noexcept;

}  // namespace pixavue::platform::ole_detail
