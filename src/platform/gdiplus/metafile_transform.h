#pragma once
// Affine transforms of metafile playback: world and page transforms, and
// the mapping of a device context's coordinates onto the output pixels.

#include "metafile_state.h"

namespace pixavue::platform::gdiplus::metafile {

// `first` applied, then `second`.
Transform Then(const Transform& first, const Transform& second) noexcept;
PointD Apply(const Transform& t, PointD p) noexcept;
// Length of the image of a unit vector along x (or y), for sizes that scale.
double ScaleX(const Transform& t) noexcept;
double ScaleY(const Transform& t) noexcept;
double Determinant(const Transform& t) noexcept;
// Finite, with a determinant far enough from 0 that points stay apart.
bool Usable(const Transform& t) noexcept;

Transform Translation(double dx, double dy) noexcept;
Transform Scaling(double sx, double sy) noexcept;

// Logical to device coordinates for a mapping mode: device = viewport
// origin + (logical - window origin) * scale, where the scale is 1 for
// MM_TEXT, the ratio of the extents for the (an)isotropic modes (the same
// on both axes for MM_ISOTROPIC, keeping each axis's sign) and a fixed
// physical unit for the metric and English modes, whose y axis points up.
// `pixelsPerMmX/Y` is the device's resolution.
Transform PageTransform(const PageMapping& page, double pixelsPerMmX, double pixelsPerMmY) noexcept;

}  // namespace pixavue::platform::gdiplus::metafile
