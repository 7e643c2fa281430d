#pragma once
// The inner loops of the scaler over premultiplied 32-bit pixels (SSE2 where
// the compiler targets it, plain loops elsewhere). Results keep every colour
// channel at or below alpha.

#include <cstdint>

namespace pixavue::platform::gdiplus {

// out[i] = sum over k < taps of in[first[i] + k] * weights[i * taps + k],
// for i < count (fixed-point weights, see resample_weights.h).
void FilterRow(const std::uint32_t* in, const std::int32_t* first, const std::int16_t* weights, std::int32_t taps,
               std::uint32_t count, std::uint32_t* out);

// out[x] = sum over k < taps of rows[k][x] * weights[k], for x < count.
void FilterColumns(const std::uint32_t* const* rows, const std::int16_t* weights, std::int32_t taps,
                   std::uint32_t count, std::uint32_t* out);

// out[i] = in[index[i]].
void GatherRow(const std::uint32_t* in, const std::int32_t* index, std::uint32_t count, std::uint32_t* out);

// Adds each channel of `count` pixels to sums[4 * x + channel].
void AddToColumnSums(const std::uint32_t* row, std::uint32_t count, std::uint16_t* sums);

// Sets sums[4 * x + channel] to the sum over the `rowCount` rows (at most
// 257, so that sums fit in 16 bits).
void SumColumns(const std::uint32_t* const* rows, std::int32_t rowCount, std::uint32_t count, std::uint16_t* sums);

// out[i] = average of the column sums [i * factor, min((i + 1) * factor,
// columns)), each a sum over `rows` rows, rounded.
void AverageBoxes(const std::uint16_t* sums, std::uint32_t columns, std::int32_t factor, std::uint32_t rows,
                  std::uint32_t* out);

}  // namespace pixavue::platform::gdiplus
