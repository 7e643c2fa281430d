#pragma once
// The selection, page and animation steps of the control view fuzz target:
// an animated GIF made from the input, the selection rectangle set in
// every unit and drawn and edited with the pointer, pages turned, the
// animation started and stopped and the clock advanced; and the checks
// that follow each step.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <pixavue/engine/image_id.h>

#include "control_fuzz_harness.h"
#include "gif_test_files.h"

namespace pixavue::fuzz {

// 2 to 6 frames of up to 64 x 64 pixels, each of one colour, with delays of
// 0 to 20 hundredths, shown through a byte array (an in-place document).
inline engine::ImageId ShowAnimation(FuzzedDataProvider& input, ImageBox& box) {
  const auto width = input.ConsumeIntegralInRange<std::uint16_t>(1, 64);
  const auto height = input.ConsumeIntegralInRange<std::uint16_t>(1, 64);
  platform::test::GifBuilder gif(width, height, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu});
  const int frames = input.ConsumeIntegralInRange(2, 6);
  for (int i = 0; i < frames; ++i) {
    gif.Control(1, input.ConsumeIntegralInRange<std::uint16_t>(0, 20))
        .UniformImage(0, 0, width, height, static_cast<std::uint8_t>(i % 4));
  }
  box.put_AnimateGIF(input.ConsumeBool());
  const std::vector<std::uint8_t> bytes = gif.Bytes();
  box.DisplayFromByteArray(bytes);
  return engine::kNoImage;  // the control's own: closing it releases it
}

// The rectangle lies on the displayed image (a side may be empty).
inline void CheckOnImage(const ImageBox& box) {
  const ImageBoxRuntime& state = box.Runtime();
  const platform::RectangleShape& shape = box.shRect();
  const double left = shape.Left(), top = shape.Top();
  if (left < state.ImageOffsetX || top < state.ImageOffsetY ||
      left + shape.Width() > static_cast<double>(state.ImageOffsetX) + state.DisplayedWidth ||
      top + shape.Height() > static_cast<double>(state.ImageOffsetY) + state.DisplayedHeight) {
    std::abort();
  }
}

inline bool AnchorOnImage(const ImageBox& box) {
  const ImageBoxRuntime& state = box.Runtime();
  const std::int64_t x = state.LastMouseX, y = state.LastMouseY;
  return x >= state.ImageOffsetX && x <= std::int64_t{state.ImageOffsetX} + state.DisplayedWidth &&
         y >= state.ImageOffsetY && y <= std::int64_t{state.ImageOffsetY} + state.DisplayedHeight;
}

inline bool SameShape(const platform::RectangleShape& a, float left, float top, float width, float height) {
  return a.Left() == left && a.Top() == top && a.Width() == width && a.Height() == height;
}

inline void RunPointerStep(FuzzedDataProvider& input, ImageBox& box, int step) {
  const float x = input.ConsumeFloatingPointInRange(-100.0f, 800.0f);
  const float y = input.ConsumeFloatingPointInRange(-100.0f, 600.0f);
  const platform::RectangleShape& shape = box.shRect();
  const float left = shape.Left(), top = shape.Top(), width = shape.Width(), height = shape.Height();
  switch (step) {
    case 0: box.PressRect(x, y); break;
    case 1:
      // Cut at the image only while the press point is still on it: a
      // zoom since the press may have moved the image away.
      box.StretchRect(x, y);
      if (!SameShape(shape, left, top, width, height) && AnchorOnImage(box)) CheckOnImage(box);
      break;
    case 2:
      box.HoverRect(x, y);
      if (!SameShape(shape, left, top, width, height)) CheckOnImage(box);
      break;
    default: box.EndRectDrag(); break;
  }
}

inline void RunSelectionOrPageOperation(FuzzedDataProvider& input, ControlHarness& harness) {
  ImageBox& box = harness.Control();
  const auto anyInt = [&] { return input.ConsumeIntegral<std::int32_t>(); };
  const auto anyFloat = [&] { return input.ConsumeFloatingPoint<float>(); };
  const int operation = input.ConsumeIntegralInRange(0, 14);
  switch (operation) {
    case 0: box.put_MouseMode(static_cast<ViewerMouseMode>(input.ConsumeIntegralInRange(-1, 4))); break;
    case 1:
    case 2:
    case 3:
    case 4: RunPointerStep(input, box, operation - 1); break;
    case 5: box.SetRectValues(anyInt(), anyInt(), anyInt(), anyInt()); break;
    case 6: box.SetRectValuesObject(anyInt(), anyInt(), anyInt(), anyInt()); break;
    case 7: box.SetRectValuesMM(anyFloat(), anyFloat(), anyFloat(), anyFloat()); break;
    case 8: box.ZoomRect(); break;
    case 9: box.CenterOnRect(); break;
    case 10: box.DisplayFrame(input.ConsumeBool() ? input.ConsumeIntegralInRange(-1, 8) : anyInt()); break;
    case 11:
      switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: box.DisplayNextFrame(); break;
        case 1: box.DisplayPreviousFrame(); break;
        case 2: box.DisplayFirstFrame(); break;
        default: box.DisplayLastFrame(); break;
      }
      break;
    case 12: box.put_AnimateGIF(input.ConsumeBool()); break;
    case 13:
      if (input.ConsumeBool()) {
        box.PlayGif();
      } else {
        box.StopGif();
      }
      break;
    default: harness.Host().Advance(input.ConsumeIntegralInRange(0, 700)); break;
  }
  std::int32_t values[4] = {};
  box.GetRectValues(values[0], values[1], values[2], values[3]);
  box.GetRectValuesObject(values[0], values[1], values[2], values[3]);
  float millimetres[4] = {};
  box.GetRectValuesMM(millimetres[0], millimetres[1], millimetres[2], millimetres[3]);
}

// The page lies within the document; a running animation has its timer.
inline void CheckPagesAndAnimation(const ImageBox& box) {
  const ImageBoxRuntime& state = box.Runtime();
  if (box.get_CurrentPage() < 0 || box.get_CurrentPage() > box.get_PageCount()) std::abort();
  if (state.GifTimerRunning != (state.GifTimerId != 0)) std::abort();
  if (state.GifTimerRunning && !state.IsAnimatedGif) std::abort();
  const platform::RectangleShape& shape = box.shRect();
  if (!(shape.Width() >= 0) || !(shape.Height() >= 0)) std::abort();
}

}  // namespace pixavue::fuzz
