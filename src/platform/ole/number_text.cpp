#include "number_text.h"

#include <charconv>
#include <system_error>

namespace pixavue::platform::ole_detail {
namespace {

template <class T>
std::optional<T> ParseWhole(std::string_view text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || stop != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

NumberText::NumberText(float value) noexcept {
  size_ = static_cast<std::size_t>(std::to_chars(chars_, chars_ + sizeof chars_, value).ptr - chars_);
}

NumberText::NumberText(double value) noexcept {
  size_ = static_cast<std::size_t>(std::to_chars(chars_, chars_ + sizeof chars_, value).ptr - chars_);
}

NumberText::NumberText(std::int32_t value) noexcept {
  size_ = static_cast<std::size_t>(std::to_chars(chars_, chars_ + sizeof chars_, value).ptr - chars_);
}

std::optional<float> ParseFloat(std::string_view text) noexcept { return ParseWhole<float>(text); }
std::optional<double> ParseDouble(std::string_view text) noexcept { return ParseWhole<double>(text); }
std::optional<std::int16_t> ParseInt16(std::string_view text) noexcept { return ParseWhole<std::int16_t>(text); }
std::optional<std::int32_t> ParseInt32(std::string_view text) noexcept { return ParseWhole<std::int32_t>(text); }

}  // namespace pixavue::platform::ole_detail
