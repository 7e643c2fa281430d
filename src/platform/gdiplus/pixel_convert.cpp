// Placeholder until the pixel-format converter lands.
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus {

void ReadArgb32(const Frame&, std::uint32_t, std::uint32_t, std::uint32_t, ARGB*) {}
void ReadArgb64(const Frame&, std::uint32_t, std::uint32_t, std::uint32_t, std::uint64_t*) {}
bool WriteArgb32(Frame&, std::uint32_t, std::uint32_t, std::uint32_t, const ARGB*) { return false; }
GpStatus ConvertArea(const Frame&, const GpRect&, PixelFormat, Frame&) { return NotImplemented; }
bool IsSupportedPixelFormat(PixelFormat) noexcept { return false; }

}  // namespace pixavue::platform::gdiplus
