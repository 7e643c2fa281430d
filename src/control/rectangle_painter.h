#pragma once
// The selection rectangle shape painted over a view image: its border,
// BorderWidth pixels wide (centred on the shape's edge; inside it for
// InsideSolid), dashed when the width is 1, each pixel combined once with
// the pixel below through the shape's raster operation. Nothing is painted
// while the shape is hidden, transparent, or 1 pixel or less in either
// direction; the border is cut to the image.

#include <pixavue/platform/window/rectangle_shape.h>

#include <cstdint>

namespace pixavue {

struct ViewImage;

// The raster operation of `mode` on the colour bits of an opaque pen and a
// pixel (0xRRGGBB each).
std::uint32_t CombineRaster(platform::ShapeDrawMode mode, std::uint32_t pen, std::uint32_t pixel);

void PaintRectangleShape(const platform::RectangleShape& shape, ViewImage& view);

}  // namespace pixavue
