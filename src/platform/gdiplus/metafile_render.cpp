#include "metafile_render.h"

#include <algorithm>
#include <new>

#include "image_limits.h"
#include "metafile_play.h"

namespace pixavue::platform::gdiplus {
namespace {

// Cairo's largest image side.
constexpr int kMaxRenderSide = 32767;
// Work units (about one pixel painted each, a nanosecond or so): at least
// this many, or 16 passes over the whole output for large renderings, so
// that playback takes about a second, and no more than two seconds per
// hundred million output pixels.
constexpr std::uint64_t kMinWorkBudget = std::uint64_t{1} << 30;
constexpr std::uint64_t kWorkPerOutputPixel = 16;

}  // namespace

GpStatus RenderMetafile(const GpImage& metafile, int width, int height, PixelBuffer& out) {
  if (metafile.type != ImageTypeMetafile || !metafile.metafileBytes || metafile.metafileBytes->empty()) {
    return InvalidParameter;
  }
  GpStatus status = CheckImageSize(width, height);
  if (status != Ok) return status;
  if (width > kMaxRenderSide || height > kMaxRenderSide) return OutOfMemory;
  auto pixels = PixelBuffer::Allocate(PixelFormat32bppPARGB, static_cast<std::uint32_t>(width),
                                      static_cast<std::uint32_t>(height));
  if (!pixels) return OutOfMemory;
  const std::uint64_t budget =
      std::max(kMinWorkBudget, kWorkPerOutputPixel * static_cast<std::uint64_t>(width) * height);
  const std::vector<std::uint8_t>& bytes = *metafile.metafileBytes;
  try {
    status = metafile.metafile.enhanced ? PlayEmf(bytes, metafile.metafile, *pixels, budget)
                                        : PlayWmf(bytes, metafile.metafile, *pixels, budget);
  } catch (const std::bad_alloc&) {
    status = OutOfMemory;
  }
  if (status == Ok) out = std::move(*pixels);
  return status;
}

}  // namespace pixavue::platform::gdiplus
