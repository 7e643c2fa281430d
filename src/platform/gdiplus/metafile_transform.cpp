#include "metafile_transform.h"

#include <cmath>

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Millimetres per logical unit of the fixed mapping modes.
double MillimetresPerUnit(std::uint32_t mode) noexcept {
  switch (mode) {
    case kMapLoMetric: return 0.1;
    case kMapHiMetric: return 0.01;
    case kMapLoEnglish: return 0.254;
    case kMapHiEnglish: return 0.0254;
    case kMapTwips: return 25.4 / 1440.0;
    default: return 0;
  }
}

double Ratio(double viewport, double window) noexcept { return window == 0 ? 1 : viewport / window; }

}  // namespace

Transform Then(const Transform& a, const Transform& b) noexcept {
  return Transform{a.m11 * b.m11 + a.m12 * b.m21,      a.m11 * b.m12 + a.m12 * b.m22,
                   a.m21 * b.m11 + a.m22 * b.m21,      a.m21 * b.m12 + a.m22 * b.m22,
                   a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

PointD Apply(const Transform& t, PointD p) noexcept {
  return PointD{p.x * t.m11 + p.y * t.m21 + t.dx, p.x * t.m12 + p.y * t.m22 + t.dy};
}

double ScaleX(const Transform& t) noexcept { return std::hypot(t.m11, t.m12); }
double ScaleY(const Transform& t) noexcept { return std::hypot(t.m21, t.m22); }
double Determinant(const Transform& t) noexcept { return t.m11 * t.m22 - t.m12 * t.m21; }

bool Usable(const Transform& t) noexcept {
  for (double v : {t.m11, t.m12, t.m21, t.m22, t.dx, t.dy}) {
    if (!std::isfinite(v)) return false;
  }
  return std::fabs(Determinant(t)) > 1e-12;
}

Transform Translation(double dx, double dy) noexcept { return Transform{1, 0, 0, 1, dx, dy}; }
Transform Scaling(double sx, double sy) noexcept { return Transform{sx, 0, 0, sy, 0, 0}; }

Transform PageTransform(const PageMapping& page, double pixelsPerMmX, double pixelsPerMmY) noexcept {
  double sx = 1, sy = 1;
  if (page.mode == kMapIsotropic || page.mode == kMapAnisotropic) {
    sx = Ratio(page.viewportExtent.x, page.windowExtent.x);
    sy = Ratio(page.viewportExtent.y, page.windowExtent.y);
    if (page.mode == kMapIsotropic) {
      const double common = std::fmin(std::fabs(sx), std::fabs(sy));
      sx = std::copysign(common, sx);
      sy = std::copysign(common, sy);
    }
  } else if (const double mm = MillimetresPerUnit(page.mode); mm > 0) {
    sx = mm * pixelsPerMmX;
    sy = -mm * pixelsPerMmY;
  }
  return Then(Translation(-page.windowOrigin.x, -page.windowOrigin.y),
              Then(Scaling(sx, sy), Translation(page.viewportOrigin.x, page.viewportOrigin.y)));
}

}  // namespace pixavue::platform::gdiplus::metafile
