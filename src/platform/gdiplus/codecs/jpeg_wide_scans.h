#pragma once
// The component planes of a JPEG frame and the decoding of one scan into
// them, for the sequential DCT and the lossless processes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "jpeg_wide_stream.h"
#include "reserved_array.h"

namespace pixavue::platform::gdiplus {

// The samples of one component at its own resolution. `width` and `height`
// are what the component covers of the image; the stored plane is padded
// to whole MCUs (`stride` by `rows`).
struct WideJpegPlane final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t stride = 0;
  std::uint32_t rows = 0;
  ReservedArray<std::uint16_t> samples;
  std::uint8_t pointTransform = 0;  // lossless samples are shifted up by this
  bool decoded = false;

  std::uint16_t* Row(std::uint32_t y) const { return samples.data() + std::size_t{y} * stride; }
};

// Lays out and allocates the planes of `frame`; OutOfMemory when the
// load's budget cannot spare them.
GpStatus AllocateWideJpegPlanes(const WideJpegFrame& frame, std::vector<WideJpegPlane>& planes);

// What one scan decodes: the coded data starts at the first byte of `data`.
struct WideJpegScanInput final {
  const WideJpegFrame& frame;
  const WideJpegTables& tables;
  const WideJpegScan& scan;
  std::span<const std::uint8_t> data;
  std::vector<WideJpegPlane>& planes;
};

// Each decodes one scan into the planes and sets `consumed` to the bytes
// of `data` it read. InvalidParameter for data that is damaged, ends early
// or whose restart markers are not where the restart interval puts them.
// The caller marks the planes decoded.
GpStatus DecodeWideJpegDctScan(const WideJpegScanInput& input, std::size_t& consumed);
GpStatus DecodeWideJpegLosslessScan(const WideJpegScanInput& input, std::size_t& consumed);

}  // namespace pixavue::platform::gdiplus
