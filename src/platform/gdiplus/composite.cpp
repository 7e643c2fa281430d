#include "composite.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "palette_match.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kAlpha = 0xFF000000u;

// x / 255 rounded, exact for x <= 255 * 255.
constexpr std::uint32_t Div255(std::uint32_t x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// s + d * (255 - alpha of s) / 255 on each channel of premultiplied pixels.
inline std::uint32_t OverPixel(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t keep = 255 - (s >> 24);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = ((s >> shift) & 0xFF) + Div255(((d >> shift) & 0xFF) * keep);
    out |= (c > 255 ? 255 : c) << shift;
  }
  return out;
}

inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

#if defined(__SSE2__)
// OverPixel on four pixels at once.
inline __m128i OverFour(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep32 = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(s, 24));
  const __m128i keep16 = _mm_packs_epi32(keep32, keep32);     // k0 k1 k2 k3 k0 k1 k2 k3
  const __m128i pairs = _mm_unpacklo_epi16(keep16, keep16);   // k0 k0 k1 k1 k2 k2 k3 k3
  const __m128i keepLow = _mm_unpacklo_epi32(pairs, pairs);   // k0 x4, k1 x4
  const __m128i keepHigh = _mm_unpackhi_epi32(pairs, pairs);  // k2 x4, k3 x4
  const __m128i bias = _mm_set1_epi16(128);
  __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keepLow), bias);
  __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keepHigh), bias);
  low = _mm_srli_epi16(_mm_add_epi16(low, _mm_srli_epi16(low, 8)), 8);
  high = _mm_srli_epi16(_mm_add_epi16(high, _mm_srli_epi16(high, 8)), 8);
  return _mm_adds_epu8(s, _mm_packus_epi16(low, high));
}
#endif

// Premultiplied source over a premultiplied 32-bit target row; `orMask`
// forces the alpha of an opaque target.
void Over32(const std::uint32_t* source, std::uint8_t* target, std::uint32_t count, std::uint32_t orMask) {
  std::uint32_t i = 0;
#if defined(__SSE2__)
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(kAlpha));
  const __m128i forced = _mm_set1_epi32(static_cast<int>(orMask));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    __m128i* out = reinterpret_cast<__m128i*>(target + std::size_t{i} * 4);
    const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), alphaMask));
    if (opaque == 0xFFFF) {
      _mm_storeu_si128(out, _mm_or_si128(s, forced));
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xFFFF) continue;
    _mm_storeu_si128(out, _mm_or_si128(OverFour(s, _mm_loadu_si128(out)), forced));
  }
#endif
  for (; i < count; ++i) {
    const std::uint32_t s = source[i];
    std::uint8_t* p = target + std::size_t{i} * 4;
    if (s >= kAlpha) {
      Store32(p, s | orMask);
    } else if (s != 0) {
      Store32(p, OverPixel(s, Load32(p)) | orMask);
    }
  }
}

void Over24(const std::uint32_t* source, std::uint8_t* target, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i, target += 3) {
    const std::uint32_t s = source[i];
    if (s == 0) continue;
    const std::uint32_t below = s >= kAlpha ? 0 : target[0] | (target[1] << 8) | (target[2] << 16);
    const std::uint32_t out = s >= kAlpha ? s : OverPixel(s, below | kAlpha);
    target[0] = static_cast<std::uint8_t>(out);
    target[1] = static_cast<std::uint8_t>(out >> 8);
    target[2] = static_cast<std::uint8_t>(out >> 16);
  }
}

bool AllOpaque(const std::uint32_t* source, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (source[i] < kAlpha) return false;
  }
  return true;
}

Frame RowView(PixelFormat format, std::uint32_t count, void* pixels) {
  Frame view;
  view.pixels =
      PixelBuffer::Wrap(format, count, 1, static_cast<std::int32_t>(count) * 4, static_cast<std::uint8_t*>(pixels));
  return view;
}

}  // namespace

void RowCompositor::Over(const std::uint32_t* source, std::uint32_t x, std::uint32_t y, std::uint32_t count) {
  std::uint8_t* row = target_.pixels.Row(y);
  switch (target_.pixels.format()) {
    case PixelFormat32bppPARGB:
      return Over32(source, row + std::size_t{x} * 4, count, 0);
    case PixelFormat32bppRGB:
      return Over32(source, row + std::size_t{x} * 4, count, kAlpha);
    case PixelFormat24bppRGB:
      return Over24(source, row + std::size_t{x} * 3, count);
    default:
      // Opaque pixels are the same premultiplied or not.
      if (AllOpaque(source, count)) return StoreArgbRow(target_, x, y, count, source);
      return OverThroughArgb(source, x, y, count);
  }
}

void RowCompositor::Store(const std::uint32_t* source, std::uint32_t x, std::uint32_t y, std::uint32_t count) {
  if (std::uint32_t* row = OpaqueRow(x, y)) {
    std::memcpy(row, source, std::size_t{count} * 4);
    return;
  }
  if (target_.pixels.format() != PixelFormat24bppRGB) return StoreArgbRow(target_, x, y, count, source);
  std::uint8_t* p = target_.pixels.Row(y) + std::size_t{x} * 3;
  for (std::uint32_t i = 0; i < count; ++i, p += 3) {
    p[0] = static_cast<std::uint8_t>(source[i]);
    p[1] = static_cast<std::uint8_t>(source[i] >> 8);
    p[2] = static_cast<std::uint8_t>(source[i] >> 16);
  }
}

std::uint32_t* RowCompositor::OpaqueRow(std::uint32_t x, std::uint32_t y) const {
  // An opaque pixel is the same premultiplied, straight or with its alpha
  // forced. Rows are used as 32-bit words only when aligned for them.
  const PixelFormat format = target_.pixels.format();
  if (format != PixelFormat32bppPARGB && format != PixelFormat32bppRGB && format != PixelFormat32bppARGB) {
    return nullptr;
  }
  std::uint8_t* row = target_.pixels.Row(y) + std::size_t{x} * 4;
  if (reinterpret_cast<std::uintptr_t>(row) % alignof(std::uint32_t) != 0) return nullptr;
  return reinterpret_cast<std::uint32_t*>(row);
}

void RowCompositor::OverThroughArgb(const std::uint32_t* source, std::uint32_t x, std::uint32_t y,
                                    std::uint32_t count) {
  if (colours_.size() < count) {
    colours_.resize(count);
    premultiplied_.resize(count);
  }
  Frame view = RowView(PixelFormat32bppPARGB, count, premultiplied_.data());
  ReadArgb32(target_, x, y, count, colours_.data());
  WriteArgb32(view, 0, 0, count, colours_.data());
  Over32(source, reinterpret_cast<std::uint8_t*>(premultiplied_.data()), count, 0);
  ReadArgb32(view, 0, 0, count, colours_.data());
  StoreArgbRow(target_, x, y, count, colours_.data());
}

void StoreArgbRow(Frame& target, std::uint32_t x, std::uint32_t y, std::uint32_t count, const ARGB* colours) {
  if (!IsIndexedPixelFormat(target.pixels.format())) {
    WriteArgb32(target, x, y, count, colours);
    return;
  }
  std::vector<ARGB> copy(colours, colours + count);
  WriteNearestIndices(RowView(PixelFormat32bppARGB, count, copy.data()), target, x, y);
}

}  // namespace pixavue::platform::gdiplus
