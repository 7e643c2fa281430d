#pragma once
// Loads of hostile files measured in a child process: the file is written
// to the test's folder and loaded through the flat interface with the
// decode budget the case asks for, so that neither a refused gigabyte nor a
// raised budget touches the test process.

#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_decode_budget.h>

#include "gdiplus_test_support.h"
#include "peak_memory.h"

namespace pixavue::platform::test {

inline constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

class HostileLoadTest : public GdiplusTest {
 protected:
  // `budget` 0 keeps the default.
  ChildRun LoadInChild(const std::vector<std::uint8_t>& bytes, std::uint64_t budget = 0,
                       const std::string& name = "hostile.bin") {
    const auto path = temp_dir() / name;
    WriteFile(path, bytes);
    const std::u16string wide = Wide(path);
    return RunInChild([&] {
      SetDecodeMemoryBudget(budget);
      GpImage* image = nullptr;
      return GdipLoadImageFromFile(wide.c_str(), &image);
    });
  }

  // The status of a load in this process, for cases that cost little.
  GpStatus LoadStatus(const std::vector<std::uint8_t>& bytes, const std::string& name = "hostile.bin") {
    const auto path = temp_dir() / name;
    WriteFile(path, bytes);
    ImageGuard image;
    return GdipLoadImageFromFile(Wide(path).c_str(), image.out());
  }
};

// The peak of a refused or cheap load: the file and the library's fixed costs.
inline constexpr std::uint64_t kSmallPeak = 32 * kMiB;

// Resident peaks mean nothing under sanitizers.
inline void ExpectPeakBelow(const ChildRun& run, std::uint64_t bound) {
  if (kResidentSizesMeaningful) {
    EXPECT_LT(run.peakBytes, bound) << "peak " << run.peakBytes / kMiB << " MiB";
  }
}

}  // namespace pixavue::platform::test
