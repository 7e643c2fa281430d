#pragma once
// How much memory one image load may commit. Every decode (a file, a
// stream, a frame selected later) counts the decoded pixels and everything
// its decoder allocates against this budget, and a load that would need more
// is refused with OutOfMemory before the allocation is made. The setting is
// process-wide and applies to loads that start after the call.

#include <cstdint>

namespace pixavue::platform {

inline constexpr std::uint64_t kDefaultDecodeMemoryBudget = std::uint64_t{1} << 30;  // 1 GiB

// 0 restores the default.
void SetDecodeMemoryBudget(std::uint64_t bytes) noexcept;
std::uint64_t GetDecodeMemoryBudget() noexcept;

}  // namespace pixavue::platform
