#pragma once
// The device context that metafile records draw on: the drawing state (with
// SaveDC / RestoreDC), the current path and clip, and the drawing
// operations in logical coordinates, rendered with cairo into a 32bppPARGB
// buffer. Every operation is charged to a work budget in proportion to the
// work it makes (pixels painted, scan lines crossed by edges, clip
// rectangles read and written); once it is spent, or the clip regions
// would outgrow their memory limit, the canvas draws nothing more and the
// players stop.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "metafile_clip.h"
#include "metafile_scan_work.h"
#include "metafile_state.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::metafile {

enum class ArcKind { Arc, ArcTo, Chord, Pie };

struct CanvasSetup final {
  Transform deviceToOutput;         // device coordinates to output pixels
  double pixelsPerMmX = 96 / 25.4;  // device resolution, for the metric mapping modes
  double pixelsPerMmY = 96 / 25.4;
  std::uint64_t workBudget = 0;  // about one unit a pixel painted
};

class MetafileCanvas final {
 public:
  // `target` is a 32bppPARGB buffer that outlives the canvas. Null when
  // cairo cannot be set up over it.
  static std::unique_ptr<MetafileCanvas> Create(const PixelBuffer& target, const CanvasSetup& setup);
  ~MetafileCanvas();
  MetafileCanvas(const MetafileCanvas&) = delete;
  MetafileCanvas& operator=(const MetafileCanvas&) = delete;

  DeviceState& state() noexcept { return state_; }
  // True once the work budget is spent or cairo failed: nothing more draws.
  bool Exhausted() const noexcept;
  // Charges `units` of work; false (and exhausted) when the budget runs out.
  bool Charge(std::uint64_t units) noexcept;
  // Logical coordinates to output pixels under the current state.
  Transform LogicalToOutput() const noexcept;
  // Device coordinates to output pixels.
  const Transform& DeviceToOutput() const noexcept { return setup_.deviceToOutput; }

  // Lines and curves. The ...To forms start at the current position and
  // leave it at their last point; MoveTo only moves it.
  void MoveTo(PointD p);
  void LineTo(PointD p);
  void Polyline(std::span<const PointD> points);
  void PolylineTo(std::span<const PointD> points);
  // Cubic Béziers: a start point then three points a segment.
  void PolyBezier(std::span<const PointD> points);
  void PolyBezierTo(std::span<const PointD> points);
  // `counts` splits `points` into figures; a count past the points ends it.
  void PolyPolyline(std::span<const PointD> points, std::span<const std::uint32_t> counts);

  // Closed shapes: filled with the brush and outlined with the pen.
  void Polygon(std::span<const PointD> points);
  void PolyPolygon(std::span<const PointD> points, std::span<const std::uint32_t> counts);
  void Rectangle(const RectD& box);
  void RoundRect(const RectD& box, PointD corner);
  void Ellipse(const RectD& box);
  // An elliptic arc of `box` from the radial through `start` to the radial
  // through `end`, in the arc direction.
  void Arc(ArcKind kind, const RectD& box, PointD start, PointD end);
  // A line from the current position to the circle, then the arc; angles in
  // degrees, counter-clockwise.
  void AngleArc(PointD center, double radius, double startDegrees, double sweepDegrees);
  void SetPixel(PointD p, ColorRef color);

  // Paths: between BeginPath and EndPath the shapes above build the path
  // instead of drawing.
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void AbortPath();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  // RGN_AND (1) intersects the clip with the path; RGN_COPY (5) replaces it.
  void SelectClipPath(std::uint32_t mode);

  // Clipping.
  void IntersectClipRect(const RectD& box);
  void ExcludeClipRect(const RectD& box);
  // Rectangles in device coordinates; replace the clip, or intersect with it.
  // No rectangles with `replace`: no clip.
  void ClipToDeviceRects(std::span<const RectD> rects, bool replace);

  void SaveDC();
  // Negative: that many levels back; positive: back to that level.
  void RestoreDC(std::int32_t level);

  // Text at `reference` (logical) with the current font, colours and
  // alignment. `box`, with kTextOpaque or kTextClipped, is filled with the
  // background colour or clips the text.
  void TextOut(PointD reference, std::string_view utf8, std::uint32_t options, const RectD* box);

  // Bitmaps. `source` is 32bppPARGB; `sourceRect` is in its pixels and is
  // drawn stretched onto `dest` (logical; negative sizes mirror) with the
  // raster operation `rop`.
  void StretchBlt(const PixelBuffer& source, const RectD& sourceRect, const RectD& dest, std::uint32_t rop);
  // A raster operation without a source bitmap (brush, black, white, invert).
  void PatBlt(const RectD& dest, std::uint32_t rop);

  // Regions: rectangles in logical units, painted as their union.
  // FillRegion paints with `brush` (a null brush paints nothing),
  // InvertRegion inverts the colour of the pixels, FrameRegion paints with
  // `brush` the part of the region within `frameSize` (logical width of the
  // vertical strokes, height of the horizontal ones) of its outline.
  void FillRegion(std::span<const RectD> rects, const Brush& brush);
  void InvertRegion(std::span<const RectD> rects);
  void FrameRegion(std::span<const RectD> rects, const Brush& brush, PointD frameSize);
  // Rectangles in logical units become the clip, as a region selected as
  // the clip region replaces it; none clip everything away.
  void SelectClipRegion(std::span<const RectD> rects);
  // Rectangles in device coordinates combined with the clip: RGN_AND (1),
  // RGN_OR (2), RGN_XOR (3), RGN_DIFF (4) or RGN_COPY (5); no rectangles
  // with RGN_COPY: no clip. Clip paths stay as they are.
  void CombineClipRegion(std::span<const RectD> rects, std::uint32_t mode);

 private:
  using SavedPath = std::unique_ptr<cairo_path_t, ClipPath::PathDeleter>;

  MetafileCanvas(cairo_surface_t* surface, cairo_t* cairo, std::uint32_t width, std::uint32_t height,
                 const CanvasSetup& setup);

  // Shape building in output pixels.
  void BeginShape();
  PointD CurrentPoint() const;
  void AddEdge(PointD from, PointD to);
  void EmitMove(PointD logical);
  void EmitLine(PointD logical);
  void EmitCurve(PointD c1, PointD c2, PointD end);
  void EmitPoints(std::span<const PointD> points, bool close);
  void EmitRect(const RectD& box);
  void EmitBeziers(std::span<const PointD> points);
  void EmitEllipseArc(PointD center, PointD radii, double start, double sweep, bool connect);
  void EnsureCurrentPoint();
  double ArcSweep(double start, double end) const;
  void Finish(bool fill, bool stroke);

  // PatBlt over the union of `rects` (logical).
  void PatBltRects(std::span<const RectD> rects, std::uint32_t rop);
  // The device rectangles as whole output pixels.
  std::vector<pixman_box32_t> OutputBoxes(std::span<const RectD> deviceRects) const;

  // Painting the current cairo path.
  void FillCurrentPath();
  void StrokeCurrentPath();
  void SetSourceColor(ColorRef color);
  void SetBrushSource();
  // Returns the length of one dash pattern in pixels, 0 for a solid pen.
  double SetPenStyle();
  // The work of painting the current path: the pixels of its bounds on
  // the output, the scan lines its edges (or a stroke's outline) cross,
  // for strokes its length times the pen width and its dashes, and the
  // clip it goes through.
  bool ChargeFill();
  bool ChargeStroke(double width, double dashPeriod);
  double ClippedArea(double margin) const;
  // The work of painting through the current clip an area of `area` pixels.
  double ClipPaintWork(double area) const;

  // Clip changes: the new region or path becomes the clip, which cairo then
  // applies; false (and exhausted) when the budget or the region limit is
  // spent.
  bool SetClipRegion(std::shared_ptr<const ClipRegion> region);
  // Charges a clip change that reads the current clip and `extraRects`
  // more rectangles, then hands the clip to cairo.
  bool ChargeClipChange(std::uint64_t extraRects);
  void AddClipPath(SavedPath path, cairo_fill_rule_t rule, std::uint64_t points, double scanWork);
  void ApplyClip();
  // The box of `box` (logical, under shapeTransform_) on the output in
  // whole pixels; nullopt when the mapping turns it, so that it is no box
  // there.
  std::optional<pixman_box32_t> OutputBox(const RectD& box) const;
  pixman_box32_t ClampedBox(const RectD& outputBox) const;
  // A rectangle the mapping turns, as a clip path: the rectangle itself, or
  // the output without it.
  void ClipToTurnedRect(const RectD& box, bool exclude);
  // Makes the path ended by EndPath current again; false when there is none.
  bool RestoreEndedPath();

  // Keeps the path being built while a clip changes.
  SavedPath TakePath();
  void PutPath(SavedPath path);

  cairo_surface_t* surface_;
  cairo_t* cairo_;
  std::uint32_t width_;
  std::uint32_t height_;
  CanvasSetup setup_;
  DeviceState state_;
  // Declared before every clip, which gives its rectangles back on
  // destruction.
  ClipAccount clipAccount_;
  Clip clip_;
  struct SavedState final {
    DeviceState state;
    Clip clip;
  };
  std::vector<SavedState> saved_;
  Transform shapeTransform_;  // LogicalToOutput while a shape is built
  // Points, length and the rows spanned by the edges (output pixels;
  // control polygons for curves) of the path being built, which decide the
  // work of painting it.
  struct PathSize final {
    std::uint64_t points = 0;
    double length = 0;
    EdgeSpans edges;
  };
  PathSize shapeSize_;
  bool inPath_ = false;
  // Work units of one emitted point.
  static constexpr std::uint64_t kPointCost = 16;

  SavedPath path_;     // the path ended by EndPath, in output pixels
  PathSize pathSize_;  // of path_
  bool exhausted_ = false;
};

}  // namespace pixavue::platform::gdiplus::metafile
