#pragma once
// Plain bilinear draws between 32-bit premultiplied or opaque pixels,
// composited by pixman: the drawing benchmark shows it faster than the
// separable scaler for them (bench/gdiplus_draw_bench.cpp). pixman samples
// a sub-image of the source rectangle with its edges repeated, so the
// edges are clamped exactly as the scaler clamps them.

#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"
#include "resample_weights.h"

namespace pixavue::platform::gdiplus {

struct PixmanDraw final {
  const Frame* source = nullptr;
  Frame* target = nullptr;
  const AxisMapping* columns = nullptr;
  const AxisMapping* rows = nullptr;
  bool halfPixelOffset = false;
  DrawImageAbort abort = nullptr;
  void* abortData = nullptr;
};

// True when both frames are 32bppPARGB or 32bppRGB with positive, aligned
// rows, which pixman reads and writes as they are.
bool PixmanCanDraw(const Frame& source, const Frame& target);

// Draws with bilinear filtering; nullopt when pixman is not the better way
// (a one-to-one copy, which the scaler does faster) or cannot express the
// mapping (coordinates past its fixed-point range).
std::optional<GpStatus> DrawBilinearWithPixman(const PixmanDraw& draw);

}  // namespace pixavue::platform::gdiplus
