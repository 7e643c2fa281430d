// Lines, curves and closed shapes of the metafile canvas. Points are
// transformed to output pixels here (cairo's own matrix stays the
// identity), so a degenerate mapping collapses shapes instead of putting
// cairo into an error state.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Output coordinates are kept well inside cairo's fixed-point range.
constexpr double kCoordinateLimit = 1 << 20;
constexpr double kQuarterTurn = std::numbers::pi / 2;
constexpr double kFullTurn = 2 * std::numbers::pi;

PointD Clamped(PointD p) {
  // fmax/fmin also turn NaN into a limit.
  return PointD{std::fmin(std::fmax(p.x, -kCoordinateLimit), kCoordinateLimit),
                std::fmin(std::fmax(p.y, -kCoordinateLimit), kCoordinateLimit)};
}

PointD OnEllipse(PointD center, PointD radii, double t) {
  return PointD{center.x + radii.x * std::cos(t), center.y + radii.y * std::sin(t)};
}

struct Box final {
  PointD center;
  PointD radii;  // non-negative
};

Box BoxOf(const RectD& r) {
  return Box{PointD{(r.left + r.right) / 2, (r.top + r.bottom) / 2},
             PointD{std::fabs(r.right - r.left) / 2, std::fabs(r.bottom - r.top) / 2}};
}

// Parameter of the radial through `p` (the angle on the unit circle the
// ellipse is stretched from).
double ParameterOf(const Box& box, PointD p) {
  const double dx = box.radii.x > 0 ? (p.x - box.center.x) / box.radii.x : 0;
  const double dy = box.radii.y > 0 ? (p.y - box.center.y) / box.radii.y : 0;
  return std::atan2(dy, dx);
}

RectD Normalised(const RectD& r) {
  return RectD{std::fmin(r.left, r.right), std::fmin(r.top, r.bottom), std::fmax(r.left, r.right),
               std::fmax(r.top, r.bottom)};
}

}  // namespace

void MetafileCanvas::BeginShape() {
  shapeTransform_ = LogicalToOutput();
  if (!inPath_) {
    cairo_new_path(cairo_);
    shapeSize_ = PathSize{};
  }
}

PointD MetafileCanvas::CurrentPoint() const {
  PointD p;
  if (cairo_has_current_point(cairo_)) cairo_get_current_point(cairo_, &p.x, &p.y);
  return p;
}

void MetafileCanvas::AddEdge(PointD from, PointD to) {
  shapeSize_.length += std::hypot(to.x - from.x, to.y - from.y);
  const double top = std::fmax(std::fmin(from.y, to.y), 0), bottom = std::fmin(std::fmax(from.y, to.y), height_);
  shapeSize_.edges.Add(top, bottom);
}

void MetafileCanvas::EmitMove(PointD logical) {
  if (!Charge(kPointCost)) return;
  const PointD p = Clamped(Apply(shapeTransform_, logical));
  cairo_move_to(cairo_, p.x, p.y);
  ++shapeSize_.points;
}

void MetafileCanvas::EmitLine(PointD logical) {
  if (!Charge(kPointCost)) return;
  const PointD p = Clamped(Apply(shapeTransform_, logical));
  AddEdge(CurrentPoint(), p);
  cairo_line_to(cairo_, p.x, p.y);
  ++shapeSize_.points;
}

void MetafileCanvas::EmitCurve(PointD c1, PointD c2, PointD end) {
  if (!Charge(3 * kPointCost)) return;
  const PointD a = Clamped(Apply(shapeTransform_, c1));
  const PointD b = Clamped(Apply(shapeTransform_, c2));
  const PointD c = Clamped(Apply(shapeTransform_, end));
  // The control polygon is at least as long as the curve and spans its rows.
  AddEdge(CurrentPoint(), a);
  AddEdge(a, b);
  AddEdge(b, c);
  cairo_curve_to(cairo_, a.x, a.y, b.x, b.y, c.x, c.y);
  shapeSize_.points += 3;
}

void MetafileCanvas::EmitPoints(std::span<const PointD> points, bool close) {
  if (points.empty()) return;
  EmitMove(points.front());
  for (const PointD& p : points.subspan(1)) EmitLine(p);
  if (close) cairo_close_path(cairo_);
}

void MetafileCanvas::EmitRect(const RectD& box) {
  const PointD corners[] = {{box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
  EmitPoints(corners, true);
}

void MetafileCanvas::EmitBeziers(std::span<const PointD> points) {
  for (std::size_t i = 0; i + 3 <= points.size(); i += 3) EmitCurve(points[i], points[i + 1], points[i + 2]);
}

void MetafileCanvas::EnsureCurrentPoint() {
  if (!inPath_ || !cairo_has_current_point(cairo_)) EmitMove(state_.position);
}

// Cubic Bézier pieces of at most a quarter turn each.
void MetafileCanvas::EmitEllipseArc(PointD center, PointD radii, double start, double sweep, bool connect) {
  sweep = std::clamp(sweep, -kFullTurn, kFullTurn);
  const PointD first = OnEllipse(center, radii, start);
  if (connect && cairo_has_current_point(cairo_)) {
    EmitLine(first);
  } else {
    EmitMove(first);
  }
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / kQuarterTurn - 1e-9)));
  const double step = sweep / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < pieces; ++i) {
    const double a = start + step * i, b = a + step;
    const PointD p0 = OnEllipse(center, radii, a), p3 = OnEllipse(center, radii, b);
    const PointD c1{p0.x - k * radii.x * std::sin(a), p0.y + k * radii.y * std::cos(a)};
    const PointD c2{p3.x + k * radii.x * std::sin(b), p3.y - k * radii.y * std::cos(b)};
    EmitCurve(c1, c2, p3);
  }
}

// The sweep from `start` to `end` in the arc direction as seen on the
// output: counter-clockwise there means decreasing parameters unless the
// mapping mirrors the picture.
double MetafileCanvas::ArcSweep(double start, double end) const {
  const bool counterClockwise = state_.arcDirection != kArcClockwise;
  const bool decreasing = counterClockwise == (Determinant(shapeTransform_) > 0);
  double sweep = std::fmod(end - start, kFullTurn);
  if (decreasing && sweep >= 0) sweep -= kFullTurn;
  if (!decreasing && sweep <= 0) sweep += kFullTurn;
  return sweep;
}

void MetafileCanvas::Finish(bool fill, bool stroke) {
  if (inPath_) return;
  if (fill) FillCurrentPath();
  if (stroke) StrokeCurrentPath();
  cairo_new_path(cairo_);
}

void MetafileCanvas::MoveTo(PointD p) {
  state_.position = p;
  if (!inPath_) return;
  shapeTransform_ = LogicalToOutput();
  EmitMove(p);
}

void MetafileCanvas::LineTo(PointD p) {
  BeginShape();
  EnsureCurrentPoint();
  EmitLine(p);
  state_.position = p;
  Finish(false, true);
}

void MetafileCanvas::Polyline(std::span<const PointD> points) {
  BeginShape();
  EmitPoints(points, false);
  Finish(false, true);
}

void MetafileCanvas::PolylineTo(std::span<const PointD> points) {
  if (points.empty()) return;
  BeginShape();
  EnsureCurrentPoint();
  for (const PointD& p : points) EmitLine(p);
  state_.position = points.back();
  Finish(false, true);
}

void MetafileCanvas::PolyBezier(std::span<const PointD> points) {
  if (points.empty()) return;
  BeginShape();
  EmitMove(points.front());
  EmitBeziers(points.subspan(1));
  Finish(false, true);
}

void MetafileCanvas::PolyBezierTo(std::span<const PointD> points) {
  if (points.size() < 3) return;
  BeginShape();
  EnsureCurrentPoint();
  EmitBeziers(points);
  state_.position = points[points.size() / 3 * 3 - 1];
  Finish(false, true);
}

void MetafileCanvas::PolyPolyline(std::span<const PointD> points, std::span<const std::uint32_t> counts) {
  BeginShape();
  for (std::uint32_t count : counts) {
    if (count > points.size()) break;
    EmitPoints(points.first(count), false);
    points = points.subspan(count);
  }
  Finish(false, true);
}

void MetafileCanvas::Polygon(std::span<const PointD> points) {
  BeginShape();
  EmitPoints(points, true);
  Finish(true, true);
}

void MetafileCanvas::PolyPolygon(std::span<const PointD> points, std::span<const std::uint32_t> counts) {
  BeginShape();
  for (std::uint32_t count : counts) {
    if (count > points.size()) break;
    EmitPoints(points.first(count), true);
    points = points.subspan(count);
  }
  Finish(true, true);
}

void MetafileCanvas::Rectangle(const RectD& box) {
  BeginShape();
  EmitRect(box);
  Finish(true, true);
}

void MetafileCanvas::RoundRect(const RectD& box, PointD corner) {
  const RectD r = Normalised(box);
  const PointD radii{std::fmin(std::fabs(corner.x) / 2, (r.right - r.left) / 2),
                     std::fmin(std::fabs(corner.y) / 2, (r.bottom - r.top) / 2)};
  BeginShape();
  // Clockwise on a y-down page from the top edge: a quarter ellipse at each
  // corner, joined by the straight edges.
  const PointD centers[] = {{r.right - radii.x, r.top + radii.y},
                            {r.right - radii.x, r.bottom - radii.y},
                            {r.left + radii.x, r.bottom - radii.y},
                            {r.left + radii.x, r.top + radii.y}};
  for (int i = 0; i < 4; ++i) EmitEllipseArc(centers[i], radii, -kQuarterTurn + i * kQuarterTurn, kQuarterTurn, i > 0);
  cairo_close_path(cairo_);
  Finish(true, true);
}

void MetafileCanvas::Ellipse(const RectD& box) {
  const Box b = BoxOf(box);
  BeginShape();
  EmitEllipseArc(b.center, b.radii, 0, kFullTurn, false);
  cairo_close_path(cairo_);
  Finish(true, true);
}

void MetafileCanvas::Arc(ArcKind kind, const RectD& box, PointD start, PointD end) {
  const Box b = BoxOf(box);
  BeginShape();
  const double from = ParameterOf(b, start);
  const double sweep = ArcSweep(from, ParameterOf(b, end));
  if (kind == ArcKind::ArcTo) EnsureCurrentPoint();
  if (kind == ArcKind::Pie) EmitMove(b.center);
  EmitEllipseArc(b.center, b.radii, from, sweep, kind != ArcKind::Arc && kind != ArcKind::Chord);
  if (kind == ArcKind::ArcTo) state_.position = OnEllipse(b.center, b.radii, from + sweep);
  const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
  if (closed) cairo_close_path(cairo_);
  Finish(closed, true);
}

void MetafileCanvas::AngleArc(PointD center, double radius, double startDegrees, double sweepDegrees) {
  // Counter-clockwise angles on a y-down page are negative parameters.
  const double start = -startDegrees * std::numbers::pi / 180;
  const double sweep = -std::clamp(sweepDegrees, -360.0, 360.0) * std::numbers::pi / 180;
  const PointD radii{std::fabs(radius), std::fabs(radius)};
  BeginShape();
  EnsureCurrentPoint();
  EmitEllipseArc(center, radii, start, sweep, true);
  state_.position = OnEllipse(center, radii, start + sweep);
  Finish(false, true);
}

void MetafileCanvas::SetPixel(PointD p, ColorRef color) {
  if (inPath_) return;
  const Brush kept = state_.brush;
  const Pen keptPen = state_.pen;
  state_.brush = Brush{kBrushSolid, color, 0, nullptr};
  state_.pen.style = kPenNull;
  Rectangle(RectD{p.x, p.y, p.x + 1, p.y + 1});
  state_.brush = kept;
  state_.pen = keptPen;
}

}  // namespace pixavue::platform::gdiplus::metafile
