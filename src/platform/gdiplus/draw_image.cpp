#include "draw_image.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

#include "image.h"
#include "image_attributes.h"
#include "pixel_convert.h"
#include "scaler.h"
#include "scaler_pixman.h"

namespace pixavue::platform::gdiplus {
namespace {

// Coordinates beyond this are refused rather than computed with.
constexpr double kMaxCoordinate = 1e9;

bool Usable(REAL value) { return std::isfinite(value) && std::fabs(value) <= kMaxCoordinate; }

bool UsableRect(const GpRectF& rect) {
  return Usable(rect.X) && Usable(rect.Y) && Usable(rect.Width) && Usable(rect.Height);
}

// One axis of the request before clipping.
struct AxisRequest final {
  double destStart;
  double destSize;
  double sourceStart;
  double sourceSize;
  std::int32_t sourceExtent;  // pixels of the source along the axis
  std::int32_t targetExtent;
};

// Normalises mirrored spans, keeps the part of the source span inside the
// image (and the matching part of the destination), and clips the device
// pixels to the target. False when nothing is left to draw.
bool MapAxis(AxisRequest r, AxisMapping& m) {
  m.mirrored = false;
  if (r.destSize < 0) {
    r.destStart += r.destSize;
    r.destSize = -r.destSize;
    m.mirrored = !m.mirrored;
  }
  if (r.sourceSize < 0) {
    r.sourceStart += r.sourceSize;
    r.sourceSize = -r.sourceSize;
    m.mirrored = !m.mirrored;
  }
  if (r.destSize <= 0 || r.sourceSize <= 0) return false;
  const double low = std::max(r.sourceStart, 0.0);
  const double high = std::min(r.sourceStart + r.sourceSize, static_cast<double>(r.sourceExtent));
  if (high <= low) return false;
  const double perSource = r.destSize / r.sourceSize;
  const double cutBefore = m.mirrored ? r.sourceStart + r.sourceSize - high : low - r.sourceStart;
  m.destStart = r.destStart + cutBefore * perSource;
  m.destSize = (high - low) * perSource;
  m.sourceStart = low;
  m.sourceSize = high - low;
  m.sourceLow = static_cast<std::int32_t>(std::floor(low));
  m.sourceHigh = std::min(static_cast<std::int32_t>(std::ceil(high)), r.sourceExtent) - 1;
  // Device pixels whose centres fall inside the destination span.
  const double first = std::max(std::ceil(m.destStart - 0.5), 0.0);
  const double end = std::min(std::ceil(m.destStart + m.destSize - 0.5), static_cast<double>(r.targetExtent));
  if (end <= first) return false;
  m.outFirst = static_cast<std::int32_t>(first);
  m.outCount = static_cast<std::int32_t>(end - first);
  return true;
}

GpStatus DrawFrameAdjusted(const Frame& source, Frame& target, const DrawImageRequest& request,
                           const ResampleQuality& quality, const ColorAdjuster* adjuster) {
  const GpRectF& d = request.destination;
  const GpRectF& s = request.source;
  AxisMapping x;
  AxisMapping y;
  const auto sourceWidth = static_cast<std::int32_t>(source.pixels.width());
  const auto sourceHeight = static_cast<std::int32_t>(source.pixels.height());
  const auto targetWidth = static_cast<std::int32_t>(target.pixels.width());
  const auto targetHeight = static_cast<std::int32_t>(target.pixels.height());
  if (!MapAxis({d.X, d.Width, s.X, s.Width, sourceWidth, targetWidth}, x) ||
      !MapAxis({d.Y, d.Height, s.Y, s.Height, sourceHeight, targetHeight}, y)) {
    return Ok;
  }
  if (adjuster == nullptr && quality.kernel == ResampleKernel::Bilinear && !quality.prefilter &&
      PixmanCanDraw(source, target)) {
    const PixmanDraw draw{&source, &target, &x, &y, quality.halfPixelOffset, request.abort, request.abortData};
    if (const std::optional<GpStatus> status = DrawBilinearWithPixman(draw)) return *status;
  }
  AxisWeights columns;
  AxisWeights rows;
  GpStatus status = BuildAxisWeights(x, quality, columns);
  if (status == Ok) status = BuildAxisWeights(y, quality, rows);
  if (status != Ok) return status;
  ScaleJob job;
  job.source = &source;
  job.adjuster = adjuster;
  job.columns = &columns;
  job.rows = &rows;
  job.target = &target;
  job.targetX = x.outFirst;
  job.targetY = y.outFirst;
  job.abort = request.abort;
  job.abortData = request.abortData;
  return RunScaleJob(job);
}

}  // namespace

GpStatus DrawFrame(const Frame& source, Frame& target, const DrawImageRequest& request,
                   const ResampleQuality& quality) {
  if (!UsableRect(request.destination) || !UsableRect(request.source)) return InvalidParameter;
  if (source.pixels.empty() || target.pixels.empty()) return Ok;
  if (!IsSupportedPixelFormat(source.pixels.format()) || !IsSupportedPixelFormat(target.pixels.format())) {
    return InvalidParameter;
  }
  try {
    const std::optional<ColorAdjuster> adjuster = ColorAdjuster::ForImages(request.attributes);
    return DrawFrameAdjusted(source, target, request, quality, adjuster ? &*adjuster : nullptr);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus DrawImage(const GpGraphics& graphics, GpImage& image, const DrawImageRequest& request) {
  if (!IsLiveImage(&image)) return InvalidParameter;
  if (request.attributes != nullptr && !IsLiveImageAttributes(request.attributes)) return InvalidParameter;
  if (!UsableRect(request.destination) || !UsableRect(request.source)) return InvalidParameter;
  if (image.lock) return WrongState;
  DrawTarget target;
  GpStatus status = ResolveTarget(graphics, target);
  if (status != Ok || target.frame.pixels.empty()) return status;
  const ResampleQuality quality = QualityOf(graphics.interpolation, graphics.pixelOffset);
  if (image.type == ImageTypeMetafile) return DrawMetafile(image, target.frame, request, quality);
  if (graphics.image != &image) return DrawFrame(image.frame, target.frame, request, quality);
  // Drawing an image onto itself reads from a copy.
  Frame copy;
  try {
    std::optional<PixelBuffer> pixels = image.frame.pixels.Clone();
    if (!pixels) return OutOfMemory;
    copy.pixels = std::move(*pixels);
    copy.palette = image.frame.palette;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  return DrawFrame(copy, target.frame, request, quality);
}

}  // namespace pixavue::platform::gdiplus
