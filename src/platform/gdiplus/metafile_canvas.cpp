// The canvas's set-up, work budget and paths; clipping and saved states are
// in metafile_clipping.cpp, the shapes, painting and text in
// metafile_shapes.cpp, metafile_paint.cpp and metafile_text.cpp.

#include "metafile_canvas.h"

#include <algorithm>
#include <utility>

#include "metafile_transform.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

// Clip regions of all saved states together hold at most this many
// rectangles, or one for every kPixelsPerClipRect output pixels when that
// is more: a quarter of a byte a pixel, and with cairo's copy of the
// current region and the path it is built from, about two bytes a pixel.
constexpr std::uint64_t kMinClipRects = std::uint64_t{1} << 16;
constexpr std::uint64_t kPixelsPerClipRect = 64;

}  // namespace

std::unique_ptr<MetafileCanvas> MetafileCanvas::Create(const PixelBuffer& target, const CanvasSetup& setup) {
  if (target.format() != PixelFormat32bppPARGB || target.empty()) return nullptr;
  const int width = static_cast<int>(target.width()), height = static_cast<int>(target.height());
  if (target.stride() != cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width)) return nullptr;
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(target.scan0(), CAIRO_FORMAT_ARGB32, width, height, target.stride());
  cairo_t* cairo = cairo_create(surface);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::unique_ptr<MetafileCanvas>(new MetafileCanvas(surface, cairo, target.width(), target.height(), setup));
}

MetafileCanvas::MetafileCanvas(cairo_surface_t* surface, cairo_t* cairo, std::uint32_t width, std::uint32_t height,
                               const CanvasSetup& setup)
    : surface_(surface), cairo_(cairo), width_(width), height_(height), setup_(setup) {
  clipAccount_.maxRects = std::max(kMinClipRects, std::uint64_t{width} * height / kPixelsPerClipRect);
}

MetafileCanvas::~MetafileCanvas() {
  path_.reset();
  cairo_destroy(cairo_);
  cairo_surface_flush(surface_);
  cairo_surface_destroy(surface_);
}

bool MetafileCanvas::Exhausted() const noexcept { return exhausted_ || cairo_status(cairo_) != CAIRO_STATUS_SUCCESS; }

bool MetafileCanvas::Charge(std::uint64_t units) noexcept {
  if (exhausted_) return false;
  if (units > setup_.workBudget) {
    exhausted_ = true;
    setup_.workBudget = 0;
    return false;
  }
  setup_.workBudget -= units;
  return true;
}

Transform MetafileCanvas::LogicalToOutput() const noexcept {
  const Transform page = PageTransform(state_.page, setup_.pixelsPerMmX, setup_.pixelsPerMmY);
  return Then(Then(state_.world, page), setup_.deviceToOutput);
}

MetafileCanvas::SavedPath MetafileCanvas::TakePath() {
  SavedPath kept;
  // Copying is charged like emitting the points again.
  if (inPath_ && Charge(shapeSize_.points * kPointCost)) kept.reset(cairo_copy_path(cairo_));
  cairo_new_path(cairo_);
  return kept;
}

void MetafileCanvas::PutPath(SavedPath path) {
  cairo_new_path(cairo_);
  if (path && path->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cairo_, path.get());
}

void MetafileCanvas::BeginPath() {
  inPath_ = true;
  path_.reset();
  shapeSize_ = pathSize_ = PathSize{};
  cairo_new_path(cairo_);
}

void MetafileCanvas::EndPath() {
  if (!inPath_) return;
  path_.reset(cairo_copy_path(cairo_));
  pathSize_ = std::move(shapeSize_);
  inPath_ = false;
  cairo_new_path(cairo_);
}

void MetafileCanvas::CloseFigure() {
  if (inPath_ && cairo_has_current_point(cairo_)) cairo_close_path(cairo_);
}

void MetafileCanvas::AbortPath() {
  inPath_ = false;
  path_.reset();
  cairo_new_path(cairo_);
}

bool MetafileCanvas::RestoreEndedPath() {
  if (inPath_ || !path_ || path_->status != CAIRO_STATUS_SUCCESS) return false;
  cairo_new_path(cairo_);
  cairo_append_path(cairo_, path_.get());
  shapeTransform_ = LogicalToOutput();
  shapeSize_ = std::move(pathSize_);
  path_.reset();  // a path is used once, as GDI discards it
  return true;
}

void MetafileCanvas::FillPath() {
  if (RestoreEndedPath()) Finish(true, false);
}

void MetafileCanvas::StrokePath() {
  if (RestoreEndedPath()) Finish(false, true);
}

void MetafileCanvas::StrokeAndFillPath() {
  if (RestoreEndedPath()) Finish(true, true);
}

}  // namespace pixavue::platform::gdiplus::metafile
