// The rectangles of a render: the source cut to the view, the working
// source kept inside the image, and the destination.

#include <gtest/gtest.h>

#include "view_rects.h"

namespace pixavue::control {
namespace {

TEST(ViewRectsTest, SourceAndDestinationPerAxis) {
  // Vertical values follow the horizontal ones through the pixel aspect.
  const struct {
    const char* name;
    ViewGeometry geometry;
    ViewRect source, working, destination;
  } cases[] = {
      {"scrolled wide image", {1000, 100, 2.0, 1.0, -300, 20, 2000, 200, 400, 300},
       {150, 0, 200, 100}, {150, 0, 200, 100}, {0, 20, 400, 200}},
      {"narrow image at its offset", {100, 1000, 1.0, 1.0, 150, -300, 100, 1000, 400, 250},
       {0, 300, 100, 250}, {0, 300, 100, 250}, {150, 0, 100, 250}},
      {"pixel aspect scales rows", {10, 100, 1.0, 0.5, 0, -50, 10, 200, 20, 100},
       {0, 25, 10, 50}, {0, 25, 10, 50}, {0, 0, 10, 100}},
      {"halves to even", {1000, 1000, 2.0, 1.0, -301, -303, 2000, 2000, 401, 403},
       {150, 152, 200, 202}, {150, 152, 200, 202}, {0, 0, 401, 403}},
      {"past the far edge moves back", {1000, 1000, 2.0, 1.0, -1600, -1598, 2000, 2000, 403, 401},
       {800, 799, 202, 200}, {798, 799, 202, 200}, {0, 0, 403, 401}},
      {"left of the image is cut", {100, 100, 2.0, 1.0, 10, 3, 200, 200, 150, 150},
       {-5, -2, 75, 75}, {0, 0, 75, 75}, {0, 0, 150, 150}},
      {"wider than the image is cut", {10, 10, 1.0, 1.0, 0, 0, 12, 12, 11, 11},
       {0, 0, 11, 11}, {0, 0, 10, 10}, {0, 0, 11, 11}},
  };
  for (const auto& c : cases) {
    const ViewRects rects = ComputeViewRects(c.geometry);
    EXPECT_EQ(rects.source, c.source) << c.name;
    EXPECT_EQ(rects.workingSource, c.working) << c.name;
    EXPECT_EQ(rects.destination, c.destination) << c.name;
  }
}

}  // namespace
}  // namespace pixavue::control
