#include "scaler_pixman.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scaler_bands.h"

namespace pixavue::platform::gdiplus {
namespace {

// pixman's transforms are 16.16 fixed point.
constexpr double kMaxFixed = 30000.0;

bool PixmanLayout(const PixelBuffer& pixels) {
  const PixelFormat format = pixels.format();
  return (format == PixelFormat32bppPARGB || format == PixelFormat32bppRGB) && pixels.stride() > 0 &&
         reinterpret_cast<std::uintptr_t>(pixels.scan0()) % 4 == 0;
}

pixman_format_code_t PixmanFormat(PixelFormat format) {
  return format == PixelFormat32bppPARGB ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
}

// The affine map from a device pixel's centre (d + 0.5) to pixman's source
// position (pixel centres at j + 0.5 from the first pixel that may be read).
struct AxisAffine {
  double scale;
  double offset;
};

AxisAffine AffineOf(const AxisMapping& m, bool half) {
  const double first = SampleCentre(m, half, m.outFirst);
  const double scale = SampleCentre(m, half, m.outFirst + 1) - first;
  return {scale, first + 0.5 - m.sourceLow - scale * (m.outFirst + 0.5)};
}

bool FitsFixed(const AxisAffine& a, const AxisMapping& m) {
  return std::fabs(a.scale) < kMaxFixed && std::fabs(a.offset) < kMaxFixed &&
         std::fabs(a.offset + a.scale * (m.outFirst + m.outCount)) < kMaxFixed;
}

// A one-to-one copy: every device pixel samples exactly one source pixel.
bool IsCopy(const AxisAffine& a) { return a.scale == 1.0 && a.offset == std::floor(a.offset); }

// The pixman images of a draw: the source rectangle and the whole target.
class PixmanImages final {
 public:
  explicit PixmanImages(const PixmanDraw& draw) {
    const Frame& source = *draw.source;
    const AxisMapping& x = *draw.columns;
    const AxisMapping& y = *draw.rows;
    auto* corner = reinterpret_cast<std::uint32_t*>(source.pixels.Row(static_cast<std::uint32_t>(y.sourceLow)) +
                                                    static_cast<std::size_t>(x.sourceLow) * 4);
    source_ = pixman_image_create_bits(PixmanFormat(source.pixels.format()), x.sourceHigh - x.sourceLow + 1,
                                       y.sourceHigh - y.sourceLow + 1, corner, source.pixels.stride());
    const PixelBuffer& target = draw.target->pixels;
    target_ = pixman_image_create_bits(PixmanFormat(target.format()), static_cast<int>(target.width()),
                                       static_cast<int>(target.height()),
                                       reinterpret_cast<std::uint32_t*>(target.scan0()), target.stride());
  }
  ~PixmanImages() {
    if (source_ != nullptr) pixman_image_unref(source_);
    if (target_ != nullptr) pixman_image_unref(target_);
  }
  PixmanImages(const PixmanImages&) = delete;
  PixmanImages& operator=(const PixmanImages&) = delete;

  bool ready() const { return source_ != nullptr && target_ != nullptr; }
  pixman_image_t* source() const { return source_; }
  pixman_image_t* target() const { return target_; }

 private:
  pixman_image_t* source_ = nullptr;
  pixman_image_t* target_ = nullptr;
};

GpStatus DrawBand(const PixmanDraw& draw, const pixman_transform_t& transform, std::int32_t begin, std::int32_t end,
                  BandControl& control) {
  PixmanImages images(draw);
  if (!images.ready()) return OutOfMemory;
  pixman_image_set_transform(images.source(), &transform);
  pixman_image_set_filter(images.source(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(images.source(), PIXMAN_REPEAT_PAD);
  const std::int32_t left = draw.columns->outFirst;
  const std::int32_t top = draw.rows->outFirst;
  for (std::int32_t row = begin; row < end; row += kAbortInterval) {
    if (!control.Continue(row - begin)) return Aborted;
    const std::int32_t count = std::min(kAbortInterval, end - row);
    // Source coordinates are the device coordinates through the transform.
    pixman_image_composite32(PIXMAN_OP_OVER, images.source(), nullptr, images.target(), left, top + row, 0, 0, left,
                             top + row, draw.columns->outCount, count);
  }
  return Ok;
}

}  // namespace

bool PixmanCanDraw(const Frame& source, const Frame& target) {
  return PixmanLayout(source.pixels) && PixmanLayout(target.pixels);
}

std::optional<GpStatus> DrawBilinearWithPixman(const PixmanDraw& draw) {
  const AxisAffine x = AffineOf(*draw.columns, draw.halfPixelOffset);
  const AxisAffine y = AffineOf(*draw.rows, draw.halfPixelOffset);
  if (IsCopy(x) && IsCopy(y)) return std::nullopt;
  if (!FitsFixed(x, *draw.columns) || !FitsFixed(y, *draw.rows)) return std::nullopt;
  pixman_transform_t transform;
  pixman_transform_init_identity(&transform);
  transform.matrix[0][0] = pixman_double_to_fixed(x.scale);
  transform.matrix[0][2] = pixman_double_to_fixed(x.offset);
  transform.matrix[1][1] = pixman_double_to_fixed(y.scale);
  transform.matrix[1][2] = pixman_double_to_fixed(y.offset);
  // One thread: pixman's bilinear path is bound by memory, and a second
  // thread measured no faster.
  return RunInBands(draw.rows->outCount, false, draw.abort, draw.abortData,
                    [&](std::int32_t begin, std::int32_t end, BandControl& control) {
                      return DrawBand(draw, transform, begin, end, control);
                    });
}

}  // namespace pixavue::platform::gdiplus
