#include "metafile_clip.h"

namespace pixavue::platform::gdiplus::metafile {

ClipRegion::ClipRegion(ClipAccount& account) noexcept : account_(account) { pixman_region32_init(&region_); }

ClipRegion::~ClipRegion() {
  account_.liveRects -= Rects();
  pixman_region32_fini(&region_);
}

std::uint64_t ClipRegion::Rects() const noexcept {
  return static_cast<std::uint64_t>(pixman_region32_n_rects(const_cast<pixman_region32_t*>(&region_)));
}

std::span<const pixman_box32_t> ClipRegion::Boxes() const noexcept {
  int count = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region_), &count);
  return {boxes, static_cast<std::size_t>(count)};
}

std::shared_ptr<const ClipRegion> ClipRegion::Admit(std::unique_ptr<ClipRegion> region) {
  ClipAccount& account = region->account_;
  const std::uint64_t rects = region->Rects();
  if (rects > account.maxRects - account.liveRects) {
    // Not counted yet: the destructor must not take it off the account.
    pixman_region32_fini(&region->region_);
    pixman_region32_init(&region->region_);
    return nullptr;
  }
  account.liveRects += rects;
  return std::shared_ptr<const ClipRegion>(region.release());
}

std::shared_ptr<const ClipRegion> ClipRegion::FromBoxes(ClipAccount& account, std::span<const pixman_box32_t> boxes) {
  std::unique_ptr<ClipRegion> region(new ClipRegion(account));
  // Overlapping boxes are merged: the region is their union.
  pixman_region32_fini(&region->region_);
  if (!pixman_region32_init_rects(&region->region_, boxes.data(), static_cast<int>(boxes.size()))) {
    pixman_region32_init(&region->region_);
  }
  return Admit(std::move(region));
}

std::shared_ptr<const ClipRegion> ClipRegion::Intersected(ClipAccount& account, const ClipRegion* current,
                                                          const ClipRegion& with, std::uint32_t width,
                                                          std::uint32_t height) {
  std::unique_ptr<ClipRegion> region(new ClipRegion(account));
  auto* withRegion = const_cast<pixman_region32_t*>(&with.region_);
  if (current == nullptr) {
    pixman_region32_intersect_rect(&region->region_, withRegion, 0, 0, width, height);
  } else {
    pixman_region32_intersect(&region->region_, const_cast<pixman_region32_t*>(&current->region_), withRegion);
  }
  return Admit(std::move(region));
}

std::shared_ptr<const ClipRegion> ClipRegion::Excluded(ClipAccount& account, const ClipRegion* current,
                                                       const pixman_box32_t& box, std::uint32_t width,
                                                       std::uint32_t height) {
  std::unique_ptr<ClipRegion> region(new ClipRegion(account));
  pixman_region32_t whole, removed;
  pixman_region32_init_rect(&whole, 0, 0, width, height);
  pixman_region32_init_with_extents(&removed, const_cast<pixman_box32_t*>(&box));
  pixman_region32_subtract(&region->region_,
                           current == nullptr ? &whole : const_cast<pixman_region32_t*>(&current->region_), &removed);
  pixman_region32_fini(&removed);
  pixman_region32_fini(&whole);
  return Admit(std::move(region));
}

std::shared_ptr<const ClipRegion> ClipRegion::Combined(ClipAccount& account, const ClipRegion* current,
                                                       const ClipRegion& with, Operation operation,
                                                       std::uint32_t width, std::uint32_t height) {
  std::unique_ptr<ClipRegion> region(new ClipRegion(account));
  pixman_region32_t whole;
  pixman_region32_init_rect(&whole, 0, 0, width, height);
  auto* a = current == nullptr ? &whole : const_cast<pixman_region32_t*>(&current->region_);
  auto* b = const_cast<pixman_region32_t*>(&with.region_);
  switch (operation) {
    case Operation::Union: pixman_region32_union(&region->region_, a, b); break;
    case Operation::Difference: pixman_region32_subtract(&region->region_, a, b); break;
    case Operation::Xor: {
      // Either one without the other: the union less the intersection.
      pixman_region32_t both;
      pixman_region32_init(&both);
      pixman_region32_intersect(&both, a, b);
      pixman_region32_union(&region->region_, a, b);
      pixman_region32_subtract(&region->region_, &region->region_, &both);
      pixman_region32_fini(&both);
      break;
    }
  }
  pixman_region32_fini(&whole);
  // The output's bounds: a union with a region reaching outside stays on it.
  pixman_region32_intersect_rect(&region->region_, &region->region_, 0, 0, width, height);
  return Admit(std::move(region));
}

}  // namespace pixavue::platform::gdiplus::metafile
