#include <pixavue/platform/ole/variant.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <type_traits>

namespace pixavue::platform {
namespace {

template <class T>
bool SameValue(const T& left, const T& right) {
  if constexpr (std::is_floating_point_v<T>) {
    return std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(left) ==
           std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(right);
  } else {
    return left == right;
  }
}

}  // namespace

VARTYPE Variant::Type() const noexcept {
  constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_BOOL, VT_I2, VT_I4, VT_R4, VT_R8, VT_BSTR};
  static_assert(std::size(kTypes) == std::variant_size_v<Value>);
  return kTypes[value_.index()];
}

bool operator==(const Variant& left, const Variant& right) noexcept {
  if (left.value_.index() != right.value_.index()) return false;
  return std::visit(
      [&right](const auto& leftValue) {
        using T = std::decay_t<decltype(leftValue)>;
        return SameValue(leftValue, std::get<T>(right.value_));
      },
      left.value_);
}

}  // namespace pixavue::platform
