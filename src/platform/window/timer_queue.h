#pragma once
// The timer bookkeeping shared by the timer functions and the message queue.

#include <cstdint>
#include <memory>
#include <optional>

#include "thread_state.h"

namespace pixavue::platform::detail {

// The live, not currently firing timer due earliest (ties: set first), when
// it is due at or before `limitMs`; any timer when there is no limit.
std::shared_ptr<TimerRecord> EarliestDueTimer(std::optional<std::int64_t> limitMs);

// Calls the timer and schedules its next firing one interval after the time
// it fired at (unless it was killed or restarted meanwhile).
void FireTimer(const std::shared_ptr<TimerRecord>& timer);

// Fires every timer due at `nowMs`, each at most once.
void FireDueTimers(std::int64_t nowMs);

// Keeps each timer's remaining time when the clock changes.
void RebaseTimers(std::int64_t oldNowMs, std::int64_t newNowMs);

}  // namespace pixavue::platform::detail
