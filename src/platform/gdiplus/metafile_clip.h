#pragma once
// The clip of the metafile canvas: a region of whole output pixels (as a
// device context clips to device pixels), intersected with the clip paths
// that rectangles alone cannot describe (rotated rectangles, paths).
//
// A clip is a value whose parts are shared and never changed: a change
// builds a new region from the old one, so saving the drawing state costs
// nothing until the clip changes, and the work of a change is the size of
// the regions it reads and writes. Every live region's rectangles are
// counted against one limit, which bounds the memory of all saved clips.

#include <cairo.h>
#include <pixman.h>

#include <cstdint>
#include <memory>
#include <span>

namespace pixavue::platform::gdiplus::metafile {

// The rectangles of all live regions of one canvas, and their limit.
struct ClipAccount final {
  std::uint64_t liveRects = 0;
  std::uint64_t maxRects = 0;
};

class ClipRegion final {
 public:
  // Null when the result would take the account over its limit.
  static std::shared_ptr<const ClipRegion> FromBoxes(ClipAccount& account, std::span<const pixman_box32_t> boxes);
  // `current` null: the whole output of `width` x `height`.
  static std::shared_ptr<const ClipRegion> Intersected(ClipAccount& account, const ClipRegion* current,
                                                       const ClipRegion& with, std::uint32_t width,
                                                       std::uint32_t height);
  static std::shared_ptr<const ClipRegion> Excluded(ClipAccount& account, const ClipRegion* current,
                                                    const pixman_box32_t& box, std::uint32_t width,
                                                    std::uint32_t height);
  enum class Operation { Union, Xor, Difference };
  // `current` (null: the whole output) combined with `with`.
  static std::shared_ptr<const ClipRegion> Combined(ClipAccount& account, const ClipRegion* current,
                                                    const ClipRegion& with, Operation operation, std::uint32_t width,
                                                    std::uint32_t height);
  ~ClipRegion();
  ClipRegion(const ClipRegion&) = delete;
  ClipRegion& operator=(const ClipRegion&) = delete;

  std::uint64_t Rects() const noexcept;
  std::span<const pixman_box32_t> Boxes() const noexcept;

 private:
  explicit ClipRegion(ClipAccount& account) noexcept;
  // Takes the region into the account; null (and the region freed) when it
  // does not fit.
  static std::shared_ptr<const ClipRegion> Admit(std::unique_ptr<ClipRegion> region);

  ClipAccount& account_;
  pixman_region32_t region_;
};

// One clip path (output pixels) and the paths clipped before it.
struct ClipPath final {
  struct PathDeleter {
    void operator()(cairo_path_t* path) const noexcept { cairo_path_destroy(path); }
  };
  std::unique_ptr<cairo_path_t, PathDeleter> path;
  cairo_fill_rule_t rule = CAIRO_FILL_RULE_WINDING;
  std::shared_ptr<const ClipPath> next;
  // Of this path and all that follow: how many, their points and the work
  // of scan-converting them, which decide the work of clipping with them.
  std::uint64_t count = 0;
  std::uint64_t points = 0;
  double scanWork = 0;
};

struct Clip final {
  std::shared_ptr<const ClipRegion> region;  // null: the whole output
  std::shared_ptr<const ClipPath> paths;     // null: none
};

}  // namespace pixavue::platform::gdiplus::metafile
