#include "tiff_float_samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

// IEEE 754 binary16 to single precision, subnormals, infinities and NaN
// included.
float HalfToFloat(std::uint16_t half) {
  const std::uint32_t sign = (std::uint32_t{half} & 0x8000u) << 16;
  const std::uint32_t exponent = (half >> 10) & 0x1Fu;
  const std::uint32_t mantissa = half & 0x3FFu;
  if (exponent == 0x1F) return std::bit_cast<float>(sign | 0x7F800000u | (mantissa << 13));
  if (exponent != 0) return std::bit_cast<float>(sign | ((exponent + 112) << 23) | (mantissa << 13));
  const float magnitude = std::ldexp(static_cast<float>(mantissa), -24);
  return sign != 0 ? -magnitude : magnitude;
}

double LoadSample(const std::uint8_t* at, std::uint16_t bytes) {
  switch (bytes) {
    case 2: {
      std::uint16_t half;
      std::memcpy(&half, at, sizeof half);
      return HalfToFloat(half);
    }
    case 4: {
      float single;
      std::memcpy(&single, at, sizeof single);
      return single;
    }
    default: {
      double value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
  }
}

std::uint16_t Scale(double value, const TiffFloatRange& range, bool invert) {
  double unit = std::isnan(value) ? 0.0 : (value - range.low) / (range.high - range.low);
  unit = std::clamp(unit, 0.0, 1.0);
  if (invert) unit = 1.0 - unit;
  return static_cast<std::uint16_t>(std::lround(unit * 65535.0));
}

void Store16(std::uint8_t* at, std::uint16_t value) { std::memcpy(at, &value, sizeof value); }

}  // namespace

std::optional<TiffFloatRange> UsableFloatRange(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || !std::isfinite(high - low)) return std::nullopt;
  return TiffFloatRange{low, high};
}

void TiffFloatRangeScan::Add(const std::uint8_t* samples, std::uint32_t width) {
  const std::size_t pixelBytes = std::size_t{layout_.samplesPerPixel} * layout_.bytesPerSample;
  for (std::uint32_t x = 0; x < width; ++x, samples += pixelBytes) {
    for (std::uint16_t c = 0; c < layout_.channels; ++c) {
      const double value = LoadSample(samples + std::size_t{c} * layout_.bytesPerSample, layout_.bytesPerSample);
      if (!std::isfinite(value)) continue;
      low_ = any_ ? std::min(low_, value) : value;
      high_ = any_ ? std::max(high_, value) : value;
      any_ = true;
    }
  }
}

TiffFloatRange TiffFloatRangeScan::Result() const {
  if (const auto range = UsableFloatRange(low_, high_)) return *range;
  // Every finite value alike: take in 0..1 around it.
  return UsableFloatRange(std::min(low_, 0.0), std::max(high_, 1.0)).value_or(TiffFloatRange{});
}

void ConvertFloatRow(const TiffFloatLayout& layout, const TiffFloatRange& range, const std::uint8_t* in,
                     std::uint32_t width, std::uint8_t* out) {
  const std::size_t pixelBytes = std::size_t{layout.samplesPerPixel} * layout.bytesPerSample;
  for (std::uint32_t x = 0; x < width; ++x, in += pixelBytes, out += 6) {
    if (layout.channels == 1) {
      const std::uint16_t grey = Scale(LoadSample(in, layout.bytesPerSample), range, layout.minIsWhite);
      Store16(out, grey);
      Store16(out + 2, grey);
      Store16(out + 4, grey);
      continue;
    }
    for (int c = 0; c < 3; ++c) {
      const double value = LoadSample(in + std::size_t(c) * layout.bytesPerSample, layout.bytesPerSample);
      Store16(out + 2 * (2 - c), Scale(value, range, false));
    }
  }
}

}  // namespace pixavue::platform::gdiplus
