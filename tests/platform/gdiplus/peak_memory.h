#pragma once
// Measures what one load costs: it runs in a forked child, whose growth in
// resident memory and whose time are reported back, so that a load that
// would take gigabytes is measured without disturbing the test process.

#include <cstdint>
#include <functional>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::platform::test {

// Sanitizers keep shadow memory and quarantines, so resident sizes under
// them say nothing about the code; memory bounds are checked only without.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentSizesMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kResidentSizesMeaningful = false;
#else
inline constexpr bool kResidentSizesMeaningful = true;
#endif
#else
inline constexpr bool kResidentSizesMeaningful = true;
#endif

struct ChildRun final {
  bool finished = false;       // the child exited normally within its time limit
  GpStatus status = GenericError;
  std::uint64_t peakBytes = 0;  // resident peak above the child's size at the start
  double seconds = 0;           // of the load alone
};

// Runs `load` in a child process that is killed after `timeLimitSeconds`.
ChildRun RunInChild(const std::function<GpStatus()>& load, unsigned timeLimitSeconds = 60);

// The bound every load keeps: `factor` times the decoded pixels plus 64 MiB.
inline std::uint64_t PeakAllowance(std::uint64_t pixelBytes, double factor = 1.25) {
  return static_cast<std::uint64_t>(static_cast<double>(pixelBytes) * factor) + (std::uint64_t{64} << 20);
}

}  // namespace pixavue::platform::test
