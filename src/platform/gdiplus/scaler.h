#pragma once
// Resamples an area of a frame with separable weights and composites the
// result onto a target frame, row by row: source rows are converted to
// premultiplied pixels, box-reduced when the weights ask for it, filtered
// horizontally into a small ring of rows and then vertically. Large jobs
// are shared among the session's draw threads, each on its own band of
// destination rows.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"
#include "image_attributes.h"
#include "resample_weights.h"

namespace pixavue::platform::gdiplus {

struct ScaleJob final {
  const Frame* source = nullptr;
  const ColorAdjuster* adjuster = nullptr;  // may be null
  const AxisWeights* columns = nullptr;
  const AxisWeights* rows = nullptr;
  Frame* target = nullptr;
  // Target pixel of output (0, 0); the outputs must lie inside the target.
  std::int32_t targetX = 0;
  std::int32_t targetY = 0;
  DrawImageAbort abort = nullptr;
  void* abortData = nullptr;
};

// Ok, Aborted when the abort callback asked to stop (rows drawn so far
// stay), or OutOfMemory.
GpStatus RunScaleJob(const ScaleJob& job);

}  // namespace pixavue::platform::gdiplus
