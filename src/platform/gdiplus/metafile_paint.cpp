// Filling and stroking with the selected brush and pen, and the raster
// operations of bitmap records.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Work units of any paint operation, over the pixels it covers.
constexpr std::uint64_t kPaintCost = 256;
// A stroke is filled as its outline, with two long edges along each edge
// of the path and the joins between them: about four times the work of
// filling the path.
constexpr double kStrokeOutlineFactor = 4;
// Work units of one dash of a dashed line.
constexpr double kDashCost = 64;
constexpr int kHatchSize = 8;
// Dashes over paths much larger than the output would mean millions of
// dashes; such paths are stroked solid.
constexpr double kMaxDashedExtent = 4;

std::uint32_t Premultiplied(ColorRef color) {
  return 0xFF000000u | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

bool HatchCovers(std::uint32_t hatch, int x, int y) {
  const bool horizontal = y == kHatchSize / 2, vertical = x == kHatchSize / 2;
  const bool forward = x == y, backward = x + y == kHatchSize - 1;
  switch (hatch) {
    case 0: return horizontal;
    case 1: return vertical;
    case 2: return forward;
    case 3: return backward;
    case 4: return horizontal || vertical;
    default: return forward || backward;
  }
}

// An 8 x 8 tile of the hatch in `color` over `background` (0: transparent).
cairo_surface_t* HatchTile(std::uint32_t hatch, std::uint32_t color, std::uint32_t background) {
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kHatchSize, kHatchSize);
  if (cairo_surface_status(tile) != CAIRO_STATUS_SUCCESS) return tile;
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  for (int y = 0; y < kHatchSize; ++y) {
    for (int x = 0; x < kHatchSize; ++x) {
      const std::uint32_t pixel = HatchCovers(hatch, x, y) ? color : background;
      std::memcpy(data + y * stride + x * 4, &pixel, 4);
    }
  }
  cairo_surface_mark_dirty(tile);
  return tile;
}

void SetTiledSource(cairo_t* cairo, cairo_surface_t* tile) {
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_set_source(cairo, pattern);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(tile);
}

cairo_surface_t* SurfaceOver(const PixelBuffer& pixels) {
  return cairo_image_surface_create_for_data(pixels.scan0(), CAIRO_FORMAT_ARGB32, static_cast<int>(pixels.width()),
                                             static_cast<int>(pixels.height()), pixels.stride());
}

// How a raster operation is drawn: a cairo operator over the source (or the
// brush, black or white when it does not use one).
struct RasterOp final {
  bool usesSource = false;
  bool invertSource = false;
  cairo_operator_t op = CAIRO_OPERATOR_OVER;
};

RasterOp RasterOpFor(std::uint32_t rop) {
  const std::uint32_t index = (rop >> 16) & 0xFF;
  RasterOp out;
  // The operation depends on the source when swapping source bits changes it.
  out.usesSource = ((index >> 2) & 0x33) != (index & 0x33);
  switch (index) {
    case 0xEE: out.op = CAIRO_OPERATOR_LIGHTEN; break;     // SRCPAINT: S | D
    case 0x88: out.op = CAIRO_OPERATOR_MULTIPLY; break;    // SRCAND: S & D
    case 0x66: out.op = CAIRO_OPERATOR_DIFFERENCE; break;  // SRCINVERT: S ^ D
    case 0x5A: out.op = CAIRO_OPERATOR_DIFFERENCE; break;  // PATINVERT: P ^ D
    case 0x55: out.op = CAIRO_OPERATOR_DIFFERENCE; break;  // DSTINVERT: ~D
    case 0x33:                                             // NOTSRCCOPY: ~S
    case 0x11: out.invertSource = true; break;             // NOTSRCERASE: ~(S | D), drawn as ~S
    case 0xBB:                                             // MERGEPAINT: ~S | D
      out.invertSource = true;
      out.op = CAIRO_OPERATOR_LIGHTEN;
      break;
    default: break;
  }
  return out;
}

// Inverts the colour of premultiplied pixels, keeping their alpha.
std::optional<PixelBuffer> Inverted(const PixelBuffer& source) {
  auto copy = source.Clone();
  if (!copy) return std::nullopt;
  for (std::uint32_t y = 0; y < copy->height(); ++y) {
    std::uint8_t* row = copy->Row(y);
    for (std::uint32_t x = 0; x < copy->width(); ++x) {
      std::uint8_t* pixel = row + x * 4;
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>(pixel[3] - std::min(pixel[c], pixel[3]));
    }
  }
  return copy;
}

std::optional<Transform> Inverse(const Transform& t) {
  const double det = Determinant(t);
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
  const Transform inverse{t.m22 / det,
                          -t.m12 / det,
                          -t.m21 / det,
                          t.m11 / det,
                          (t.m21 * t.dy - t.m22 * t.dx) / det,
                          (t.m12 * t.dx - t.m11 * t.dy) / det};
  if (!Usable(inverse)) return std::nullopt;
  return inverse;
}

}  // namespace

void MetafileCanvas::SetSourceColor(ColorRef color) {
  cairo_set_source_rgb(cairo_, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

double MetafileCanvas::ClippedArea(double margin) const {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_path_extents(cairo_, &x1, &y1, &x2, &y2);
  // Only the part inside the clip's bounds (within the output) is painted.
  double left = 0, top = 0, right = 0, bottom = 0;
  cairo_clip_extents(cairo_, &left, &top, &right, &bottom);
  const double w = std::clamp(x2 + margin, left, right) - std::clamp(x1 - margin, left, right);
  const double h = std::clamp(y2 + margin, top, bottom) - std::clamp(y1 - margin, top, bottom);
  return std::max(0.0, w) * std::max(0.0, h);
}

bool MetafileCanvas::ChargeFill() {
  const double area = ClippedArea(0);
  const double work = area + ScanConversionWork(shapeSize_.edges, height_) + ClipPaintWork(area);
  return work < 1e18 && Charge(kPaintCost + static_cast<std::uint64_t>(work));
}

bool MetafileCanvas::ChargeStroke(double width, double dashPeriod) {
  const double dashes = dashPeriod > 0 ? shapeSize_.length / dashPeriod : 0;
  const double area = ClippedArea(width);
  const double work = area + shapeSize_.length * width + dashes * kDashCost +
                      kStrokeOutlineFactor * ScanConversionWork(shapeSize_.edges, height_) + ClipPaintWork(area);
  // Far beyond any budget: refused without converting an unbounded double.
  return work < 1e18 && Charge(kPaintCost + static_cast<std::uint64_t>(work));
}

void MetafileCanvas::SetBrushSource() {
  const Brush& brush = state_.brush;
  if (brush.pattern && !brush.pattern->empty()) {
    SetTiledSource(cairo_, SurfaceOver(*brush.pattern));
    return;
  }
  if (brush.style == kBrushHatched) {
    const std::uint32_t background =
        state_.backgroundMode == kBackgroundOpaque ? Premultiplied(state_.backgroundColor) : 0;
    SetTiledSource(cairo_, HatchTile(brush.hatch, Premultiplied(brush.color), background));
    return;
  }
  SetSourceColor(brush.color);
}

void MetafileCanvas::FillCurrentPath() {
  if (state_.brush.style == kBrushNull && !state_.brush.pattern) return;
  if (!ChargeFill()) return;
  SetBrushSource();
  cairo_set_fill_rule(cairo_, state_.fillMode == kFillWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill_preserve(cairo_);
  cairo_set_source_rgb(cairo_, 0, 0, 0);  // drops a pattern over the brush's pixels
}

// The pen in output pixels: at least one pixel wide (GDI's thinnest line),
// with its dashes, caps and joins.
double MetafileCanvas::SetPenStyle() {
  const Pen& pen = state_.pen;
  const double scale = std::sqrt(std::fabs(Determinant(shapeTransform_)));
  const double limit = 2.0 * std::max(width_, height_);
  const double width = std::clamp(std::isfinite(pen.width * scale) ? pen.width * scale : limit, 1.0, limit);
  cairo_set_line_width(cairo_, width);
  const std::uint32_t cap = pen.style & kPenEndCapMask, join = pen.style & kPenJoinMask;
  cairo_set_line_cap(cairo_, cap == kPenEndCapFlat     ? CAIRO_LINE_CAP_BUTT
                             : cap == kPenEndCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                       : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cairo_, join == kPenJoinMiter   ? CAIRO_LINE_JOIN_MITER
                              : join == kPenJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                      : CAIRO_LINE_JOIN_ROUND);
  cairo_set_miter_limit(cairo_, std::clamp(state_.miterLimit, 1.0, 100.0));

  static constexpr double kDash[] = {3, 1}, kDot[] = {1, 1}, kDashDot[] = {3, 1, 1, 1},
                          kDashDotDot[] = {3, 1, 1, 1, 1, 1};
  std::span<const double> units;
  switch (pen.style & kPenStyleMask) {
    case kPenDash: units = kDash; break;
    case kPenDot: units = kDot; break;
    case kPenDashDot: units = kDashDot; break;
    case kPenDashDotDot: units = kDashDotDot; break;
    default: break;
  }
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_path_extents(cairo_, &x1, &y1, &x2, &y2);
  if (x2 - x1 + y2 - y1 > kMaxDashedExtent * (width_ + height_)) units = {};
  double dashes[6] = {};
  // Thin pens dash in steps of three pixels, wide ones in steps of their width.
  const double step = std::max(3.0, width);
  double period = 0;
  for (std::size_t i = 0; i < units.size(); ++i) period += dashes[i] = units[i] * step;
  cairo_set_dash(cairo_, dashes, static_cast<int>(units.size()), 0);
  return period;
}

void MetafileCanvas::StrokeCurrentPath() {
  if ((state_.pen.style & kPenStyleMask) == kPenNull) return;
  const double period = SetPenStyle();
  if (!ChargeStroke(cairo_get_line_width(cairo_), period)) return;
  SetSourceColor(state_.pen.color);
  cairo_stroke_preserve(cairo_);
}

void MetafileCanvas::PatBlt(const RectD& dest, std::uint32_t rop) { PatBltRects({&dest, 1}, rop); }

void MetafileCanvas::PatBltRects(std::span<const RectD> rects, std::uint32_t rop) {
  if (inPath_ || rects.empty()) return;
  const RasterOp raster = RasterOpFor(rop);
  const std::uint32_t index = (rop >> 16) & 0xFF;
  if (index == 0xAA) return;  // the destination unchanged
  BeginShape();
  // One path for all: the rectangles' shared edges leave no seams.
  for (const RectD& rect : rects) {
    EmitRect(rect);
    if (Exhausted()) break;
  }
  cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
  if (!Exhausted() && ChargeFill()) {
    if (index == 0x00 || index == 0xFF || index == 0x55) {
      SetSourceColor(index == 0x00 ? 0x000000 : 0xFFFFFF);
    } else {
      SetBrushSource();
    }
    cairo_set_operator(cairo_, raster.op);
    cairo_fill(cairo_);
    cairo_set_operator(cairo_, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cairo_, 0, 0, 0);
  }
  cairo_new_path(cairo_);
}

void MetafileCanvas::StretchBlt(const PixelBuffer& source, const RectD& sourceRect, const RectD& dest,
                                std::uint32_t rop) {
  const RasterOp raster = RasterOpFor(rop);
  if (!raster.usesSource) return PatBlt(dest, rop);
  const double sourceWidth = sourceRect.right - sourceRect.left, sourceHeight = sourceRect.bottom - sourceRect.top;
  const double destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
  if (inPath_ || source.empty() || sourceWidth == 0 || sourceHeight == 0 || destWidth == 0 || destHeight == 0) return;
  BeginShape();
  // Source pixels to output pixels, and its inverse for the pattern.
  const Transform toOutput =
      Then(Then(Translation(-sourceRect.left, -sourceRect.top),
                Then(Scaling(destWidth / sourceWidth, destHeight / sourceHeight), Translation(dest.left, dest.top))),
           shapeTransform_);
  const auto toSource = Inverse(toOutput);
  if (!toSource) return;
  std::optional<PixelBuffer> inverted;
  if (raster.invertSource && !(inverted = Inverted(source))) return;
  EmitRect(dest);
  if (ChargeFill()) {
    cairo_surface_t* surface = SurfaceOver(inverted ? *inverted : source);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, toSource->m11, toSource->m12, toSource->m21, toSource->m22, toSource->dx, toSource->dy);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    // Enlarged pixels stay sharp (GDI's default stretch mode); reductions
    // are filtered.
    cairo_pattern_set_filter(pattern, std::fabs(Determinant(toOutput)) >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_set_source(cairo_, pattern);
    cairo_set_operator(cairo_, raster.op);
    cairo_fill(cairo_);
    cairo_set_operator(cairo_, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cairo_, 0, 0, 0);  // releases the pattern before the pixels go
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(surface);
  }
  cairo_new_path(cairo_);
}

}  // namespace pixavue::platform::gdiplus::metafile
