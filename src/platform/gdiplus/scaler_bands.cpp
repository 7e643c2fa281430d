#include "scaler_bands.h"

#include <new>
#include <system_error>
#include <thread>

namespace pixavue::platform::gdiplus {
namespace {

// Below this much work a second thread costs more than it saves.
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

bool WorthTwoThreads(double work, std::int32_t rows) {
  return rows >= 2 && work >= kThreadedWork && std::thread::hardware_concurrency() > 1;
}

GpStatus RunInBands(std::int32_t rows, bool twoThreads, DrawImageAbort abort, void* abortData,
                    const BandFunction& band) {
  std::atomic<bool> stop{false};
  if (!twoThreads) return RunBand(band, stop, 0, rows, true, abort, abortData);
  const std::int32_t middle = rows / 2;
  GpStatus second = Ok;
  std::thread worker;
  try {
    worker = std::thread([&] { second = RunBand(band, stop, middle, rows, false, abort, abortData); });
  } catch (const std::system_error&) {
    return RunBand(band, stop, 0, rows, true, abort, abortData);
  }
  const GpStatus first = RunBand(band, stop, 0, middle, true, abort, abortData);
  worker.join();
  if (first == OutOfMemory || second == OutOfMemory) return OutOfMemory;
  return first != Ok ? first : second;
}

}  // namespace pixavue::platform::gdiplus
