#pragma once
// Decodes the LZW data of one GIF frame, found again through its record,
// and hands over its visible rows one at a time. Nothing as large as the
// frame is allocated here: the caller draws each row where it belongs.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "gif_handle.h"
#include "gif_reader.h"

namespace pixavue::platform::gdiplus {

// Receives visible row `row` (screen row rect.Y + row) as rect.Width
// colour indices.
using GifRowSink = std::function<void(std::uint32_t row, const std::uint8_t* indices)>;

class GifFrameDecoder final {
 public:
  explicit GifFrameDecoder(std::span<const std::uint8_t> file) noexcept : source_{file, 0} {}

  // InvalidParameter when the file no longer reads as a GIF.
  GpStatus Open();
  // InvalidParameter for data that ends early or is corrupt, OutOfMemory
  // when the load's work allowance runs out. Rows stop once every visible
  // one was handed over; frames with nothing visible decode nothing.
  GpStatus Decode(const GifFrameRecord& record, const GifRowSink& sink);

 private:
  GpStatus DecodeRows(const GifFrameRecord& record, const GifRowSink& sink);

  GifMemorySource source_;
  GifHandle gif_;
  std::vector<GifPixelType> line_;
};

}  // namespace pixavue::platform::gdiplus
