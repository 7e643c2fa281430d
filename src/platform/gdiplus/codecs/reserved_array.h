#pragma once
// `count` values of T, reserved against the current load's budget before
// they are allocated, so that a decoder's working memory counts like the
// pixels it produces.

#include <cstdint>
#include <memory>
#include <new>

#include "../load_budget.h"

namespace pixavue::platform::gdiplus {

template <typename T>
class ReservedArray final {
 public:
  // False, with nothing held, when `count` is 0 or past 2 GiB of values, or
  // when the budget or the allocator cannot spare them.
  bool Allocate(std::uint64_t count) {
    data_.reset();
    reservation_ = BudgetReservation{};
    if (count == 0 || count > (std::uint64_t{1} << 31) / sizeof(T)) return false;
    auto reservation = BudgetReservation::Take(count * sizeof(T));
    if (!reservation) return false;
    data_.reset(new (std::nothrow) T[count]());
    if (!data_) return false;
    reservation_ = std::move(*reservation);
    count_ = count;
    return true;
  }
  T* data() const { return data_.get(); }
  std::uint64_t size() const { return data_ ? count_ : 0; }

 private:
  BudgetReservation reservation_;  // declared first: given back after the values are freed
  std::unique_ptr<T[]> data_;
  std::uint64_t count_ = 0;
};

}  // namespace pixavue::platform::gdiplus
