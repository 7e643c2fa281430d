#pragma once
// Wider variants of the scaler's inner loops, used when the processor has
// them (scaler_kernels_wide.cpp).

#include <cstdint>

namespace pixavue::platform::gdiplus {

// FilterRow (scaler_kernels.h) over the leading outputs when the taps are
// even; returns how many it did (0 when it cannot), the caller does the rest.
std::uint32_t FilterRowWide(const std::uint32_t* in, const std::int32_t* first, const std::int16_t* weights,
                            std::int32_t taps, std::uint32_t count, std::uint32_t* out);

// FilterColumns (scaler_kernels.h) over the leading pixels eight at a time;
// returns how many it did (0 without AVX2), the caller does the rest.
std::uint32_t FilterColumnsWide(const std::uint32_t* const* rows, const std::int16_t* weights, std::int32_t taps,
                                std::uint32_t count, std::uint32_t* out);

}  // namespace pixavue::platform::gdiplus
