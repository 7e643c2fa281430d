#pragma once
// Where each destination pixel samples its source along one axis, and with
// which weights: nearest neighbour, bilinear and bicubic kernels, widened by
// the reduction factor (after an optional box reduction by a whole factor)
// when the high-quality modes shrink.

#include <cstdint>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

// Weights are fixed point with this many fraction bits; each pixel's
// weights sum to exactly 1 << kWeightBits.
inline constexpr int kWeightBits = 14;
inline constexpr std::int32_t kWeightOne = 1 << kWeightBits;

enum class ResampleKernel { Nearest, Bilinear, Bicubic };

struct ResampleQuality final {
  ResampleKernel kernel = ResampleKernel::Bilinear;
  // Widen the kernel (and box-reduce first) when shrinking, so that detail
  // finer than a destination pixel averages out instead of aliasing.
  bool prefilter = false;
  // Sample centres at +0.5 (pixel offset half or high quality); otherwise
  // device and image pixels both have their centres on whole coordinates.
  bool halfPixelOffset = false;
};

// The interpolation and pixel offset modes of a graphics object as a
// resampling quality (Default and LowQuality are bilinear, HighQuality is
// high-quality bicubic).
ResampleQuality QualityOf(InterpolationMode interpolation, PixelOffsetMode pixelOffset);

// One axis of a draw: the source span [sourceStart, sourceStart + sourceSize)
// in image pixels is shown on the destination span [destStart, destStart +
// destSize) in device pixels; `mirrored` reverses it. Only source pixels
// [sourceLow, sourceHigh] are ever read: samples outside are clamped to the
// edge pixels. Device pixels [outFirst, outFirst + outCount) are computed.
struct AxisMapping final {
  double sourceStart = 0;
  double sourceSize = 0;
  double destStart = 0;
  double destSize = 0;
  bool mirrored = false;
  std::int32_t sourceLow = 0;
  std::int32_t sourceHigh = 0;
  std::int32_t outFirst = 0;
  std::int32_t outCount = 0;
};

// The source position (pixel centres on whole numbers) that device pixel
// `device` samples.
double SampleCentre(const AxisMapping& mapping, bool halfPixelOffset, std::int32_t device);

// The weights of one axis. Output i reads `taps` consecutive inputs from
// first[i], with weights[i * taps + k]. Inputs are source pixels from
// sourceLow, or, when boxFactor > 1, averages of boxFactor source pixels
// each (input j covers sourceLow + j * boxFactor onwards, the last one
// possibly fewer).
struct AxisWeights final {
  std::int32_t taps = 0;
  std::int32_t boxFactor = 1;
  std::int32_t sourceLow = 0;
  std::int32_t sourceCount = 0;  // source pixels from sourceLow that may be read
  std::int32_t inputCount = 0;
  std::vector<std::int32_t> first;
  std::vector<std::int16_t> weights;

  std::int32_t outCount() const noexcept { return static_cast<std::int32_t>(first.size()); }
};

// Builds the weights; OutOfMemory when the tables would be unreasonably
// large (a tiny destination of an enormous source span).
GpStatus BuildAxisWeights(const AxisMapping& mapping, const ResampleQuality& quality, AxisWeights& out);

}  // namespace pixavue::platform::gdiplus
