#pragma once
// The thread's random numbers, behind image ids and temporary file names.

#include <cstdint>

namespace pixavue::engine {

// A number from first to last, both included, drawn from the thread's
// generator (seeded once per thread from the system's entropy source).
std::int32_t RandomInRange(std::int32_t first, std::int32_t last);

}  // namespace pixavue::engine
