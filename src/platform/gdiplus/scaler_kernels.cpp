#include "scaler_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "resample_weights.h"
#include "scaler_kernels_wide.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::int32_t kRounding = 1 << (kWeightBits - 1);

// Channel sums back to a pixel: scaled down, clamped to 0..255 and to the
// alpha channel.
inline std::uint32_t PackSums(const std::int32_t* sums) {
  std::int32_t c[4];
  for (int k = 0; k < 4; ++k) c[k] = std::clamp((sums[k] + kRounding) >> kWeightBits, 0, 255);
  for (int k = 0; k < 3; ++k) c[k] = std::min(c[k], c[3]);
  return static_cast<std::uint32_t>(c[0] | (c[1] << 8) | (c[2] << 16) | (c[3] << 24));
}

inline void AddWeighted(std::uint32_t pixel, std::int32_t weight, std::int32_t* sums) {
  for (int k = 0; k < 4; ++k) sums[k] += static_cast<std::int32_t>((pixel >> (8 * k)) & 0xFF) * weight;
}

#if defined(__SSE2__)
inline __m128i LoadPixel(const std::uint32_t* p) { return _mm_cvtsi32_si128(static_cast<int>(*p)); }

// Two 16-bit weights as the pair that _mm_madd_epi16 multiplies with
// interleaved channels of two pixels.
inline __m128i WeightPair(std::int16_t first, std::int16_t second) {
  return _mm_set1_epi32(static_cast<int>(static_cast<std::uint16_t>(first) |
                                         (static_cast<std::uint32_t>(static_cast<std::uint16_t>(second)) << 16)));
}

// Keeps colour channels at or below alpha.
inline __m128i ClampToAlpha(__m128i v) {
  __m128i a = _mm_srli_epi32(v, 24);
  a = _mm_or_si128(a, _mm_slli_epi32(a, 8));
  a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  return _mm_min_epu8(v, a);
}

// 32-bit sums of up to four pixels to packed, clamped pixels.
inline __m128i PackFour(__m128i s0, __m128i s1, __m128i s2, __m128i s3) {
  const __m128i low = _mm_packs_epi32(_mm_srai_epi32(s0, kWeightBits), _mm_srai_epi32(s1, kWeightBits));
  const __m128i high = _mm_packs_epi32(_mm_srai_epi32(s2, kWeightBits), _mm_srai_epi32(s3, kWeightBits));
  return ClampToAlpha(_mm_packus_epi16(low, high));
}
#endif

}  // namespace

#if defined(__SSE2__)
namespace {

// Two adjacent 16-bit weights as the pair _mm_madd_epi16 multiplies with
// the interleaved channels of two pixels.
inline __m128i WeightsAt(const std::int16_t* w) {
  std::int32_t pair;
  std::memcpy(&pair, w, 4);
  return _mm_set1_epi32(pair);
}

// Weighted channel sums of one output, taps taken two at a time (an odd
// last tap alone).
inline __m128i RowSums(const std::uint32_t* p, const std::int16_t* w, std::int32_t taps) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sums = _mm_set1_epi32(kRounding);
  std::int32_t k = 0;
  for (; k + 1 < taps; k += 2) {
    const __m128i pair = _mm_unpacklo_epi8(_mm_unpacklo_epi8(LoadPixel(p + k), LoadPixel(p + k + 1)), zero);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(pair, WeightsAt(w + k)));
  }
  if (k < taps) {
    const __m128i single = _mm_unpacklo_epi8(_mm_unpacklo_epi8(LoadPixel(p + k), zero), zero);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(single, WeightPair(w[k], 0)));
  }
  return _mm_srai_epi32(sums, kWeightBits);
}

}  // namespace
#endif

void FilterRow(const std::uint32_t* in, const std::int32_t* first, const std::int16_t* weights, std::int32_t taps,
               std::uint32_t count, std::uint32_t* out) {
  const auto stride = static_cast<std::size_t>(taps);
  std::uint32_t i = FilterRowWide(in, first, weights, taps, count, out);
#if defined(__SSE2__)
  // Two outputs at a time share the packing.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 2 <= count; i += 2) {
    const __m128i a = RowSums(in + first[i], weights + i * stride, taps);
    const __m128i b = RowSums(in + first[i + 1], weights + (i + 1) * stride, taps);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), ClampToAlpha(_mm_packus_epi16(_mm_packs_epi32(a, b), zero)));
  }
  for (; i < count; ++i) {
    const __m128i a = RowSums(in + first[i], weights + i * stride, taps);
    out[i] =
        static_cast<std::uint32_t>(_mm_cvtsi128_si32(ClampToAlpha(_mm_packus_epi16(_mm_packs_epi32(a, zero), zero))));
  }
#else
  for (; i < count; ++i) {
    const std::uint32_t* p = in + first[i];
    const std::int16_t* w = weights + i * stride;
    std::int32_t sums[4] = {};
    for (std::int32_t k = 0; k < taps; ++k) AddWeighted(p[k], w[k], sums);
    out[i] = PackSums(sums);
  }
#endif
}

void FilterColumns(const std::uint32_t* const* rows, const std::int16_t* weights, std::int32_t taps,
                   std::uint32_t count, std::uint32_t* out) {
  std::uint32_t x = FilterColumnsWide(rows, weights, taps, count, out);
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; x + 4 <= count; x += 4) {
    __m128i s0 = _mm_set1_epi32(kRounding);
    __m128i s1 = s0;
    __m128i s2 = s0;
    __m128i s3 = s0;
    for (std::int32_t k = 0; k < taps; k += 2) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + x));
      const bool paired = k + 1 < taps;
      const __m128i b = paired ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k + 1] + x)) : zero;
      const __m128i w = WeightPair(weights[k], paired ? weights[k + 1] : 0);
      const __m128i low = _mm_unpacklo_epi8(a, b);
      const __m128i high = _mm_unpackhi_epi8(a, b);
      s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), w));
      s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), w));
      s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), w));
      s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), w));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), PackFour(s0, s1, s2, s3));
  }
#endif
  for (; x < count; ++x) {
    std::int32_t sums[4] = {};
    for (std::int32_t k = 0; k < taps; ++k) AddWeighted(rows[k][x], weights[k], sums);
    out[x] = PackSums(sums);
  }
}

void GatherRow(const std::uint32_t* in, const std::int32_t* index, std::uint32_t count, std::uint32_t* out) {
  for (std::uint32_t i = 0; i < count; ++i) out[i] = in[index[i]];
}

void AddToColumnSums(const std::uint32_t* row, std::uint32_t count, std::uint16_t* sums) {
  std::uint32_t x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; x + 4 <= count; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    auto* s = reinterpret_cast<__m128i*>(sums + std::size_t{x} * 4);
    _mm_storeu_si128(s, _mm_add_epi16(_mm_loadu_si128(s), _mm_unpacklo_epi8(v, zero)));
    _mm_storeu_si128(s + 1, _mm_add_epi16(_mm_loadu_si128(s + 1), _mm_unpackhi_epi8(v, zero)));
  }
#endif
  for (; x < count; ++x) {
    for (int k = 0; k < 4; ++k) {
      sums[std::size_t{x} * 4 + k] =
          static_cast<std::uint16_t>(sums[std::size_t{x} * 4 + k] + ((row[x] >> (8 * k)) & 0xFF));
    }
  }
}

namespace {

#if defined(__SSE2__)
// Column sums of four pixels over `Rows` rows (a constant, so the loop over
// the rows unrolls), from column x.
template <int Rows>
inline void SumFour(const std::uint32_t* const* rows, std::int32_t rowCount, std::uint32_t x, std::uint16_t* sums) {
  const __m128i zero = _mm_setzero_si128();
  __m128i low = zero;
  __m128i high = zero;
  const std::int32_t count = Rows > 0 ? Rows : rowCount;
  for (std::int32_t r = 0; r < count; ++r) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + x));
    low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
    high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
  }
  auto* s = reinterpret_cast<__m128i*>(sums + std::size_t{x} * 4);
  _mm_storeu_si128(s, low);
  _mm_storeu_si128(s + 1, high);
}

template <int Rows>
std::uint32_t SumAllFours(const std::uint32_t* const* rows, std::int32_t rowCount, std::uint32_t count,
                          std::uint16_t* sums) {
  std::uint32_t x = 0;
  for (; x + 4 <= count; x += 4) SumFour<Rows>(rows, rowCount, x, sums);
  return x;
}
#endif

}  // namespace

void SumColumns(const std::uint32_t* const* rows, std::int32_t rowCount, std::uint32_t count, std::uint16_t* sums) {
  std::uint32_t x = 0;
#if defined(__SSE2__)
  switch (rowCount) {
    case 2:
      x = SumAllFours<2>(rows, rowCount, count, sums);
      break;
    case 3:
      x = SumAllFours<3>(rows, rowCount, count, sums);
      break;
    case 4:
      x = SumAllFours<4>(rows, rowCount, count, sums);
      break;
    default:
      x = SumAllFours<0>(rows, rowCount, count, sums);
      break;
  }
#endif
  std::fill(sums + std::size_t{x} * 4, sums + std::size_t{count} * 4, std::uint16_t{0});
  for (std::int32_t r = 0; r < rowCount; ++r) AddToColumnSums(rows[r] + x, count - x, sums + std::size_t{x} * 4);
}

namespace {

#if defined(__SSE2__)
// Two whole boxes of `Step` columns at a time (a constant, so that the sum
// unrolls; 0 takes `step`), summed in 16 bits; returns the columns done.
template <std::uint32_t Step>
std::uint32_t AverageBoxPairs(const std::uint16_t* sums, std::uint32_t columns, std::uint32_t step, __m128 scale,
                              std::uint32_t* out) {
  const std::uint32_t width = Step > 0 ? Step : step;
  const __m128i zero = _mm_setzero_si128();
  std::uint32_t begin = 0;
  std::uint32_t i = 0;
  for (; begin + 2 * width <= columns; begin += 2 * width, i += 2) {
    __m128i total = zero;
    for (std::uint32_t k = 0; k < width; ++k) {
      const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + std::size_t{begin + k} * 4));
      const __m128i second =
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + std::size_t{begin + width + k} * 4));
      total = _mm_add_epi16(total, _mm_unpacklo_epi64(first, second));
    }
    const __m128i low = _mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpacklo_epi16(total, zero)), scale));
    const __m128i high = _mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_unpackhi_epi16(total, zero)), scale));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(_mm_packs_epi32(low, high), zero));
  }
  return begin;
}
#endif

}  // namespace

void AverageBoxes(const std::uint16_t* sums, std::uint32_t columns, std::int32_t factor, std::uint32_t rows,
                  std::uint32_t* out) {
  const auto step = static_cast<std::uint32_t>(factor);
  std::uint32_t begin = 0;
#if defined(__SSE2__)
  // Summed in 16 bits while that cannot overflow.
  if (std::uint64_t{step} * rows * 255 <= 0xFFFF) {
    const __m128 scale = _mm_set1_ps(1.0f / static_cast<float>(step * rows));
    switch (step) {
      case 2:
        begin = AverageBoxPairs<2>(sums, columns, step, scale, out);
        break;
      case 3:
        begin = AverageBoxPairs<3>(sums, columns, step, scale, out);
        break;
      case 4:
        begin = AverageBoxPairs<4>(sums, columns, step, scale, out);
        break;
      case 5:
        begin = AverageBoxPairs<5>(sums, columns, step, scale, out);
        break;
      case 6:
        begin = AverageBoxPairs<6>(sums, columns, step, scale, out);
        break;
      case 8:
        begin = AverageBoxPairs<8>(sums, columns, step, scale, out);
        break;
      default:
        begin = AverageBoxPairs<0>(sums, columns, step, scale, out);
        break;
    }
  }
#endif
  for (std::uint32_t i = begin / step; begin < columns; begin += step, ++i) {
    const std::uint32_t end = std::min(columns, begin + step);
    const float scale = 1.0f / static_cast<float>((end - begin) * rows);
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i total = zero;
    for (std::uint32_t x = begin; x < end; ++x) {
      const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + std::size_t{x} * 4));
      total = _mm_add_epi32(total, _mm_unpacklo_epi16(v, zero));
    }
    const __m128i mean = _mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(total), _mm_set1_ps(scale)));
    const __m128i packed = _mm_packs_epi32(mean, zero);
    out[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(packed, zero)));
#else
    std::uint32_t pixel = 0;
    for (int k = 0; k < 4; ++k) {
      std::uint32_t total = 0;
      for (std::uint32_t x = begin; x < end; ++x) total += sums[std::size_t{x} * 4 + k];
      pixel |= static_cast<std::uint32_t>(static_cast<float>(total) * scale + 0.5f) << (8 * k);
    }
    out[i] = pixel;
#endif
  }
}

}  // namespace pixavue::platform::gdiplus
