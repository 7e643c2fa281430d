#include "gif_animation.h"

#include <cstring>
#include <utility>

namespace pixavue::platform::gdiplus {

GifAnimation::GifAnimation(std::shared_ptr<const GifContents> contents, PropertyStore properties)
    : contents_(std::move(contents)), properties_(std::move(properties)) {}

std::uint32_t GifAnimation::FrameCount() const { return static_cast<std::uint32_t>(contents_->frames.size()); }

GpStatus GifAnimation::DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) {
  if (index >= FrameCount()) return InvalidParameter;
  std::lock_guard guard(mutex_);
  if (canvas_.empty() || index + 1 < drawn_) {
    GpStatus status = Restart();
    if (status != Ok) return status;
  }
  while (drawn_ <= index) DrawNextFrame();
  auto pixels = canvas_.Clone();
  if (!pixels) return OutOfMemory;
  frame = Frame{};
  frame.pixels = std::move(*pixels);
  properties = properties_;
  return Ok;
}

GpStatus GifAnimation::Restart() {
  drawn_ = 0;
  if (canvas_.empty()) {
    auto canvas = PixelBuffer::Allocate(PixelFormat32bppARGB, contents_->width, contents_->height);
    if (!canvas) return OutOfMemory;
    canvas_ = std::move(*canvas);
    return Ok;
  }
  for (std::uint32_t y = 0; y < canvas_.height(); ++y) {
    std::memset(canvas_.Row(y), 0, static_cast<std::size_t>(canvas_.stride()));
  }
  return Ok;
}

void GifAnimation::DrawNextFrame() {
  const std::vector<GifFrameRecord>& frames = contents_->frames;
  if (drawn_ > 0) Dispose(frames[drawn_ - 1]);
  const GifFrameRecord& record = frames[drawn_];
  const bool visible = record.rect.Width > 0 && record.rect.Height > 0;
  if (record.disposal == GifDisposal::Previous && visible) SaveRect(record.rect);
  Draw(record);
  ++drawn_;
}

void GifAnimation::Dispose(const GifFrameRecord& previous) {
  if (previous.rect.Width <= 0 || previous.rect.Height <= 0) return;
  if (previous.disposal == GifDisposal::Background) ClearRect(previous.rect);
  if (previous.disposal == GifDisposal::Previous) RestoreRect(previous.rect);
}

ARGB* GifAnimation::CanvasRow(std::int32_t y) const {
  return reinterpret_cast<ARGB*>(canvas_.Row(static_cast<std::uint32_t>(y)));
}

void GifAnimation::SaveRect(const GpRect& rect) {
  const auto width = static_cast<std::size_t>(rect.Width);
  saved_.resize(width * static_cast<std::size_t>(rect.Height));
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memcpy(saved_.data() + static_cast<std::size_t>(y) * width, CanvasRow(rect.Y + y) + rect.X,
                width * sizeof(ARGB));
  }
}

void GifAnimation::RestoreRect(const GpRect& rect) {
  const auto width = static_cast<std::size_t>(rect.Width);
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memcpy(CanvasRow(rect.Y + y) + rect.X, saved_.data() + static_cast<std::size_t>(y) * width,
                width * sizeof(ARGB));
  }
}

void GifAnimation::ClearRect(const GpRect& rect) {
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memset(CanvasRow(rect.Y + y) + rect.X, 0, static_cast<std::size_t>(rect.Width) * sizeof(ARGB));
  }
}

// Transparent pixels leave the canvas as it is; an index past the colour
// table draws opaque black.
void GifAnimation::Draw(const GifFrameRecord& record) {
  const std::vector<ARGB>& palette = *record.palette;
  const auto width = static_cast<std::size_t>(record.rect.Width);
  for (std::int32_t y = 0; y < record.rect.Height; ++y) {
    const std::uint8_t* indices = record.indices.data() + static_cast<std::size_t>(y) * width;
    ARGB* row = CanvasRow(record.rect.Y + y) + record.rect.X;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t index = indices[x];
      if (record.transparentIndex == index) continue;
      row[x] = index < palette.size() ? palette[index] : 0xFF000000u;
    }
  }
}

}  // namespace pixavue::platform::gdiplus
