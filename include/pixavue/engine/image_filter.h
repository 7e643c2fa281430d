#pragma once
// The image-filter entry point. The one filter this library runs is number
// 2, inversion, on a 1-bit indexed bitmap: every stored bit of the
// rectangle is complemented in place (the palette is left alone).

#include <cstdint>

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

inline constexpr std::int32_t kInvertFilter = 2;

// The status of the last imaging call; NotImplemented for any other filter
// or pixel format; InvalidParameter for an unknown image. A rectangle of
// zero width or height changes nothing. The strengths are not used by the
// inversion.
QuorvexStatus ApplyImageFilter(std::int32_t filter, ImageId id, const platform::GpRect& rect, float strength1,
                               float strength2);

}  // namespace pixavue::engine
