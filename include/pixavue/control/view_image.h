#pragma once
// What a person sees of a control: its surface as presented (the retained
// drawing, or the background picture over the background colour, cut by the
// mask picture), the visible scroll bars and the corner box between them,
// and the selection rectangle when it is visible. Hosts without a native
// rendering of their own show this image; the headless host saves it.

#include <cstdint>
#include <vector>

namespace pixavue {

class ImageBox;

struct ViewImage {
  int width = 0;
  int height = 0;
  // Straight ARGB (alpha in the top byte), rows top-down, width * height
  // pixels. Alpha 0 where the control is transparent.
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The control's client area as a person sees it now.
ViewImage ComposeView(ImageBox& control);

}  // namespace pixavue
