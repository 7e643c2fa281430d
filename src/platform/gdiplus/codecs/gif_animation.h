#pragma once
// Frames of an animated GIF as a browser shows them: each frame drawn over
// the logical screen (which starts transparent) after the previous frame's
// disposal. Stepping forwards continues from the cached canvas; any other
// jump composites again from the first frame.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "../codec.h"
#include "gif_reader.h"

namespace pixavue::platform::gdiplus {

class GifAnimation final : public FrameSource {
 public:
  // `properties` go with every frame.
  GifAnimation(std::shared_ptr<const GifContents> contents, PropertyStore properties);

  std::uint32_t FrameCount() const override;
  // A 32bppARGB frame of the screen's size.
  GpStatus DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) override;

 private:
  GpStatus Restart();
  void DrawNextFrame();
  void Dispose(const GifFrameRecord& previous);
  void SaveRect(const GpRect& rect);
  void RestoreRect(const GpRect& rect);
  void ClearRect(const GpRect& rect);
  void Draw(const GifFrameRecord& record);
  ARGB* CanvasRow(std::int32_t y) const;

  std::shared_ptr<const GifContents> contents_;
  PropertyStore properties_;
  std::mutex mutex_;
  PixelBuffer canvas_;
  std::vector<ARGB> saved_;  // the rectangle under a frame that restores it
  std::uint32_t drawn_ = 0;  // frames drawn on the canvas so far
};

}  // namespace pixavue::platform::gdiplus
