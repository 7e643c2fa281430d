// The row loops of PremultipliedReader that carry the most pixels: 24-bit
// pixels widened to opaque 32-bit ones or summed down columns, picked
// columns, and straight 32-bit ARGB premultiplied. SSE2 is the x86-64
// baseline; the 24-bit loops have SSSE3 variants (and widening an AVX2
// one: one byte shuffle per four or eight pixels), chosen at run time when
// the processor has them. Plain loops elsewhere and for the ends of rows.

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#include <tmmintrin.h>
#define PIXAVUE_X86_VARIANTS 1
#endif

#include "pixel_channels.h"
#include "premultiplied_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

using namespace channels;

constexpr std::uint32_t kOpaque = 0xFF000000u;

// Four pixels from three 32-bit words of packed B, G, R bytes.
void Rgb24Plain(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out) {
  std::uint32_t i = 0;
  for (; i + 4 <= count; i += 4, in += 12) {
    const std::uint32_t w0 = Load32(in);
    const std::uint32_t w1 = Load32(in + 4);
    const std::uint32_t w2 = Load32(in + 8);
    out[i] = w0 | kOpaque;
    out[i + 1] = (w0 >> 24) | (w1 << 8) | kOpaque;
    out[i + 2] = (w1 >> 16) | (w2 << 16) | kOpaque;
    out[i + 3] = (w2 >> 8) | kOpaque;
  }
  for (; i < count; ++i, in += 3) out[i] = Pack32(255, in[2], in[1], in[0]);
}

#if defined(PIXAVUE_X86_VARIANTS)
__attribute__((target("ssse3"))) void Rgb24Ssse3(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(kOpaque));
  std::uint32_t i = 0;
  // Each load reads 16 bytes for 12: stop while the 4 extra are in the run.
  for (; i + 6 <= count; i += 4, in += 12) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(_mm_shuffle_epi8(bytes, spread), alpha));
  }
  Rgb24Plain(in, count - i, out + i);
}

// Eight pixels a step: 24 bytes spread over the two halves (12 each), then
// one shuffle per half.
__attribute__((target("avx2"))) void Rgb24Avx2(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out) {
  const __m256i halves = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                          0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(kOpaque));
  std::uint32_t i = 0;
  // Each load reads 32 bytes for 24: stop while the 8 extra are in the run.
  for (; i + 11 <= count; i += 8, in += 24) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    const __m256i placed = _mm256_permutevar8x32_epi32(bytes, halves);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(_mm256_shuffle_epi8(placed, spread), alpha));
  }
  Rgb24Plain(in, count - i, out + i);
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

#if defined(PIXAVUE_X86_VARIANTS)
// Four pixels of each row a step: one 16-byte load per row, spread by two
// shuffles into 16-bit channels (alpha lanes 0) and added up; the alpha
// sums, 255 a row, are set at the end.
__attribute__((target("ssse3"))) std::uint32_t SumRgb24Ssse3(const std::uint8_t* const* rows, std::int32_t rowCount,
                                                              std::uint32_t count, std::uint16_t* sums) {
  const __m128i first = _mm_setr_epi8(0, -1, 1, -1, 2, -1, -1, -1, 3, -1, 4, -1, 5, -1, -1, -1);
  const __m128i second = _mm_setr_epi8(6, -1, 7, -1, 8, -1, -1, -1, 9, -1, 10, -1, 11, -1, -1, -1);
  const auto alphaSum = static_cast<short>(255 * rowCount);
  const __m128i alpha = _mm_setr_epi16(0, 0, 0, alphaSum, 0, 0, 0, alphaSum);
  std::uint32_t x = 0;
  // Each load reads 16 bytes for 12: stop while the 4 extra are in the run.
  for (; x + 6 <= count; x += 4) {
    __m128i low = alpha;
    __m128i high = alpha;
    for (std::int32_t r = 0; r < rowCount; ++r) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + std::size_t{x} * 3));
      low = _mm_add_epi16(low, _mm_shuffle_epi8(bytes, first));
      high = _mm_add_epi16(high, _mm_shuffle_epi8(bytes, second));
    }
    auto* out = reinterpret_cast<__m128i*>(sums + std::size_t{x} * 4);
    _mm_storeu_si128(out, low);
    _mm_storeu_si128(out + 1, high);
  }
  return x;
}
#endif

void Rgb24ToOpaque(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out) {
#if defined(PIXAVUE_X86_VARIANTS)
  if (HasAvx2()) return Rgb24Avx2(in, count, out);
  if (HasSsse3()) return Rgb24Ssse3(in, count, out);
#endif
  Rgb24Plain(in, count, out);
}

void PickWords(const std::uint8_t* row, std::uint32_t bytes, std::uint32_t width, const std::uint32_t* columns,
               std::uint32_t count, std::uint32_t fill, std::uint32_t* out) {
  const std::uint32_t keep = bytes == 3 ? 0x00FFFFFFu : 0xFFFFFFFFu;
  // A 24-bit pixel is read as a 32-bit word but for the row's last one,
  // whose fourth byte may lie past the buffer; the columns increase, so
  // only the last picks can be it.
  std::uint32_t wide = count;
  while (bytes == 3 && wide > 0 && columns[wide - 1] + 1 >= width) --wide;
  // (An AVX2 gather measured no faster than these loads.)
  std::uint32_t i = 0;
  for (; i < wide; ++i) out[i] = (Load32(row + std::size_t{columns[i]} * bytes) & keep) | fill;
  for (; i < count; ++i) {
    const std::uint8_t* p = row + std::size_t{columns[i]} * 3;
    out[i] = Pack32(0, p[2], p[1], p[0]) | fill;
  }
}

void SumRgb24Rows(const std::uint8_t* const* rows, std::int32_t rowCount, std::uint32_t count, std::uint16_t* sums) {
  std::uint32_t x = 0;
#if defined(PIXAVUE_X86_VARIANTS)
  if (HasSsse3()) x = SumRgb24Ssse3(rows, rowCount, count, sums);
#endif
  for (; x < count; ++x) {
    std::uint32_t b = 0;
    std::uint32_t g = 0;
    std::uint32_t r = 0;
    for (std::int32_t k = 0; k < rowCount; ++k) {
      const std::uint8_t* p = rows[k] + std::size_t{x} * 3;
      b += p[0];
      g += p[1];
      r += p[2];
    }
    std::uint16_t* out = sums + std::size_t{x} * 4;
    out[0] = static_cast<std::uint16_t>(b);
    out[1] = static_cast<std::uint16_t>(g);
    out[2] = static_cast<std::uint16_t>(r);
    out[3] = static_cast<std::uint16_t>(255 * rowCount);
  }
}

void ArgbToPremultiplied(const std::uint8_t* in, std::uint32_t count, std::uint32_t* out) {
  std::uint32_t i = 0;
#if defined(__SSE2__)
  // c * a + 127 in 16 bits, divided by 255 exactly as (x + 1 + (x >> 8)) >> 8;
  // the alpha lane is multiplied by 255, which keeps it.
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaLanes = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
  const __m128i keepAlpha = _mm_and_si128(alphaLanes, _mm_set1_epi16(255));
  const __m128i bias = _mm_set1_epi16(127);
  const __m128i one = _mm_set1_epi16(1);
  const auto premultiplyTwo = [&](__m128i pixels) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
    const __m128i factor = _mm_or_si128(_mm_andnot_si128(alphaLanes, alpha), keepAlpha);
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(pixels, factor), bias);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
  };
  for (; i + 4 <= count; i += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + std::size_t{i} * 4));
    const __m128i low = premultiplyTwo(_mm_unpacklo_epi8(v, zero));
    const __m128i high = premultiplyTwo(_mm_unpackhi_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < count; ++i) {
    const ARGB c = Load32(in + std::size_t{i} * 4);
    const std::uint32_t a = c >> 24;
    out[i] = Pack32(a, Premultiply8(Channel8(c, 16), a), Premultiply8(Channel8(c, 8), a), Premultiply8(Channel8(c, 0), a));
  }
}

}  // namespace pixavue::platform::gdiplus
