// Wider variants of the scaler's inner loops for processors that have them
// (checked at run time): the column filter eight pixels at a time with
// AVX2, the row filter with one SSSE3 shuffle per pair of taps. The
// arithmetic is the SSE2 loops', lane for lane, so results are the same.

#include "scaler_kernels_wide.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#include <tmmintrin.h>

#include "resample_weights.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::int32_t kRounding = 1 << (kWeightBits - 1);

__attribute__((target("avx2"))) inline __m256i ClampToAlpha8(__m256i v) {
  __m256i a = _mm256_srli_epi32(v, 24);
  a = _mm256_or_si256(a, _mm256_slli_epi32(a, 8));
  a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
  return _mm256_min_epu8(v, a);
}

__attribute__((target("avx2"))) std::uint32_t FilterColumnsAvx2(const std::uint32_t* const* rows,
                                                                const std::int16_t* weights, std::int32_t taps,
                                                                std::uint32_t count, std::uint32_t* out) {
  const __m256i zero = _mm256_setzero_si256();
  std::uint32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    // Per 128-bit half: s0 and s1 the first two pixels of the half, s2 and
    // s3 the other two, as the SSE2 loop has them.
    __m256i s0 = _mm256_set1_epi32(kRounding);
    __m256i s1 = s0;
    __m256i s2 = s0;
    __m256i s3 = s0;
    for (std::int32_t k = 0; k < taps; k += 2) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + x));
      const bool paired = k + 1 < taps;
      const __m256i b = paired ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k + 1] + x)) : zero;
      const auto second = static_cast<std::uint16_t>(paired ? weights[k + 1] : 0);
      const __m256i w = _mm256_set1_epi32(
          static_cast<int>(static_cast<std::uint16_t>(weights[k]) | (static_cast<std::uint32_t>(second) << 16)));
      const __m256i low = _mm256_unpacklo_epi8(a, b);
      const __m256i high = _mm256_unpackhi_epi8(a, b);
      s0 = _mm256_add_epi32(s0, _mm256_madd_epi16(_mm256_unpacklo_epi8(low, zero), w));
      s1 = _mm256_add_epi32(s1, _mm256_madd_epi16(_mm256_unpackhi_epi8(low, zero), w));
      s2 = _mm256_add_epi32(s2, _mm256_madd_epi16(_mm256_unpacklo_epi8(high, zero), w));
      s3 = _mm256_add_epi32(s3, _mm256_madd_epi16(_mm256_unpackhi_epi8(high, zero), w));
    }
    const __m256i first = _mm256_packs_epi32(_mm256_srai_epi32(s0, kWeightBits), _mm256_srai_epi32(s1, kWeightBits));
    const __m256i last = _mm256_packs_epi32(_mm256_srai_epi32(s2, kWeightBits), _mm256_srai_epi32(s3, kWeightBits));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), ClampToAlpha8(_mm256_packus_epi16(first, last)));
  }
  return x;
}

// Sums of one output, its taps two at a time: each pixel pair in one 8-byte
// load, spread by one shuffle into the channel pairs _mm_madd_epi16 takes.
// `Taps` is a constant for the common counts (0 takes `taps`).
template <std::int32_t Taps>
__attribute__((target("ssse3"))) inline __m128i PairedSums(const std::uint32_t* p, const std::int16_t* w,
                                                            std::int32_t taps) {
  const std::int32_t count = Taps > 0 ? Taps : taps;
  const __m128i pairs = _mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
  __m128i sums = _mm_set1_epi32(kRounding);
  for (std::int32_t k = 0; k < count; k += 2) {
    const __m128i pixels = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + k));
    std::int32_t weights;
    std::memcpy(&weights, w + k, 4);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(_mm_shuffle_epi8(pixels, pairs), _mm_set1_epi32(weights)));
  }
  return _mm_srai_epi32(sums, kWeightBits);
}

__attribute__((target("ssse3"))) inline __m128i ClampToAlpha4(__m128i v) {
  __m128i a = _mm_srli_epi32(v, 24);
  a = _mm_or_si128(a, _mm_slli_epi32(a, 8));
  a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  return _mm_min_epu8(v, a);
}

// Four outputs a step, packed together.
template <std::int32_t Taps>
__attribute__((target("ssse3"))) std::uint32_t FilterRowPairsSsse3(const std::uint32_t* in, const std::int32_t* first,
                                                                  const std::int16_t* weights, std::int32_t taps,
                                                                  std::uint32_t count, std::uint32_t* out) {
  const auto stride = static_cast<std::size_t>(Taps > 0 ? Taps : taps);
  std::uint32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i a = PairedSums<Taps>(in + first[i], weights + i * stride, taps);
    const __m128i b = PairedSums<Taps>(in + first[i + 1], weights + (i + 1) * stride, taps);
    const __m128i c = PairedSums<Taps>(in + first[i + 2], weights + (i + 2) * stride, taps);
    const __m128i d = PairedSums<Taps>(in + first[i + 3], weights + (i + 3) * stride, taps);
    const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), ClampToAlpha4(packed));
  }
  return i;
}

}  // namespace

std::uint32_t FilterRowWide(const std::uint32_t* in, const std::int32_t* first, const std::int16_t* weights,
                            std::int32_t taps, std::uint32_t count, std::uint32_t* out) {
  static const bool hasSsse3 = __builtin_cpu_supports("ssse3");
  // Odd counts (only where a source is narrower than the kernel) stay with
  // the SSE2 loop, which takes a last tap alone.
  if (!hasSsse3 || taps % 2 != 0) return 0;
  switch (taps) {
    case 2:
      return FilterRowPairsSsse3<2>(in, first, weights, taps, count, out);
    case 4:
      return FilterRowPairsSsse3<4>(in, first, weights, taps, count, out);
    case 6:
      return FilterRowPairsSsse3<6>(in, first, weights, taps, count, out);
    case 8:
      return FilterRowPairsSsse3<8>(in, first, weights, taps, count, out);
    default:
      return FilterRowPairsSsse3<0>(in, first, weights, taps, count, out);
  }
}

std::uint32_t FilterColumnsWide(const std::uint32_t* const* rows, const std::int16_t* weights, std::int32_t taps,
                                std::uint32_t count, std::uint32_t* out) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  return hasAvx2 ? FilterColumnsAvx2(rows, weights, taps, count, out) : 0;
}

}  // namespace pixavue::platform::gdiplus

#else

namespace pixavue::platform::gdiplus {

std::uint32_t FilterRowWide(const std::uint32_t*, const std::int32_t*, const std::int16_t*, std::int32_t,
                            std::uint32_t, std::uint32_t*) {
  return 0;
}

std::uint32_t FilterColumnsWide(const std::uint32_t* const*, const std::int16_t*, std::int32_t, std::uint32_t,
                                std::uint32_t*) {
  return 0;
}

}  // namespace pixavue::platform::gdiplus

#endif
