#include "gif_frame_decoder.h"

#include <array>

#include "../load_budget.h"

namespace pixavue::platform::gdiplus {
namespace {

// Stored row `index` of a frame: interlaced frames carry every 8th row
// from 0, every 8th from 4, every 4th from 2, then every 2nd from 1.
std::uint32_t StoredRow(std::uint32_t index, std::uint32_t height, bool interlaced) {
  if (!interlaced) return index;
  constexpr std::array<std::uint32_t, 4> kStart{0, 4, 2, 1};
  constexpr std::array<std::uint32_t, 4> kStep{8, 8, 4, 2};
  for (std::size_t pass = 0; pass < kStart.size(); ++pass) {
    const std::uint32_t rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (index < rows) return kStart[pass] + index * kStep[pass];
    index -= rows;
  }
  return height;  // past the frame; never reached for index < height
}

}  // namespace

GpStatus GifFrameDecoder::Open() {
  int error = 0;
  gif_ = OpenGif(source_, error);
  return gif_ ? Ok : StatusForGifError(error);
}

GpStatus GifFrameDecoder::Decode(const GifFrameRecord& record, const GifRowSink& sink) {
  if (record.rect.Width <= 0 || record.rect.Height <= 0) return Ok;
  if (!gif_) return InvalidParameter;
  source_.position = record.descriptorOffset;
  if (DGifGetImageDesc(gif_.get()) == GIF_ERROR) return StatusForGifError(gif_->Error);
  DropSavedImages(gif_.get());
  const GifImageDesc& desc = gif_->Image;
  if (static_cast<std::uint32_t>(desc.Width) != record.storedWidth ||
      static_cast<std::uint32_t>(desc.Height) != record.storedHeight) {
    return InvalidParameter;
  }
  return DecodeRows(record, sink);
}

// Rows above the screen's bottom edge are the visible ones; the columns
// visible are those from the frame's left edge.
GpStatus GifFrameDecoder::DecodeRows(const GifFrameRecord& record, const GifRowSink& sink) {
  line_.resize(record.storedWidth);
  const auto visibleRows = static_cast<std::uint32_t>(record.rect.Height);
  const std::size_t skipLeft = static_cast<std::size_t>(record.rect.X - gif_->Image.Left);
  std::uint32_t handedOver = 0;
  for (std::uint32_t i = 0; i < record.storedHeight && handedOver < visibleRows; ++i) {
    // Rows past the allowance are far more than the screen shows: damaged data.
    if (!ChargeLoadWork(record.storedWidth)) return InvalidParameter;
    if (DGifGetLine(gif_.get(), line_.data(), static_cast<int>(record.storedWidth)) == GIF_ERROR) {
      return StatusForGifError(gif_->Error);
    }
    const std::uint32_t row = StoredRow(i, record.storedHeight, record.interlaced);
    const auto top = static_cast<std::uint32_t>(record.rect.Y - gif_->Image.Top);
    if (row < top || row - top >= visibleRows) continue;
    sink(row - top, line_.data() + skipLeft);
    ++handedOver;
  }
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
