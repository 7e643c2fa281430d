#include "scaler.h"

#include <algorithm>
#include <new>
#include <vector>

#include "composite.h"
#include "draw_source.h"
#include "scaler_bands.h"
#include "scaler_columns.h"
#include "scaler_kernels.h"

namespace pixavue::platform::gdiplus {
namespace {

// Relative cost of one tap of a row filter (one pixel at a time) against
// one of a column filter (four pixels at a time).
constexpr double kRowTapCost = 3.0;

// Box rows read into a block of at most this many pixels (16 KiB), and
// chunks of at least this many columns.
constexpr std::uint32_t kSumBlockPixels = 4096;
constexpr std::uint32_t kMinSumChunk = 64;

// What the bands share: the columns' input span, weights relative to it,
// and the order of the two passes.
struct Plan final {
  std::int32_t inputFirst = 0;  // first input column read
  std::int32_t inputCount = 0;
  std::uint32_t sourceX = 0;  // source columns behind those inputs
  std::uint32_t sourceCount = 0;
  // The source columns an input row is read from: the run above, or only
  // the columns the weights use (then `first` indexes those).
  SourceColumns reads;
  std::vector<std::int32_t> first;  // relative to inputFirst
  bool identity = false;            // output column i is input column i
  // Filter input rows vertically first, then the one result horizontally;
  // otherwise filter each input row horizontally, then combine them.
  bool verticalFirst = false;
  double work = 0;
};

Plan MakePlan(const AxisWeights& columns, const AxisWeights& rows, bool picks) {
  Plan plan;
  const auto [low, high] = std::minmax_element(columns.first.begin(), columns.first.end());
  plan.inputFirst = *low;
  plan.inputCount = *high + columns.taps - *low;
  const std::int32_t begin = plan.inputFirst * columns.boxFactor;
  const std::int32_t end = std::min(columns.sourceCount, (plan.inputFirst + plan.inputCount) * columns.boxFactor);
  plan.sourceX = static_cast<std::uint32_t>(columns.sourceLow + begin);
  plan.sourceCount = static_cast<std::uint32_t>(end - begin);
  plan.first.reserve(columns.first.size());
  for (const std::int32_t first : columns.first) plan.first.push_back(first - plan.inputFirst);
  // Pixel taps of each order, the row filter weighing more.
  const double outWidth = columns.outCount();
  const double outHeight = rows.outCount();
  const double inputRows = std::min<double>(rows.inputCount, outHeight * rows.taps);
  const double rowTap = columns.taps == 1 ? 1.0 : kRowTapCost;  // a gather is cheap
  const double horizontalFirst = inputRows * outWidth * columns.taps * rowTap + outHeight * outWidth * rows.taps;
  const double verticalFirst = outHeight * plan.inputCount * rows.taps + outHeight * outWidth * columns.taps * rowTap;
  plan.verticalFirst = rows.taps > 1 && verticalFirst < horizontalFirst;
  const double boxing =
      (columns.boxFactor > 1 || rows.boxFactor > 1) ? static_cast<double>(plan.sourceCount) * rows.sourceCount : 0.0;
  plan.work = std::min(horizontalFirst, verticalFirst) + boxing;
  plan.reads.x = plan.sourceX;
  plan.reads.count = plan.sourceCount;
  if (picks && boxing == 0.0) PickUsedColumns(columns.taps, plan.sourceX, plan.first, plan.inputCount, plan.reads);
  plan.identity = columns.taps == 1;
  for (std::size_t i = 0; i < plan.first.size(); ++i) {
    if (plan.first[i] != static_cast<std::int32_t>(i)) plan.identity = false;
  }
  return plan;
}

// Rows kept by index in a ring of `taps` slots: with windows that move
// monotonically, the rows of one window never share a slot.
class RowRing final {
 public:
  void Reset(std::int32_t slots, std::size_t width) {
    store_.resize(static_cast<std::size_t>(slots) * width);
    index_.assign(static_cast<std::size_t>(slots), -1);
    pointer_.assign(static_cast<std::size_t>(slots), nullptr);
    width_ = width;
  }
  std::size_t Slot(std::int32_t j) const { return static_cast<std::size_t>(j) % index_.size(); }
  bool Holds(std::int32_t j) const { return index_[Slot(j)] == j; }
  const std::uint32_t* Get(std::int32_t j) const { return pointer_[Slot(j)]; }
  std::uint32_t* Storage(std::int32_t j) { return store_.data() + Slot(j) * width_; }
  void Set(std::int32_t j, const std::uint32_t* row) {
    index_[Slot(j)] = j;
    pointer_[Slot(j)] = row;
  }

 private:
  std::vector<std::uint32_t> store_;
  std::vector<std::int32_t> index_;
  std::vector<const std::uint32_t*> pointer_;
  std::size_t width_ = 0;
};

class BandScaler final {
 public:
  BandScaler(const ScaleJob& job, const Plan& plan)
      : job_(job),
        columns_(*job.columns),
        rows_(*job.rows),
        plan_(plan),
        source_(*job.source, job.adjuster),
        compositor_(*job.target),
        width_(static_cast<std::uint32_t>(columns_.outCount())),
        boxed_(columns_.boxFactor > 1 || rows_.boxFactor > 1),
        straight_(!boxed_ && plan_.identity && rows_.taps == 1 && source_.opaque()) {}

  // Draws output rows [begin, end).
  GpStatus Run(std::int32_t begin, std::int32_t end, BandControl& control) {
    PrepareBuffers();
    const auto x = static_cast<std::uint32_t>(job_.targetX);
    for (std::int32_t o = begin; o < end; ++o) {
      if (!control.Continue(o - begin)) return Aborted;
      const auto index = static_cast<std::size_t>(o);
      const auto y = static_cast<std::uint32_t>(job_.targetY + o);
      if (straight_) {
        if (std::uint32_t* row = compositor_.OpaqueRow(x, y)) {
          // Opaque pixels one to one: read straight into the target row.
          source_.RowInto(static_cast<std::uint32_t>(rows_.sourceLow + rows_.first[index]), plan_.reads, row);
          continue;
        }
      }
      const std::uint32_t* line = rows_.taps == 1       ? FilteredRow(rows_.first[index])
                                  : plan_.verticalFirst ? VerticalFirstRow(index)
                                                        : HorizontalFirstRow(index);
      if (source_.opaque()) {
        compositor_.Store(line, x, y, width_);
      } else {
        compositor_.Over(line, x, y, width_);
      }
    }
    return Ok;
  }

 private:
  void PrepareBuffers() {
    const auto inputs = static_cast<std::size_t>(plan_.inputCount);
    if (boxed_) {
      sums_.resize(std::size_t{plan_.sourceCount} * 4);
      boxes_.resize(inputs);
      boxRows_.resize(static_cast<std::size_t>(rows_.boxFactor));
      chunk_ = std::max<std::uint32_t>(kMinSumChunk, kSumBlockPixels / static_cast<std::uint32_t>(rows_.boxFactor));
      if (source_.CanPick()) block_.resize(std::size_t{chunk_} * static_cast<std::size_t>(rows_.boxFactor));
    }
    line_.resize(width_);
    if (rows_.taps == 1) return;
    pointers_.resize(static_cast<std::size_t>(rows_.taps));
    if (plan_.verticalFirst) {
      middle_.resize(inputs);
      inputRing_.Reset(rows_.taps, (boxed_ || !source_.direct()) ? inputs : 0);
    } else {
      filteredRing_.Reset(rows_.taps, width_);
    }
  }

  // Input row j over the plan's input columns: source pixels or box
  // averages. Valid until the next call unless the source is direct.
  const std::uint32_t* InputRow(std::int32_t j) {
    if (!boxed_) return source_.Row(static_cast<std::uint32_t>(rows_.sourceLow + j), plan_.reads);
    const std::int32_t top = j * rows_.boxFactor;
    const std::int32_t bottom = std::min(rows_.sourceCount, top + rows_.boxFactor);
    const auto rowOf = [&](std::int32_t y) {
      return source_.Row(static_cast<std::uint32_t>(rows_.sourceLow + y), plan_.sourceX, plan_.sourceCount);
    };
    if (source_.direct()) {
      // Rows of the frame itself: summed in one pass.
      for (std::int32_t y = top; y < bottom; ++y) boxRows_[static_cast<std::size_t>(y - top)] = rowOf(y);
      SumColumns(boxRows_.data(), bottom - top, plan_.sourceCount, sums_.data());
    } else if (source_.CanPick()) {
      SumReadRows(top, bottom);
    } else {
      std::fill(sums_.begin(), sums_.end(), std::uint16_t{0});
      for (std::int32_t y = top; y < bottom; ++y) AddToColumnSums(rowOf(y), plan_.sourceCount, sums_.data());
    }
    AverageBoxes(sums_.data(), plan_.sourceCount, columns_.boxFactor, static_cast<std::uint32_t>(bottom - top),
                 boxes_.data());
    return boxes_.data();
  }

  // Input row j kept in `storage`: read straight into it when it can be.
  const std::uint32_t* InputRowInto(std::int32_t j, std::uint32_t* storage) {
    if (!boxed_ && source_.CanPick()) {
      source_.RowInto(static_cast<std::uint32_t>(rows_.sourceLow + j), plan_.reads, storage);
    } else {
      std::copy_n(InputRow(j), plan_.inputCount, storage);
    }
    return storage;
  }

  // Column sums of source rows [top, bottom): a chunk of columns of every
  // row is read into a block small enough for the first-level cache, then
  // summed in one pass as the frame's own rows are.
  void SumReadRows(std::int32_t top, std::int32_t bottom) {
    const auto sourceTop = static_cast<std::uint32_t>(rows_.sourceLow + top);
    const auto sourceBottom = static_cast<std::uint32_t>(rows_.sourceLow + bottom);
    if (source_.SumRows(sourceTop, sourceBottom, plan_.sourceX, plan_.sourceCount, sums_.data())) return;
    const auto count = static_cast<std::size_t>(bottom - top);
    for (std::uint32_t done = 0; done < plan_.sourceCount; done += chunk_) {
      const std::uint32_t n = std::min(chunk_, plan_.sourceCount - done);
      for (std::size_t r = 0; r < count; ++r) {
        std::uint32_t* row = block_.data() + r * chunk_;
        source_.RunInto(static_cast<std::uint32_t>(rows_.sourceLow + top) + static_cast<std::uint32_t>(r),
                        plan_.sourceX + done, n, row);
        boxRows_[r] = row;
      }
      SumColumns(boxRows_.data(), static_cast<std::int32_t>(count), n, sums_.data() + std::size_t{done} * 4);
    }
  }

  void HorizontalInto(const std::uint32_t* input, std::uint32_t* out) const {
    if (columns_.taps == 1) {
      GatherRow(input, plan_.first.data(), width_, out);
    } else {
      FilterRow(input, plan_.first.data(), columns_.weights.data(), columns_.taps, width_, out);
    }
  }

  const std::uint32_t* Horizontal(const std::uint32_t* input, std::uint32_t* out) const {
    if (plan_.identity) return input;
    HorizontalInto(input, out);
    return out;
  }

  // One tap vertically: input row j filtered horizontally, kept while the
  // next output rows use the same row (enlarging).
  const std::uint32_t* FilteredRow(std::int32_t j) {
    if (j != lastRow_) {
      lastLine_ = Horizontal(InputRow(j), line_.data());
      lastRow_ = j;
    }
    return lastLine_;
  }

  const std::uint32_t* HorizontalFirstRow(std::size_t o) {
    const std::int32_t first = rows_.first[o];
    for (std::int32_t k = 0; k < rows_.taps; ++k) {
      const std::int32_t j = first + k;
      if (!filteredRing_.Holds(j)) {
        std::uint32_t* stored = filteredRing_.Storage(j);
        HorizontalInto(InputRow(j), stored);
        filteredRing_.Set(j, stored);
      }
      pointers_[static_cast<std::size_t>(k)] = filteredRing_.Get(j);
    }
    FilterColumns(pointers_.data(), rows_.weights.data() + o * static_cast<std::size_t>(rows_.taps), rows_.taps, width_,
                  line_.data());
    return line_.data();
  }

  // Starts loading the source rows of output o's window that are not held,
  // so that they arrive while this row is filtered.
  void PrefetchWindow(std::size_t o) {
    if (boxed_ || o >= rows_.first.size()) return;
    for (std::int32_t k = 0; k < rows_.taps; ++k) {
      const std::int32_t j = rows_.first[o] + k;
      if (!inputRing_.Holds(j)) source_.Prefetch(static_cast<std::uint32_t>(rows_.sourceLow + j), plan_.sourceX, plan_.sourceCount);
    }
  }

  const std::uint32_t* VerticalFirstRow(std::size_t o) {
    const std::int32_t first = rows_.first[o];
    const bool stable = !boxed_ && source_.direct();
    for (std::int32_t k = 0; k < rows_.taps; ++k) {
      const std::int32_t j = first + k;
      if (!inputRing_.Holds(j)) {
        const std::uint32_t* input = stable ? InputRow(j) : InputRowInto(j, inputRing_.Storage(j));
        inputRing_.Set(j, input);
      }
      pointers_[static_cast<std::size_t>(k)] = inputRing_.Get(j);
    }
    PrefetchWindow(o + 1);
    FilterColumns(pointers_.data(), rows_.weights.data() + o * static_cast<std::size_t>(rows_.taps), rows_.taps,
                  static_cast<std::uint32_t>(plan_.inputCount), middle_.data());
    return Horizontal(middle_.data(), line_.data());
  }

  const ScaleJob& job_;
  const AxisWeights& columns_;
  const AxisWeights& rows_;
  const Plan& plan_;
  DrawSourceRows source_;
  RowCompositor compositor_;
  std::uint32_t width_;
  bool boxed_;
  bool straight_;  // each output pixel is one source pixel, opaque
  std::vector<std::uint16_t> sums_;
  std::vector<std::uint32_t> boxes_;
  std::vector<const std::uint32_t*> boxRows_;
  std::uint32_t chunk_ = 0;           // columns of a block row
  std::vector<std::uint32_t> block_;  // box rows read a chunk at a time
  std::vector<std::uint32_t> line_;
  std::vector<std::uint32_t> middle_;
  std::vector<const std::uint32_t*> pointers_;
  RowRing inputRing_;
  RowRing filteredRing_;
  std::int32_t lastRow_ = -1;
  const std::uint32_t* lastLine_ = nullptr;
};

}  // namespace

GpStatus RunScaleJob(const ScaleJob& job) {
  Plan plan;
  try {
    const bool picks = !DrawSourceRows::ReadsInPlace(*job.source, job.adjuster) && job.adjuster == nullptr &&
                       PremultipliedReader::Handles(job.source->pixels.format());
    plan = MakePlan(*job.columns, *job.rows, picks);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  const std::int32_t rows = job.rows->outCount();
  return RunInBands(rows, WorthSplitting(plan.work, rows), job.abort, job.abortData,
                    [&](std::int32_t begin, std::int32_t end, BandControl& control) {
                      BandScaler band(job, plan);
                      return band.Run(begin, end, control);
                    });
}

}  // namespace pixavue::platform::gdiplus
