#pragma once
// Splitting a draw into bands of destination rows: one band on the calling
// thread, or one per thread of the session's draw threads for large draws.
// The calling thread's band asks the abort callback every few rows; any
// band that sees the stop flag returns early.

#include <atomic>
#include <cstdint>
#include <functional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

// How often (destination rows) the calling thread asks the abort callback.
inline constexpr std::int32_t kAbortInterval = 16;

// Decides, before each row of a band, whether to go on.
class BandControl final {
 public:
  BandControl(std::atomic<bool>& stop, bool asksAbort, DrawImageAbort abort, void* abortData)
      : stop_(stop), asksAbort_(asksAbort), abort_(abort), abortData_(abortData) {}

  // False when the band must stop; `done` counts the band's rows so far.
  bool Continue(std::int32_t done) {
    if (asksAbort_ && abort_ != nullptr && done % kAbortInterval == 0 && abort_(abortData_) != 0) stop_ = true;
    return !stop_;
  }
  void Stop() { stop_ = true; }

 private:
  std::atomic<bool>& stop_;
  bool asksAbort_;
  DrawImageAbort abort_;
  void* abortData_;
};

// Runs band(begin, end, control) over rows [0, rows). With `split` the
// rows are shared out in equal bands among the session's draw threads (on
// the calling thread alone when there are none). A band returns Ok,
// Aborted or OutOfMemory; OutOfMemory wins, then the first band's status.
using BandFunction = std::function<GpStatus(std::int32_t begin, std::int32_t end, BandControl& control)>;
GpStatus RunInBands(std::int32_t rows, bool split, DrawImageAbort abort, void* abortData, const BandFunction& band);

// True when a draw of this much work (pixel operations, roughly) is worth
// sharing among threads on this machine.
bool WorthSplitting(double work, std::int32_t rows);

}  // namespace pixavue::platform::gdiplus
