// Sampling positions and kernel weights of one axis of a draw.

#include "resample_weights.h"

#include <algorithm>
#include <cmath>

namespace pixavue::platform::gdiplus {
namespace {

// Whole-factor box reductions stop here; the kernel widens for the rest.
constexpr std::int32_t kMaxBoxFactor = 64;
// Bound on the weight table (entries) and on kernel evaluations.
constexpr std::int64_t kMaxTableEntries = std::int64_t{1} << 26;

constexpr double kCubicA = -0.5;

double KernelRadius(ResampleKernel kernel) { return kernel == ResampleKernel::Bicubic ? 2.0 : 1.0; }

double KernelAt(ResampleKernel kernel, double x) {
  x = std::fabs(x);
  if (kernel == ResampleKernel::Bilinear) return x < 1.0 ? 1.0 - x : 0.0;
  if (x < 1.0) return ((kCubicA + 2.0) * x - (kCubicA + 3.0)) * x * x + 1.0;
  if (x < 2.0) return ((kCubicA * x - 5.0 * kCubicA) * x + 8.0 * kCubicA) * x - 4.0 * kCubicA;
  return 0.0;
}

// Weights of one output in fixed point, over inputs [first, first + size).
struct OutputTaps {
  std::int32_t first = 0;
  std::int32_t count = 0;
  std::size_t offset = 0;  // into the shared list
};

class AxisBuilder final {
 public:
  AxisBuilder(const AxisMapping& mapping, const ResampleQuality& quality) : m_(mapping), q_(quality) {
    const double scale = m_.sourceSize / m_.destSize;
    if (q_.prefilter && q_.kernel != ResampleKernel::Nearest && scale >= 2.0) {
      box_ = static_cast<std::int32_t>(std::min<double>(kMaxBoxFactor, std::floor(scale)));
    }
    const std::int32_t span = m_.sourceHigh - m_.sourceLow + 1;
    inputs_ = (span + box_ - 1) / box_;
    filterScale_ = q_.prefilter ? std::max(1.0, scale / box_) : 1.0;
  }

  GpStatus Build(AxisWeights& out) {
    const double radius = KernelRadius(q_.kernel) * filterScale_;
    const double reach = q_.kernel == ResampleKernel::Nearest ? 1.0 : 2.0 * radius + 2.0;
    if (reach * m_.outCount > static_cast<double>(kMaxTableEntries)) return OutOfMemory;
    taps_.reserve(static_cast<std::size_t>(m_.outCount));
    for (std::int32_t i = 0; i < m_.outCount; ++i) {
      const double centre = SampleCentre(m_, q_.halfPixelOffset, m_.outFirst + i);
      const double input = (centre - m_.sourceLow + 0.5) / box_ - 0.5;
      if (q_.kernel == ResampleKernel::Nearest) {
        AddNearest(input);
      } else {
        AddFiltered(input, radius);
      }
    }
    return Pack(out);
  }

 private:
  std::int32_t ClampInput(double j) const {
    return static_cast<std::int32_t>(std::clamp(j, 0.0, static_cast<double>(inputs_ - 1)));
  }

  void AddNearest(double input) {
    taps_.push_back({ClampInput(std::floor(input + 0.5)), 1, weights_.size()});
    weights_.push_back(kWeightOne);
  }

  // Kernel weights around `input`; taps past either end fold onto the edge
  // input, so edges are clamped rather than faded.
  void AddFiltered(double input, double radius) {
    const double from = std::floor(input - radius) + 1.0;
    const double to = std::ceil(input + radius) - 1.0;
    const std::int32_t low = ClampInput(from);
    const std::int32_t high = ClampInput(to);
    dense_.assign(static_cast<std::size_t>(high - low + 1), 0.0);
    double total = 0.0;
    for (double j = from; j <= to; j += 1.0) {
      const double w = KernelAt(q_.kernel, (j - input) / filterScale_);
      dense_[static_cast<std::size_t>(ClampInput(j) - low)] += w;
      total += w;
    }
    if (!(total > 1e-12)) return AddNearest(input);
    std::size_t begin = 0;
    std::size_t end = dense_.size();
    while (begin + 1 < end && std::fabs(dense_[begin]) < 1e-9) ++begin;
    while (end - 1 > begin && std::fabs(dense_[end - 1]) < 1e-9) --end;
    Quantize(low + static_cast<std::int32_t>(begin), begin, end, total);
  }

  // Rounds to fixed point and puts the rounding error on the largest
  // weight, so that the sum is exactly one.
  void Quantize(std::int32_t first, std::size_t begin, std::size_t end, double total) {
    const std::size_t offset = weights_.size();
    std::int32_t sum = 0;
    std::size_t largest = offset;
    for (std::size_t k = begin; k < end; ++k) {
      const auto w = static_cast<std::int32_t>(std::lround(dense_[k] / total * kWeightOne));
      weights_.push_back(static_cast<std::int16_t>(std::clamp(w, -32768, 32767)));
      sum += weights_.back();
      if (std::abs(weights_.back()) > std::abs(weights_[largest])) largest = weights_.size() - 1;
    }
    weights_[largest] = static_cast<std::int16_t>(weights_[largest] + (kWeightOne - sum));
    taps_.push_back({first, static_cast<std::int32_t>(end - begin), offset});
  }

  // Every output gets the same number of taps: the window is moved inside
  // the inputs and padded with zero weights.
  GpStatus Pack(AxisWeights& out) const {
    std::int32_t taps = 1;
    for (const OutputTaps& t : taps_) taps = std::max(taps, t.count);
    // An even count lets the filters take taps in pairs.
    if (taps % 2 != 0 && taps > 1) ++taps;
    taps = std::min(taps, inputs_);
    if (static_cast<std::int64_t>(taps) * m_.outCount > kMaxTableEntries) return OutOfMemory;
    out.taps = taps;
    out.boxFactor = box_;
    out.sourceLow = m_.sourceLow;
    out.sourceCount = m_.sourceHigh - m_.sourceLow + 1;
    out.inputCount = inputs_;
    out.first.resize(taps_.size());
    out.weights.assign(taps_.size() * static_cast<std::size_t>(taps), 0);
    for (std::size_t i = 0; i < taps_.size(); ++i) {
      const OutputTaps& t = taps_[i];
      const std::int32_t first = std::min(t.first, inputs_ - taps);
      out.first[i] = first;
      std::int16_t* row = out.weights.data() + i * static_cast<std::size_t>(taps);
      std::copy_n(weights_.data() + t.offset, t.count, row + (t.first - first));
    }
    return Ok;
  }

  const AxisMapping& m_;
  const ResampleQuality& q_;
  std::int32_t box_ = 1;
  std::int32_t inputs_ = 1;
  double filterScale_ = 1.0;
  std::vector<OutputTaps> taps_;
  std::vector<std::int16_t> weights_;
  std::vector<double> dense_;
};

}  // namespace

double SampleCentre(const AxisMapping& m, bool halfPixelOffset, std::int32_t device) {
  const double offset = halfPixelOffset ? 0.5 : 0.0;
  const double centre = m.sourceStart + (device + offset - m.destStart) * m.sourceSize / m.destSize - offset;
  return m.mirrored ? 2.0 * m.sourceStart + m.sourceSize - 1.0 - centre : centre;
}

ResampleQuality QualityOf(InterpolationMode interpolation, PixelOffsetMode pixelOffset) {
  ResampleQuality quality;
  switch (interpolation) {
    case InterpolationModeNearestNeighbor:
      quality.kernel = ResampleKernel::Nearest;
      break;
    case InterpolationModeBicubic:
      quality.kernel = ResampleKernel::Bicubic;
      break;
    case InterpolationModeHighQualityBilinear:
      quality.prefilter = true;
      break;
    case InterpolationModeHighQuality:
    case InterpolationModeHighQualityBicubic:
      quality.kernel = ResampleKernel::Bicubic;
      quality.prefilter = true;
      break;
    default:  // Default, LowQuality and Bilinear
      break;
  }
  quality.halfPixelOffset = pixelOffset == PixelOffsetModeHalf || pixelOffset == PixelOffsetModeHighQuality;
  return quality;
}

GpStatus BuildAxisWeights(const AxisMapping& mapping, const ResampleQuality& quality, AxisWeights& out) {
  if (mapping.outCount <= 0 || mapping.sourceHigh < mapping.sourceLow || !(mapping.destSize > 0.0) ||
      !(mapping.sourceSize > 0.0)) {
    return InvalidParameter;
  }
  return AxisBuilder(mapping, quality).Build(out);
}

}  // namespace pixavue::platform::gdiplus
