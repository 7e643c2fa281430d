#include "scaler_bands.h"

#include <algorithm>
#include <new>
#include <thread>
#include <vector>

#include "draw_thread_pool.h"

namespace pixavue::platform::gdiplus {
namespace {

// Below this much work sharing it among threads costs more than it saves.
constexpr double kThreadedWork = 4e6;

GpStatus RunBand(const BandFunction& band, std::atomic<bool>& stop, std::int32_t begin, std::int32_t end,
                 bool asksAbort, DrawImageAbort abort, void* abortData) {
  BandControl control(stop, asksAbort, abort, abortData);
  try {
    return band(begin, end, control);
  } catch (const std::bad_alloc&) {
    control.Stop();
    return OutOfMemory;
  }
}

}  // namespace

bool WorthSplitting(double work, std::int32_t rows) {
  return rows >= 2 && work >= kThreadedWork && std::thread::hardware_concurrency() > 1;
}

GpStatus RunInBands(std::int32_t rows, bool split, DrawImageAbort abort, void* abortData, const BandFunction& band) {
  std::atomic<bool> stop{false};
  DrawThreadPool& pool = SessionDrawThreads();
  const std::int32_t bands = split ? std::min(rows, pool.Threads()) : 1;
  if (bands <= 1) return RunBand(band, stop, 0, rows, true, abort, abortData);
  std::vector<GpStatus> statuses(static_cast<std::size_t>(bands), Ok);
  pool.Run(bands, [&](std::int32_t i) {
    const std::int32_t begin = static_cast<std::int32_t>(std::int64_t{rows} * i / bands);
    const std::int32_t end = static_cast<std::int32_t>(std::int64_t{rows} * (i + 1) / bands);
    // Only the calling thread, which always runs band 0, asks the callback.
    statuses[static_cast<std::size_t>(i)] = RunBand(band, stop, begin, end, i == 0, abort, abortData);
  });
  for (const GpStatus status : statuses) {
    if (status == OutOfMemory) return OutOfMemory;
  }
  for (const GpStatus status : statuses) {
    if (status != Ok) return status;
  }
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
