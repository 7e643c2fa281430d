#pragma once
// Frames of an animated GIF as a browser shows them: each frame drawn over
// the logical screen (which starts transparent) after the previous frame's
// disposal. Each frame's data is decoded only when the frame is drawn.
//
// Frame 0 is drawn straight into the frame handed out. Other frames come
// from a canvas kept for stepping forwards (any other jump composites again
// from the first frame); the last frame takes the canvas itself, since no
// step can continue from it, so a two-frame file never holds the screen
// more than twice.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "../codec.h"
#include "../load_budget.h"
#include "gif_frame_decoder.h"
#include "gif_reader.h"

namespace pixavue::platform::gdiplus {

class GifAnimation final : public FrameSource {
 public:
  // `properties` go with every frame.
  GifAnimation(EncodedBytes file, std::shared_ptr<const GifContents> contents, PropertyStore properties);

  std::uint32_t FrameCount() const override;
  // A 32bppARGB frame of the screen's size.
  GpStatus DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) override;

 private:
  GpStatus DrawFirstFrame(GifFrameDecoder& decoder, PixelBuffer& out) const;
  GpStatus Composite(std::uint32_t index, GifFrameDecoder& decoder, PixelBuffer& out);
  GpStatus Restart();
  GpStatus DrawNextFrame(GifFrameDecoder& decoder);
  void Forget();
  void Dispose(const GifFrameRecord& previous);
  GpStatus SaveRect(const GpRect& rect);
  void RestoreRect(const GpRect& rect);
  void ClearRect(const GpRect& rect);

  EncodedBytes file_;
  std::shared_ptr<const GifContents> contents_;
  PropertyStore properties_;
  std::mutex mutex_;
  PixelBuffer canvas_;
  std::vector<ARGB> saved_;  // the rectangle under a frame that restores it
  BudgetReservation savedReservation_;
  std::uint32_t drawn_ = 0;  // frames drawn on the canvas so far
};

}  // namespace pixavue::platform::gdiplus
