#include "gif_animation.h"

#include <cstring>
#include <utility>

namespace pixavue::platform::gdiplus {
namespace {

ARGB* RowOf(const PixelBuffer& pixels, std::int32_t y) {
  return reinterpret_cast<ARGB*>(pixels.Row(static_cast<std::uint32_t>(y)));
}

// Transparent pixels leave the screen as it is; an index past the colour
// table draws opaque black.
GpStatus DrawFrame(GifFrameDecoder& decoder, const GifFrameRecord& record, const PixelBuffer& screen) {
  const std::vector<ARGB>& palette = *record.palette;
  const auto width = static_cast<std::size_t>(record.rect.Width);
  return decoder.Decode(record, [&](std::uint32_t row, const std::uint8_t* indices) {
    ARGB* out = RowOf(screen, record.rect.Y + static_cast<std::int32_t>(row)) + record.rect.X;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t index = indices[x];
      if (record.transparentIndex == index) continue;
      out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
    }
  });
}

}  // namespace

GifAnimation::GifAnimation(EncodedBytes file, std::shared_ptr<const GifContents> contents, PropertyStore properties)
    : file_(std::move(file)), contents_(std::move(contents)), properties_(std::move(properties)) {}

std::uint32_t GifAnimation::FrameCount() const { return static_cast<std::uint32_t>(contents_->frames.size()); }

GpStatus GifAnimation::DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) {
  if (index >= FrameCount()) return InvalidParameter;
  std::lock_guard guard(mutex_);
  GifFrameDecoder decoder(*file_);
  GpStatus status = decoder.Open();
  if (status != Ok) return status;
  PixelBuffer pixels;
  status = index == 0 ? DrawFirstFrame(decoder, pixels) : Composite(index, decoder, pixels);
  if (status != Ok) return status;
  frame = Frame{};
  frame.pixels = std::move(pixels);
  properties = properties_;
  return Ok;
}

// The first frame is drawn on a clear screen, so it needs no canvas.
GpStatus GifAnimation::DrawFirstFrame(GifFrameDecoder& decoder, PixelBuffer& out) const {
  auto screen = PixelBuffer::Allocate(PixelFormat32bppARGB, contents_->width, contents_->height);
  if (!screen) return OutOfMemory;
  const GpStatus status = DrawFrame(decoder, contents_->frames.front(), *screen);
  if (status == Ok) out = std::move(*screen);
  return status;
}

GpStatus GifAnimation::Composite(std::uint32_t index, GifFrameDecoder& decoder, PixelBuffer& out) {
  // A canvas kept from an earlier call was counted by the load that made
  // it; this one counts it as well, since it is alive beside the new frame.
  std::optional<BudgetReservation> held = BudgetReservation::Take(
      canvas_.empty() ? 0 : static_cast<std::uint64_t>(canvas_.stride()) * canvas_.height());
  if (!held) return OutOfMemory;
  if (canvas_.empty() || index + 1 < drawn_) {
    GpStatus status = Restart();
    if (status != Ok) return status;
  }
  while (drawn_ <= index) {
    GpStatus status = DrawNextFrame(decoder);
    if (status != Ok) {
      Forget();
      return status;
    }
  }
  if (index + 1 == FrameCount()) {
    out = std::move(canvas_);
    Forget();
    return Ok;
  }
  auto copy = canvas_.Clone();
  if (!copy) return OutOfMemory;
  out = std::move(*copy);
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

// Drops the canvas and what disposal kept; the next frame starts over.
void GifAnimation::Forget() {
  canvas_ = PixelBuffer{};
  saved_ = {};
  savedReservation_ = BudgetReservation{};
  drawn_ = 0;
}

GpStatus GifAnimation::DrawNextFrame(GifFrameDecoder& decoder) {
  const std::vector<GifFrameRecord>& frames = contents_->frames;
  if (drawn_ > 0) Dispose(frames[drawn_ - 1]);
  const GifFrameRecord& record = frames[drawn_];
  const bool visible = record.rect.Width > 0 && record.rect.Height > 0;
  if (record.disposal == GifDisposal::Previous && visible) {
    GpStatus status = SaveRect(record.rect);
    if (status != Ok) return status;
  }
  GpStatus status = DrawFrame(decoder, record, canvas_);
  if (status != Ok) return status;
  ++drawn_;
  return Ok;
}

void GifAnimation::Dispose(const GifFrameRecord& previous) {
  if (previous.rect.Width <= 0 || previous.rect.Height <= 0) return;
  if (previous.disposal == GifDisposal::Background) ClearRect(previous.rect);
  if (previous.disposal == GifDisposal::Previous) RestoreRect(previous.rect);
}

GpStatus GifAnimation::SaveRect(const GpRect& rect) {
  const auto width = static_cast<std::size_t>(rect.Width);
  const std::size_t count = width * static_cast<std::size_t>(rect.Height);
  if (count > saved_.size()) {
    auto reservation = BudgetReservation::Take(count * sizeof(ARGB));
    if (!reservation) return OutOfMemory;
    saved_.resize(count);
    savedReservation_ = std::move(*reservation);
  }
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memcpy(saved_.data() + static_cast<std::size_t>(y) * width, RowOf(canvas_, rect.Y + y) + rect.X,
                width * sizeof(ARGB));
  }
  return Ok;
}

void GifAnimation::RestoreRect(const GpRect& rect) {
  const auto width = static_cast<std::size_t>(rect.Width);
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memcpy(RowOf(canvas_, rect.Y + y) + rect.X, saved_.data() + static_cast<std::size_t>(y) * width,
                width * sizeof(ARGB));
  }
}

void GifAnimation::ClearRect(const GpRect& rect) {
  for (std::int32_t y = 0; y < rect.Height; ++y) {
    std::memset(RowOf(canvas_, rect.Y + y) + rect.X, 0, static_cast<std::size_t>(rect.Width) * sizeof(ARGB));
  }
}

}  // namespace pixavue::platform::gdiplus
