#pragma once
// Drawing of EMF+ shapes with cairo on the metafile's output buffer. Shapes
// are built from world points mapped to output pixels, then filled with a
// brush, stroked with a pen or painted with an image. Every point and every
// painting is charged to the canvas's work budget in proportion to the work
// it makes (pixels covered, scan lines crossed by edges), so a hostile file
// finishes in bounded time.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>

#include "emfplus_objects.h"
#include "metafile_scan_work.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::emfplus {

class Painter final {
 public:
  // Null when cairo cannot be set up over `target` (32bppPARGB, outliving
  // the painter).
  static std::unique_ptr<Painter> Create(const PixelBuffer& target, metafile::MetafileCanvas& canvas);
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void SetAntialias(bool on);
  void SetSourceCopy(bool on);

  // A new shape whose points are mapped to the output by `worldToOutput`.
  void BeginShape(const Transform& worldToOutput);
  void AddPolygon(std::span<const PointD> points, bool close);
  void AddBeziers(std::span<const PointD> points);
  void AddRect(const RectF& rect);
  // An elliptic arc of `rect` from `startDegrees` over `sweepDegrees`
  // (clockwise when y points down), the angles those of rays from the
  // centre. `pie` joins it to the centre and closes it.
  void AddArc(const RectF& rect, double startDegrees, double sweepDegrees, bool pie);
  void AddPath(const Path& path);
  // A cardinal spline through `points` with `tension` (0: straight lines).
  void AddCurve(std::span<const PointD> points, double tension, bool closed);

  void Fill(const Brush& brush, bool winding);
  void Stroke(const Pen& pen);
  // Paints the shape with `image`, whose pixels map to world coordinates by
  // `imageToWorld`.
  void PaintImage(const PixelBuffer& image, const Transform& imageToWorld);
  void Clear(ARGB color);

  // The clip: none, or the shape (replacing or intersecting the clip).
  void ResetClip();
  void ClipToShape(bool replace);
  void Save();
  void Restore();

 private:
  Painter(cairo_surface_t* surface, cairo_t* cairo, double width, double height, metafile::MetafileCanvas& canvas);

  bool EmitPoint(PointD world, PointD& out);
  void MoveTo(PointD world);
  void LineTo(PointD world);
  void CurveTo(PointD c1, PointD c2, PointD end);
  void AddEdge(PointD from, PointD to);
  bool ChargePaint(double margin, double outlineFactor, double strokeWidth);
  void SetBrushSource(const Brush& brush);
  double SetPenStyle(const Pen& pen);

  cairo_surface_t* surface_;
  cairo_t* cairo_;
  double width_;
  double height_;
  metafile::MetafileCanvas& canvas_;
  Transform toOutput_;
  PointD last_;  // the last point emitted, output pixels
  double length_ = 0;
  std::uint64_t points_ = 0;
  metafile::EdgeSpans edges_;
  int saved_ = 0;
};

}  // namespace pixavue::platform::gdiplus::emfplus
