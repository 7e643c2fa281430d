#include "emfplus_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::emfplus {
namespace {

using metafile::Apply;
using metafile::Then;

// Work units of one point emitted, of any painting, and the factor by which
// a stroke's outline multiplies the scan conversion of its edges.
constexpr std::uint64_t kPointCost = 16;
constexpr std::uint64_t kPaintCost = 64;
constexpr double kStrokeOutlineFactor = 4;
constexpr double kDashCost = 32;
// Output coordinates are kept well inside cairo's fixed-point range.
constexpr double kMaxCoordinate = 4e6;
// Pens wider than this many output sides are drawn this wide.
constexpr double kMaxPenSides = 2;
constexpr double kMaxSweep = 360;

enum LineStyle : std::uint32_t { kSolid = 0, kDash = 1, kDot = 2, kDashDot = 3, kDashDotDot = 4, kCustom = 5 };
enum LineCap : std::uint32_t { kCapFlat = 0, kCapSquare = 1, kCapRound = 2 };
enum LineJoin : std::uint32_t { kJoinMiter = 0, kJoinBevel = 1, kJoinRound = 2 };
enum WrapMode : std::uint32_t { kWrapTile = 0, kWrapFlipX = 1, kWrapClamp = 4 };

double Clamp(double v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); }

cairo_matrix_t MatrixOf(const Transform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.m11, t.m12, t.m21, t.m22, t.dx, t.dy);
  return m;
}

void SetColor(cairo_t* cairo, ARGB c) {
  cairo_set_source_rgba(cairo, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        (c >> 24) / 255.0);
}

void AddStop(cairo_pattern_t* pattern, double offset, ARGB c) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                    (c & 0xFF) / 255.0, (c >> 24) / 255.0);
}

cairo_surface_t* SurfaceOver(const PixelBuffer& pixels) {
  return cairo_image_surface_create_for_data(pixels.scan0(), CAIRO_FORMAT_ARGB32, static_cast<int>(pixels.width()),
                                             static_cast<int>(pixels.height()), pixels.stride());
}

}  // namespace

std::unique_ptr<Painter> Painter::Create(const PixelBuffer& target, metafile::MetafileCanvas& canvas) {
  if (target.format() != PixelFormat32bppPARGB || target.empty()) return nullptr;
  cairo_surface_t* surface = SurfaceOver(target);
  cairo_t* cairo = cairo_create(surface);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::unique_ptr<Painter>(new Painter(surface, cairo, target.width(), target.height(), canvas));
}

Painter::Painter(cairo_surface_t* surface, cairo_t* cairo, double width, double height,
                 metafile::MetafileCanvas& canvas)
    : surface_(surface), cairo_(cairo), width_(width), height_(height), canvas_(canvas) {
  SetAntialias(false);
}

Painter::~Painter() {
  cairo_destroy(cairo_);
  cairo_surface_flush(surface_);
  cairo_surface_destroy(surface_);
}

void Painter::SetAntialias(bool on) { cairo_set_antialias(cairo_, on ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE); }

void Painter::SetSourceCopy(bool on) { cairo_set_operator(cairo_, on ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER); }

void Painter::BeginShape(const Transform& worldToOutput) {
  cairo_new_path(cairo_);
  toOutput_ = worldToOutput;
  length_ = 0;
  points_ = 0;
  edges_.Clear();
}

bool Painter::EmitPoint(PointD world, PointD& out) {
  if (!canvas_.Charge(kPointCost)) return false;
  const PointD p = Apply(toOutput_, world);
  out = PointD{Clamp(p.x), Clamp(p.y)};
  ++points_;
  return true;
}

void Painter::AddEdge(PointD from, PointD to) {
  length_ += std::hypot(to.x - from.x, to.y - from.y);
  edges_.Add(std::fmax(std::fmin(from.y, to.y), 0), std::fmin(std::fmax(from.y, to.y), height_));
}

void Painter::MoveTo(PointD world) {
  PointD p;
  if (!EmitPoint(world, p)) return;
  cairo_move_to(cairo_, p.x, p.y);
  last_ = p;
}

void Painter::LineTo(PointD world) {
  PointD p;
  if (!EmitPoint(world, p)) return;
  if (!cairo_has_current_point(cairo_)) {
    cairo_move_to(cairo_, p.x, p.y);
  } else {
    AddEdge(last_, p);
    cairo_line_to(cairo_, p.x, p.y);
  }
  last_ = p;
}

void Painter::CurveTo(PointD c1, PointD c2, PointD end) {
  PointD a, b, c;
  if (!EmitPoint(c1, a) || !EmitPoint(c2, b) || !EmitPoint(end, c)) return;
  if (!cairo_has_current_point(cairo_)) cairo_move_to(cairo_, a.x, a.y);
  // The control polygon is at least as long as the curve and spans its rows.
  AddEdge(last_, a);
  AddEdge(a, b);
  AddEdge(b, c);
  cairo_curve_to(cairo_, a.x, a.y, b.x, b.y, c.x, c.y);
  last_ = c;
}

void Painter::AddPolygon(std::span<const PointD> points, bool close) {
  if (points.empty()) return;
  MoveTo(points.front());
  for (const PointD& p : points.subspan(1)) LineTo(p);
  if (close && cairo_has_current_point(cairo_)) cairo_close_path(cairo_);
}

void Painter::AddBeziers(std::span<const PointD> points) {
  if (points.empty()) return;
  MoveTo(points.front());
  for (std::size_t i = 1; i + 3 <= points.size(); i += 3) CurveTo(points[i], points[i + 1], points[i + 2]);
}

void Painter::AddRect(const RectF& r) {
  const PointD corners[] = {{r.x, r.y}, {r.x + r.width, r.y}, {r.x + r.width, r.y + r.height}, {r.x, r.y + r.height}};
  AddPolygon(corners, true);
}

namespace {

// Angles are those of rays from the centre, as on a circle; the ellipse's
// parameter at the ray through `angle` follows from its radii.
double ParameterAt(double angle, double rx, double ry) {
  return std::atan2(std::fabs(rx) * std::sin(angle), std::fabs(ry) * std::cos(angle));
}

}  // namespace

// Béziers of at most a quarter turn each.
void Painter::AddArc(const RectF& r, double startDegrees, double sweepDegrees, bool pie) {
  const double sweepAngle = std::clamp(sweepDegrees, -kMaxSweep, kMaxSweep) * std::numbers::pi / 180;
  const double startAngle = std::fmod(startDegrees, 360.0) * std::numbers::pi / 180;
  const PointD center{r.x + r.width / 2, r.y + r.height / 2};
  const double rx = r.width / 2, ry = r.height / 2;
  const double start = ParameterAt(startAngle, rx, ry);
  double sweep = sweepAngle;
  if (std::fabs(sweepAngle) < 2 * std::numbers::pi) {
    // The parameter's sweep keeps the angle's direction and turns.
    const double end = ParameterAt(startAngle + sweepAngle, rx, ry);
    const double turn = 2 * std::numbers::pi;
    sweep = end - start + turn * std::round((sweepAngle - (end - start)) / turn);
  }
  const auto at = [&](double t) { return PointD{center.x + rx * std::cos(t), center.y + ry * std::sin(t)}; };
  if (pie) {
    MoveTo(center);
    LineTo(at(start));
  } else {
    MoveTo(at(start));
  }
  const int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2))));
  const double step = sweep / segments, k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < segments; ++i) {
    const double a = start + i * step, b = a + step;
    const PointD c1{center.x + rx * (std::cos(a) - k * std::sin(a)), center.y + ry * (std::sin(a) + k * std::cos(a))};
    const PointD c2{center.x + rx * (std::cos(b) + k * std::sin(b)), center.y + ry * (std::sin(b) - k * std::cos(b))};
    CurveTo(c1, c2, at(b));
  }
  if (pie) cairo_close_path(cairo_);
}

// A cardinal spline's segment from p1 to p2 is the Bézier whose control
// points leave them along the chords of their neighbours, scaled by a
// third of the tension.
void Painter::AddCurve(std::span<const PointD> points, double tension, bool closed) {
  const std::size_t n = points.size();
  if (n < 2) return;
  const auto point = [&](std::ptrdiff_t i) {
    if (closed)
      return points[static_cast<std::size_t>((i % std::ptrdiff_t(n) + std::ptrdiff_t(n)) % std::ptrdiff_t(n))];
    return points[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, std::ptrdiff_t(n) - 1))];
  };
  const double k = tension / 3;
  MoveTo(points.front());
  const std::size_t segments = closed ? n : n - 1;
  for (std::size_t s = 0; s < segments && !canvas_.Exhausted(); ++s) {
    const auto i = static_cast<std::ptrdiff_t>(s);
    const PointD p0 = point(i - 1), p1 = point(i), p2 = point(i + 1), p3 = point(i + 2);
    CurveTo(PointD{p1.x + (p2.x - p0.x) * k, p1.y + (p2.y - p0.y) * k},
            PointD{p2.x - (p3.x - p1.x) * k, p2.y - (p3.y - p1.y) * k}, p2);
  }
  if (closed) cairo_close_path(cairo_);
}

// Figures start at type 0; 1 draws a line, 3 a Bézier (three points);
// 0x80 closes the figure.
void Painter::AddPath(const Path& path) {
  const std::size_t count = std::min(path.points.size(), path.types.size());
  for (std::size_t i = 0; i < count && !canvas_.Exhausted(); ++i) {
    const std::uint8_t kind = path.types[i] & 0x07;
    if (kind == 0 || !cairo_has_current_point(cairo_)) {
      MoveTo(path.points[i]);
    } else if (kind == 3 && i + 2 < count) {
      CurveTo(path.points[i], path.points[i + 1], path.points[i + 2]);
      i += 2;
    } else {
      LineTo(path.points[i]);
    }
    if ((path.types[i] & 0x80) != 0 && cairo_has_current_point(cairo_)) cairo_close_path(cairo_);
  }
}

bool Painter::ChargePaint(double margin, double outlineFactor, double strokeWidth) {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, left = 0, top = 0, right = 0, bottom = 0;
  cairo_path_extents(cairo_, &x1, &y1, &x2, &y2);
  cairo_clip_extents(cairo_, &left, &top, &right, &bottom);
  const double w = std::clamp(x2 + margin, left, right) - std::clamp(x1 - margin, left, right);
  const double h = std::clamp(y2 + margin, top, bottom) - std::clamp(y1 - margin, top, bottom);
  const double work = std::max(0.0, w) * std::max(0.0, h) + length_ * strokeWidth +
                      outlineFactor * metafile::ScanConversionWork(edges_, height_);
  return work < 1e18 && canvas_.Charge(kPaintCost + static_cast<std::uint64_t>(work));
}

void Painter::SetBrushSource(const Brush& brush) {
  if (brush.kind != Brush::Kind::LinearGradient || brush.rect.width == 0) return SetColor(cairo_, brush.color);
  cairo_matrix_t toBrush = MatrixOf(Then(brush.transform, toOutput_));
  if (cairo_matrix_invert(&toBrush) != CAIRO_STATUS_SUCCESS) return SetColor(cairo_, brush.color);
  const RectF& r = brush.rect;
  cairo_pattern_t* pattern = cairo_pattern_create_linear(r.x, r.y, r.x + r.width, r.y);
  AddStop(pattern, 0, brush.startColor);
  AddStop(pattern, 1, brush.endColor);
  cairo_pattern_set_matrix(pattern, &toBrush);
  cairo_pattern_set_extend(pattern, brush.wrapMode == kWrapClamp  ? CAIRO_EXTEND_PAD
                                    : brush.wrapMode == kWrapTile ? CAIRO_EXTEND_REPEAT
                                                                  : CAIRO_EXTEND_REFLECT);
  cairo_set_source(cairo_, pattern);
  cairo_pattern_destroy(pattern);
}

void Painter::Fill(const Brush& brush, bool winding) {
  if (points_ == 0 || canvas_.Exhausted() || !ChargePaint(0, 1, 0)) return;
  SetBrushSource(brush);
  cairo_set_fill_rule(cairo_, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill(cairo_);
}

// Width in output pixels, at least one; dashes in pen widths. Returns the
// length of one dash pattern, 0 for a solid pen.
double Painter::SetPenStyle(const Pen& pen) {
  const double scale = std::sqrt(std::fabs(metafile::Determinant(toOutput_)));
  const double width = std::clamp(pen.width * scale, 1.0, kMaxPenSides * std::max(width_, height_));
  cairo_set_line_width(cairo_, width);
  cairo_set_line_cap(cairo_, pen.startCap == kCapRound    ? CAIRO_LINE_CAP_ROUND
                             : pen.startCap == kCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                          : CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cairo_, pen.join == kJoinRound   ? CAIRO_LINE_JOIN_ROUND
                              : pen.join == kJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                       : CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(cairo_, std::clamp(pen.miterLimit, 1.0, 100.0));
  std::vector<double> dashes;
  switch (pen.lineStyle) {
    case kDash: dashes = {3, 1}; break;
    case kDot: dashes = {1, 1}; break;
    case kDashDot: dashes = {3, 1, 1, 1}; break;
    case kDashDotDot: dashes = {3, 1, 1, 1, 1, 1}; break;
    case kCustom: dashes = pen.dashes; break;
    default: break;
  }
  double period = 0;
  for (double& d : dashes) {
    d = std::fabs(d) * width;
    period += d;
  }
  // A pattern too fine to see is drawn solid, which also bounds the dashes.
  if (period < 1) dashes.clear();
  cairo_set_dash(cairo_, dashes.data(), static_cast<int>(dashes.size()), 0);
  return dashes.empty() ? 0 : period;
}

void Painter::Stroke(const Pen& pen) {
  if (points_ == 0 || canvas_.Exhausted()) return;
  const double period = SetPenStyle(pen);
  const double width = cairo_get_line_width(cairo_);
  const double dashWork = period > 0 ? length_ / period * kDashCost : 0;
  if (dashWork > 1e18 || !canvas_.Charge(static_cast<std::uint64_t>(dashWork)) ||
      !ChargePaint(width, kStrokeOutlineFactor, width)) {
    cairo_new_path(cairo_);
    return;
  }
  SetBrushSource(pen.brush);
  cairo_stroke(cairo_);
}

void Painter::PaintImage(const PixelBuffer& image, const Transform& imageToWorld) {
  if (points_ == 0 || canvas_.Exhausted() || image.empty()) return;
  const Transform imageToOutput = Then(imageToWorld, toOutput_);
  cairo_matrix_t toImage = MatrixOf(imageToOutput);
  if (cairo_matrix_invert(&toImage) != CAIRO_STATUS_SUCCESS || !ChargePaint(0, 1, 0)) {
    cairo_new_path(cairo_);
    return;
  }
  cairo_surface_t* surface = SurfaceOver(image);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
  cairo_pattern_set_matrix(pattern, &toImage);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(
      pattern, std::fabs(metafile::Determinant(imageToOutput)) >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_set_source(cairo_, pattern);
  cairo_fill(cairo_);
  cairo_set_source_rgb(cairo_, 0, 0, 0);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(surface);
}

void Painter::Clear(ARGB color) {
  if (!canvas_.Charge(kPaintCost + static_cast<std::uint64_t>(width_ * height_))) return;
  cairo_save(cairo_);
  cairo_set_operator(cairo_, CAIRO_OPERATOR_SOURCE);
  SetColor(cairo_, color);
  cairo_paint(cairo_);
  cairo_restore(cairo_);
}

void Painter::ResetClip() { cairo_reset_clip(cairo_); }

void Painter::ClipToShape(bool replace) {
  if (!ChargePaint(0, 1, 0)) {
    cairo_new_path(cairo_);
    return;
  }
  if (replace) cairo_reset_clip(cairo_);
  cairo_clip(cairo_);
}

void Painter::Save() {
  cairo_save(cairo_);
  ++saved_;
}

void Painter::Restore() {
  if (saved_ == 0) return;
  cairo_restore(cairo_);
  --saved_;
}

}  // namespace pixavue::platform::gdiplus::emfplus
