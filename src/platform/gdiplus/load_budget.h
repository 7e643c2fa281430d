#pragma once
// The memory and work of one load. A LoadBudgetScope makes a budget current
// on its thread for the length of a decode; PixelBuffer allocations and the
// decoders' own working buffers take reservations from it, and the codecs
// charge the work they do (rows decoded, scans, frames composited) so that a
// small file cannot make the layer loop for long.
//
// A reservation keeps the budget's state alive, so a buffer made during a
// load may outlive the load and still give its bytes back when it goes.

#include <cstdint>
#include <memory>
#include <optional>

namespace pixavue::platform::gdiplus {

// A unit of work is about one byte read, written or compared. The base
// allowance covers the fixed costs of a small file; beyond it a load may do
// kWorkUnitsPerByte units for each byte of memory it committed at its peak,
// so work grows with what the load produces, not with what the file claims.
inline constexpr std::uint64_t kBaseWorkUnits = std::uint64_t{1} << 28;
inline constexpr std::uint64_t kWorkUnitsPerByte = 16;

class LoadBudget final {
 public:
  struct State;

  explicit LoadBudget(std::uint64_t memoryLimit);

  // False, with nothing reserved, when `bytes` more would pass the limit.
  bool Reserve(std::uint64_t bytes) noexcept;
  void Release(std::uint64_t bytes) noexcept;
  // False once the work charged so far passes the allowance.
  bool ChargeWork(std::uint64_t units) noexcept;
  // Bytes still free under the limit.
  std::uint64_t Available() const noexcept;

  std::uint64_t limit() const noexcept;
  std::uint64_t committed() const noexcept;
  std::uint64_t peak() const noexcept;
  std::uint64_t work() const noexcept;

  const std::shared_ptr<State>& state() const noexcept { return state_; }

 private:
  std::shared_ptr<State> state_;
};

// Makes a budget current for one load. A scope opened while another is
// current joins it: a codec that decodes an embedded image (a PNG inside an
// icon) spends the same budget as the load around it.
class LoadBudgetScope final {
 public:
  LoadBudgetScope();
  explicit LoadBudgetScope(std::uint64_t memoryLimit);
  ~LoadBudgetScope();
  LoadBudgetScope(const LoadBudgetScope&) = delete;
  LoadBudgetScope& operator=(const LoadBudgetScope&) = delete;

  LoadBudget& budget() noexcept { return *budget_; }

 private:
  std::shared_ptr<LoadBudget> budget_;
  std::shared_ptr<LoadBudget> previous_;
};

// The budget of the load running on this thread, or null outside a load.
LoadBudget* CurrentLoadBudget() noexcept;

// Charges work to the current load; true outside a load.
bool ChargeLoadWork(std::uint64_t units) noexcept;

// Bytes held against a budget, given back when the reservation goes.
// Outside a load a reservation is always granted and counts nothing.
class BudgetReservation final {
 public:
  BudgetReservation() = default;
  ~BudgetReservation();
  BudgetReservation(BudgetReservation&& other) noexcept;
  BudgetReservation& operator=(BudgetReservation&& other) noexcept;
  BudgetReservation(const BudgetReservation&) = delete;
  BudgetReservation& operator=(const BudgetReservation&) = delete;

  // Nullopt when the current load cannot spare `bytes`.
  static std::optional<BudgetReservation> Take(std::uint64_t bytes) noexcept;

  std::uint64_t bytes() const noexcept { return bytes_; }
  // Grows or shrinks the reservation; false, unchanged, when the budget
  // cannot spare the growth.
  bool Resize(std::uint64_t bytes) noexcept;

 private:
  void Give() noexcept;

  std::shared_ptr<LoadBudget::State> state_;
  std::uint64_t bytes_ = 0;
};

}  // namespace pixavue::platform::gdiplus
