// Clipping and saved states of the metafile canvas. The clip is kept as a
// region and clip paths (metafile_clip.h) and handed to cairo whole after
// each change; a change is charged by the rectangles it reads and writes
// and the clip paths cairo goes through again.

#include <algorithm>
#include <cmath>
#include <vector>

#include "metafile_canvas.h"
#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Deeper SaveDC nesting is ignored; real files use a handful of levels.
constexpr std::size_t kMaxSavedStates = 1024;
constexpr std::uint32_t kRegionAnd = 1;
constexpr std::uint32_t kRegionOr = 2;
constexpr std::uint32_t kRegionXor = 3;
constexpr std::uint32_t kRegionDiff = 4;
constexpr std::uint32_t kRegionCopy = 5;
// Work units of one rectangle of a region read or written by a clip change
// (the region operation and cairo's conversion of the region to its clip),
// and of one rectangle a paint goes through.
constexpr std::uint64_t kClipRectCost = 128;
constexpr double kClipRectPaintCost = 8;

// An edge of the output in whole pixels: device contexts clip to pixels.
std::int32_t PixelEdge(double v, std::uint32_t limit) {
  // fmax/fmin also turn NaN into a limit.
  return static_cast<std::int32_t>(std::nearbyint(std::fmin(std::fmax(v, 0.0), double(limit))));
}

}  // namespace

pixman_box32_t MetafileCanvas::ClampedBox(const RectD& r) const {
  return pixman_box32_t{PixelEdge(std::fmin(r.left, r.right), width_), PixelEdge(std::fmin(r.top, r.bottom), height_),
                        PixelEdge(std::fmax(r.left, r.right), width_),
                        PixelEdge(std::fmax(r.top, r.bottom), height_)};
}

std::optional<pixman_box32_t> MetafileCanvas::OutputBox(const RectD& box) const {
  if (shapeTransform_.m12 != 0 || shapeTransform_.m21 != 0) return std::nullopt;
  const PointD a = Apply(shapeTransform_, PointD{box.left, box.top});
  const PointD b = Apply(shapeTransform_, PointD{box.right, box.bottom});
  return ClampedBox(RectD{a.x, a.y, b.x, b.y});
}

double MetafileCanvas::ClipPaintWork(double area) const {
  double work = clip_.region ? double(clip_.region->Rects()) * kClipRectPaintCost : 0;
  if (clip_.paths) work += double(clip_.paths->count) * area + clip_.paths->scanWork;
  return work;
}

bool MetafileCanvas::ChargeClipChange(std::uint64_t extraRects) {
  const std::uint64_t rects = (clip_.region ? clip_.region->Rects() : 0) + extraRects;
  std::uint64_t work = rects * kClipRectCost;
  if (clip_.paths) work += clip_.paths->points * kPointCost + static_cast<std::uint64_t>(clip_.paths->scanWork);
  return Charge(work);
}

bool MetafileCanvas::SetClipRegion(std::shared_ptr<const ClipRegion> region) {
  if (!region) {
    // Over the memory limit of clip regions: nothing more plays.
    exhausted_ = true;
    return false;
  }
  clip_.region = std::move(region);
  if (!ChargeClipChange(0)) return false;
  ApplyClip();
  return true;
}

void MetafileCanvas::AddClipPath(SavedPath path, cairo_fill_rule_t rule, std::uint64_t points, double scanWork) {
  if (!path || path->status != CAIRO_STATUS_SUCCESS) return;
  auto node = std::make_shared<ClipPath>();
  node->path = std::move(path);
  node->rule = rule;
  node->next = clip_.paths;
  node->count = 1 + (node->next ? node->next->count : 0);
  node->points = points + (node->next ? node->next->points : 0);
  node->scanWork = scanWork + (node->next ? node->next->scanWork : 0);
  clip_.paths = std::move(node);
  if (ChargeClipChange(0)) ApplyClip();
}

void MetafileCanvas::ApplyClip() {
  SavedPath kept = TakePath();
  cairo_reset_clip(cairo_);
  if (clip_.region) {
    // No rectangles leave an empty path, which clips everything away.
    for (const pixman_box32_t& box : clip_.region->Boxes()) {
      cairo_rectangle(cairo_, box.x1, box.y1, box.x2 - box.x1, box.y2 - box.y1);
    }
    cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cairo_);
  }
  for (const ClipPath* node = clip_.paths.get(); node != nullptr; node = node->next.get()) {
    cairo_append_path(cairo_, node->path.get());
    cairo_set_fill_rule(cairo_, node->rule);
    cairo_clip(cairo_);
  }
  PutPath(std::move(kept));
}

void MetafileCanvas::ClipToTurnedRect(const RectD& box, bool exclude) {
  SavedPath kept = TakePath();
  PathSize building = std::move(shapeSize_);
  shapeSize_ = PathSize{};
  if (exclude) {
    cairo_rectangle(cairo_, 0, 0, width_, height_);
    shapeSize_.edges.Add(0, height_);
    shapeSize_.edges.Add(0, height_);
  }
  EmitRect(box);
  SavedPath rect(cairo_copy_path(cairo_));
  const std::uint64_t points = shapeSize_.points;
  const double scanWork = ScanConversionWork(shapeSize_.edges, height_);
  shapeSize_ = std::move(building);
  PutPath(std::move(kept));
  AddClipPath(std::move(rect), exclude ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING, points, scanWork);
}

void MetafileCanvas::IntersectClipRect(const RectD& box) {
  shapeTransform_ = LogicalToOutput();
  const auto output = OutputBox(box);
  if (!output) return ClipToTurnedRect(box, false);
  if (!ChargeClipChange(1)) return;
  const auto with = ClipRegion::FromBoxes(clipAccount_, {&*output, 1});
  SetClipRegion(with ? ClipRegion::Intersected(clipAccount_, clip_.region.get(), *with, width_, height_) : nullptr);
}

void MetafileCanvas::ExcludeClipRect(const RectD& box) {
  shapeTransform_ = LogicalToOutput();
  const auto output = OutputBox(box);
  if (!output) return ClipToTurnedRect(box, true);
  if (!ChargeClipChange(1)) return;
  SetClipRegion(ClipRegion::Excluded(clipAccount_, clip_.region.get(), *output, width_, height_));
}

std::vector<pixman_box32_t> MetafileCanvas::OutputBoxes(std::span<const RectD> deviceRects) const {
  // The device is mapped onto the output by scaling alone, so its
  // rectangles stay boxes.
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(deviceRects.size());
  const Transform& toOutput = setup_.deviceToOutput;
  for (const RectD& box : deviceRects) {
    const PointD a = Apply(toOutput, PointD{box.left, box.top}), b = Apply(toOutput, PointD{box.right, box.bottom});
    boxes.push_back(ClampedBox(RectD{a.x, a.y, b.x, b.y}));
  }
  return boxes;
}

void MetafileCanvas::ClipToDeviceRects(std::span<const RectD> rects, bool replace) {
  CombineClipRegion(rects, replace ? kRegionCopy : kRegionAnd);
}

void MetafileCanvas::CombineClipRegion(std::span<const RectD> rects, std::uint32_t mode) {
  if (mode < kRegionAnd || mode > kRegionCopy) return;
  if (mode == kRegionCopy) clip_ = Clip{};
  if (rects.empty()) {
    // No region: only a copy means something (the clip goes).
    if (mode == kRegionCopy && Charge(kClipRectCost)) ApplyClip();
    return;
  }
  if (!ChargeClipChange(rects.size())) return;
  auto with = ClipRegion::FromBoxes(clipAccount_, OutputBoxes(rects));
  if (mode == kRegionCopy || !with) return void(SetClipRegion(std::move(with)));
  const ClipRegion* current = clip_.region.get();
  if (mode == kRegionAnd) {
    return void(SetClipRegion(ClipRegion::Intersected(clipAccount_, current, *with, width_, height_)));
  }
  const auto operation = mode == kRegionOr    ? ClipRegion::Operation::Union
                         : mode == kRegionXor ? ClipRegion::Operation::Xor
                                              : ClipRegion::Operation::Difference;
  SetClipRegion(ClipRegion::Combined(clipAccount_, current, *with, operation, width_, height_));
}

void MetafileCanvas::SelectClipRegion(std::span<const RectD> rects) {
  shapeTransform_ = LogicalToOutput();
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const RectD& rect : rects) {
    // The window mapping of a WMF scales and moves: boxes stay boxes.
    const auto box = OutputBox(rect);
    if (!box) return;
    boxes.push_back(*box);
  }
  if (!ChargeClipChange(boxes.size())) return;
  clip_ = Clip{};
  SetClipRegion(ClipRegion::FromBoxes(clipAccount_, boxes));
}

void MetafileCanvas::SelectClipPath(std::uint32_t mode) {
  if (mode != kRegionAnd && mode != kRegionCopy && mode != kRegionDiff) return;
  if (inPath_ || !path_ || path_->status != CAIRO_STATUS_SUCCESS) return;
  SavedPath path = std::move(path_);  // a path is used once, as GDI discards it
  PathSize size = std::move(pathSize_);
  cairo_fill_rule_t rule = state_.fillMode == kFillWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
  if (mode == kRegionDiff) {
    // The output without the path.
    cairo_new_path(cairo_);
    cairo_rectangle(cairo_, 0, 0, width_, height_);
    cairo_append_path(cairo_, path.get());
    path.reset(cairo_copy_path(cairo_));
    cairo_new_path(cairo_);
    rule = CAIRO_FILL_RULE_EVEN_ODD;
    size.points += 4;
    size.edges.Add(0, height_);
    size.edges.Add(0, height_);
  }
  if (mode == kRegionCopy) clip_ = Clip{};
  AddClipPath(std::move(path), rule, size.points, ScanConversionWork(size.edges, height_));
}

void MetafileCanvas::SaveDC() {
  if (saved_.size() >= kMaxSavedStates) return;
  // The clip's parts are shared, not copied.
  saved_.push_back(SavedState{state_, clip_});
}

void MetafileCanvas::RestoreDC(std::int32_t level) {
  const std::int64_t depth = static_cast<std::int64_t>(saved_.size());
  const std::int64_t pops = level < 0 ? -std::int64_t{level} : depth - level + 1;
  if (level == 0 || pops <= 0 || pops > depth) return;
  saved_.resize(static_cast<std::size_t>(depth - pops + 1));
  const bool clipChanged = saved_.back().clip.region != clip_.region || saved_.back().clip.paths != clip_.paths;
  state_ = std::move(saved_.back().state);
  clip_ = std::move(saved_.back().clip);
  saved_.pop_back();
  if (clipChanged && ChargeClipChange(0)) ApplyClip();
}

}  // namespace pixavue::platform::gdiplus::metafile
