// Metafile images are played into pixels at the size the draw shows them
// (bounded), then drawn like a bitmap.

#include <algorithm>
#include <cmath>
#include <utility>

#include "draw_image.h"
#include "image.h"
#include "image_limits.h"
#include "metafile_render.h"

namespace pixavue::platform::gdiplus {
namespace {

// Playing a metafile larger than this only for part of it to be seen is
// not worth the memory: it is played smaller and enlarged by the draw.
constexpr double kMaxPlaybackPixels = 1 << 24;

}  // namespace

GpStatus DrawMetafile(const GpImage& metafile, Frame& target, const DrawImageRequest& request,
                      const ResampleQuality& quality) {
  const GpRectF& source = request.source;
  const GpRectF& destination = request.destination;
  const double boundsWidth = metafile.width();
  const double boundsHeight = metafile.height();
  if (source.Width == 0 || source.Height == 0 || destination.Width == 0 || destination.Height == 0) return Ok;
  if (boundsWidth <= 0 || boundsHeight <= 0) return InvalidParameter;
  double width = boundsWidth * std::fabs(destination.Width / source.Width);
  double height = boundsHeight * std::fabs(destination.Height / source.Height);
  if (width * height > kMaxPlaybackPixels) {
    const double shrink = std::sqrt(kMaxPlaybackPixels / (width * height));
    width *= shrink;
    height *= shrink;
  }
  const int playWidth = static_cast<int>(std::clamp(std::lround(width), 1L, static_cast<long>(kMaxImageSide)));
  const int playHeight = static_cast<int>(std::clamp(std::lround(height), 1L, static_cast<long>(kMaxImageSide)));
  Frame played;
  const GpStatus status = RenderMetafile(metafile, playWidth, playHeight, played.pixels);
  if (status != Ok) return status;
  DrawImageRequest scaled = request;
  const double perX = playWidth / boundsWidth;
  const double perY = playHeight / boundsHeight;
  scaled.source = GpRectF{static_cast<REAL>(source.X * perX), static_cast<REAL>(source.Y * perY),
                          static_cast<REAL>(source.Width * perX), static_cast<REAL>(source.Height * perY)};
  return DrawFrame(played, target, scaled, quality);
}

}  // namespace pixavue::platform::gdiplus
