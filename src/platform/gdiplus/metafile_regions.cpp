// Painting regions on the metafile canvas. A region's rectangles are in
// logical units and are drawn through the current mapping like any shape;
// a frame is found as the region less the region shrunk by the frame's
// size, worked out with pixman regions in logical units.

#include <algorithm>
#include <cmath>
#include <vector>

#include "load_budget.h"
#include "metafile_canvas.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

constexpr std::uint32_t kPatCopy = 0x00F00021;
constexpr std::uint32_t kDstInvert = 0x00550009;
// Logical coordinates and frame sizes are kept within this, so that the
// shifted copies of a frame's region cannot overflow pixman's 32 bits.
constexpr double kMaxCoordinate = 1 << 28;
// Work units of one rectangle read or written by a region operation, and
// the regions one frame holds at a time (for its memory reservation).
constexpr std::uint64_t kRegionRectCost = 64;
constexpr std::uint64_t kFrameRegionsHeld = 4;

std::int32_t Coordinate(double v) {
  // fmax/fmin also turn NaN into a limit.
  return static_cast<std::int32_t>(std::nearbyint(std::fmin(std::fmax(v, -kMaxCoordinate), kMaxCoordinate)));
}

// A pixman region that frees itself.
class Region final {
 public:
  Region() { pixman_region32_init(&region_); }
  ~Region() { pixman_region32_fini(&region_); }
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  pixman_region32_t* get() { return &region_; }
  std::uint64_t Rects() { return static_cast<std::uint64_t>(pixman_region32_n_rects(&region_)); }

 private:
  pixman_region32_t region_;
};

bool FromRects(std::span<const RectD> rects, Region& out) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const RectD& r : rects) {
    const std::int32_t left = Coordinate(r.left), right = Coordinate(r.right);
    const std::int32_t top = Coordinate(r.top), bottom = Coordinate(r.bottom);
    boxes.push_back(pixman_box32_t{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                   std::max(top, bottom)});
  }
  pixman_region32_fini(out.get());
  if (pixman_region32_init_rects(out.get(), boxes.data(), static_cast<int>(boxes.size()))) return true;
  pixman_region32_init(out.get());
  return false;
}

std::vector<RectD> RectsOf(Region& region) {
  int count = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(region.get(), &count);
  std::vector<RectD> out;
  out.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    out.push_back(RectD{double(boxes[i].x1), double(boxes[i].y1), double(boxes[i].x2), double(boxes[i].y2)});
  }
  return out;
}

}  // namespace

void MetafileCanvas::FillRegion(std::span<const RectD> rects, const Brush& brush) {
  if (brush.style == kBrushNull && !brush.pattern) return;
  // The brush paints as if selected, then the selected one comes back.
  const Brush selected = state_.brush;
  state_.brush = brush;
  PatBltRects(rects, kPatCopy);
  state_.brush = selected;
}

void MetafileCanvas::InvertRegion(std::span<const RectD> rects) { PatBltRects(rects, kDstInvert); }

void MetafileCanvas::FrameRegion(std::span<const RectD> rects, const Brush& brush, PointD frameSize) {
  if (inPath_ || rects.empty()) return;
  const std::int32_t dx = Coordinate(std::fabs(frameSize.x)), dy = Coordinate(std::fabs(frameSize.y));
  // The region and its shrunk copy are at most twice its rectangles
  // (pixman bands), each shifted copy too.
  const std::uint64_t rectBytes = std::uint64_t{rects.size()} * 2 * sizeof(pixman_box32_t);
  const auto reservation = BudgetReservation::Take(rectBytes * kFrameRegionsHeld);
  if (!reservation || !Charge(std::uint64_t{rects.size()} * kRegionRectCost)) return;
  Region region, shrunk, shifted;
  if (!FromRects(rects, region)) return;
  // A point stays in the shrunk region when the region holds the points
  // the frame's size away from it in the eight directions.
  pixman_region32_copy(shrunk.get(), region.get());
  for (const std::int32_t sx : {-dx, 0, dx}) {
    for (const std::int32_t sy : {-dy, 0, dy}) {
      if (sx == 0 && sy == 0) continue;
      pixman_region32_copy(shifted.get(), region.get());
      pixman_region32_translate(shifted.get(), sx, sy);
      pixman_region32_intersect(shrunk.get(), shrunk.get(), shifted.get());
      if (!Charge((region.Rects() + shrunk.Rects()) * kRegionRectCost)) return;
    }
  }
  pixman_region32_subtract(region.get(), region.get(), shrunk.get());
  if (!Charge(region.Rects() * kRegionRectCost)) return;
  FillRegion(RectsOf(region), brush);
}

}  // namespace pixavue::platform::gdiplus::metafile
