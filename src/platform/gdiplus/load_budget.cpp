#include "load_budget.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>

namespace pixavue::platform {
namespace {

std::atomic<std::uint64_t> g_decodeMemoryBudget{kDefaultDecodeMemoryBudget};

}  // namespace

void SetDecodeMemoryBudget(std::uint64_t bytes) noexcept {
  g_decodeMemoryBudget.store(bytes == 0 ? kDefaultDecodeMemoryBudget : bytes, std::memory_order_relaxed);
}

std::uint64_t GetDecodeMemoryBudget() noexcept { return g_decodeMemoryBudget.load(std::memory_order_relaxed); }

}  // namespace pixavue::platform

namespace pixavue::platform::gdiplus {
namespace {

thread_local std::shared_ptr<LoadBudget> t_current;

}  // namespace

// Counters of one budget. A load runs on one thread, but a buffer it made may
// be freed on another, so the counters are atomic.
struct LoadBudget::State final {
  explicit State(std::uint64_t memoryLimit) : limit(memoryLimit) {}

  bool Reserve(std::uint64_t bytes) noexcept {
    std::uint64_t now = committed.load(std::memory_order_relaxed);
    do {
      if (bytes > limit || now > limit - bytes) return false;
    } while (!committed.compare_exchange_weak(now, now + bytes, std::memory_order_relaxed));
    std::uint64_t high = peak.load(std::memory_order_relaxed);
    while (now + bytes > high && !peak.compare_exchange_weak(high, now + bytes, std::memory_order_relaxed)) {
    }
    return true;
  }

  void Release(std::uint64_t bytes) noexcept { committed.fetch_sub(bytes, std::memory_order_relaxed); }

  const std::uint64_t limit;
  std::atomic<std::uint64_t> committed{0};
  std::atomic<std::uint64_t> peak{0};
  std::atomic<std::uint64_t> work{0};
};

LoadBudget::LoadBudget(std::uint64_t memoryLimit) : state_(std::make_shared<State>(memoryLimit)) {}

bool LoadBudget::Reserve(std::uint64_t bytes) noexcept { return state_->Reserve(bytes); }

void LoadBudget::Release(std::uint64_t bytes) noexcept { state_->Release(bytes); }

bool LoadBudget::ChargeWork(std::uint64_t units) noexcept {
  const std::uint64_t done = state_->work.fetch_add(units, std::memory_order_relaxed) + units;
  const std::uint64_t allowance = kBaseWorkUnits + kWorkUnitsPerByte * peak();
  return done >= units && done <= allowance;  // the first test catches wrap-around
}

std::uint64_t LoadBudget::Available() const noexcept {
  const std::uint64_t used = committed();
  return used >= limit() ? 0 : limit() - used;
}

std::uint64_t LoadBudget::limit() const noexcept { return state_->limit; }
std::uint64_t LoadBudget::committed() const noexcept { return state_->committed.load(std::memory_order_relaxed); }
std::uint64_t LoadBudget::peak() const noexcept { return state_->peak.load(std::memory_order_relaxed); }
std::uint64_t LoadBudget::work() const noexcept { return state_->work.load(std::memory_order_relaxed); }

LoadBudgetScope::LoadBudgetScope() : LoadBudgetScope(GetDecodeMemoryBudget()) {}

LoadBudgetScope::LoadBudgetScope(std::uint64_t memoryLimit)
    : budget_(t_current ? t_current : std::make_shared<LoadBudget>(memoryLimit)), previous_(t_current) {
  t_current = budget_;
}

LoadBudgetScope::~LoadBudgetScope() { t_current = previous_; }

LoadBudget* CurrentLoadBudget() noexcept { return t_current.get(); }

bool ChargeLoadWork(std::uint64_t units) noexcept {
  LoadBudget* budget = CurrentLoadBudget();
  return budget == nullptr || budget->ChargeWork(units);
}

BudgetReservation::~BudgetReservation() { Give(); }

BudgetReservation::BudgetReservation(BudgetReservation&& other) noexcept
    : state_(std::move(other.state_)), bytes_(std::exchange(other.bytes_, 0)) {}

BudgetReservation& BudgetReservation::operator=(BudgetReservation&& other) noexcept {
  if (this != &other) {
    Give();
    state_ = std::move(other.state_);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

std::optional<BudgetReservation> BudgetReservation::Take(std::uint64_t bytes) noexcept {
  BudgetReservation reservation;
  if (LoadBudget* budget = CurrentLoadBudget()) {
    if (!budget->Reserve(bytes)) return std::nullopt;
    reservation.state_ = budget->state();
  }
  reservation.bytes_ = bytes;
  return reservation;
}

bool BudgetReservation::Resize(std::uint64_t bytes) noexcept {
  if (state_ && bytes > bytes_ && !state_->Reserve(bytes - bytes_)) return false;
  if (state_ && bytes < bytes_) state_->Release(bytes_ - bytes);
  bytes_ = bytes;
  return true;
}

void BudgetReservation::Give() noexcept {
  if (state_) state_->Release(bytes_);
  state_.reset();
  bytes_ = 0;
}

}  // namespace pixavue::platform::gdiplus
