#pragma once
// The marker segments of a JPEG stream that this layer's own decoder reads:
// the tables (DQT, DHT, DRI), one frame header (SOF0, SOF1 or SOF3) and the
// headers of its scans. A TIFF page may keep its tables in one
// abbreviated stream (JPEGTables) and give each strip or tile an
// abbreviated stream of its own; the tables of both are read into one
// state, the strip's own overriding.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "jpeg_wide_entropy.h"

namespace pixavue::platform::gdiplus {

// Components a frame may have: more than any TIFF page carries.
inline constexpr std::size_t kMaxWideJpegComponents = 16;

// For each position of the zig-zag order, the index of its coefficient in
// a block kept in row-major order.
std::span<const std::uint8_t> WideJpegZigZag();

enum class WideJpegProcess { Sequential, Lossless };

struct WideJpegComponent final {
  std::uint8_t id = 0;
  std::uint8_t h = 1;  // sampling factors, 1..4
  std::uint8_t v = 1;
  std::uint8_t quantTable = 0;
};

struct WideJpegFrame final {
  WideJpegProcess process = WideJpegProcess::Sequential;
  std::uint8_t precision = 8;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<WideJpegComponent> components;
  std::uint8_t maxH = 1;
  std::uint8_t maxV = 1;
};

struct WideJpegTables final {
  std::array<std::array<std::uint16_t, 64>, 4> quant{};  // natural (row-major) order
  std::array<bool, 4> quantDefined{};
  std::array<WideJpegHuffmanTable, 4> dc;  // also the lossless tables
  std::array<WideJpegHuffmanTable, 4> ac;
  std::uint32_t restartInterval = 0;
};

struct WideJpegScan final {
  std::uint8_t count = 0;
  std::array<std::uint8_t, 4> component{};  // indices into the frame's components
  std::array<std::uint8_t, 4> dcTable{};
  std::array<std::uint8_t, 4> acTable{};
  std::uint8_t ss = 0;  // spectral start; the predictor of a lossless scan
  std::uint8_t se = 0;
  std::uint8_t ah = 0;
  std::uint8_t al = 0;  // successive approximation; the point transform of a lossless scan
};

// Walks the segments of one stream. Statuses: UnknownImageFormat for JPEG
// processes not read here (progressive, arithmetic, hierarchical, DCT of
// other than 8 or 12 bits), InvalidParameter for anything damaged.
class WideJpegStream final {
 public:
  WideJpegStream(std::span<const std::uint8_t> data, WideJpegTables& tables, WideJpegFrame& frame)
      : data_(data), tables_(tables), frame_(frame) {}

  // Reads an abbreviated stream of tables only, up to its EOI.
  GpStatus ReadTables();
  // Reads segments up to the next scan header (`scan` filled, true) or the
  // EOI (false). Frame headers met on the way fill the frame.
  GpStatus NextScan(WideJpegScan& scan, bool& found);
  // The coded data after the scan header just read; Resume continues the
  // walk `consumed` bytes into it.
  std::span<const std::uint8_t> ScanData() const { return data_.subspan(position_); }
  void Resume(std::size_t consumed) { position_ += consumed; }
  bool hasFrame() const { return hasFrame_; }

 private:
  GpStatus Segment(std::uint8_t marker, std::span<const std::uint8_t> body, WideJpegScan& scan, bool& found);
  GpStatus ReadQuant(std::span<const std::uint8_t> body);
  GpStatus ReadHuffman(std::span<const std::uint8_t> body);
  GpStatus ReadFrame(std::uint8_t marker, std::span<const std::uint8_t> body);
  GpStatus ReadScan(std::span<const std::uint8_t> body, WideJpegScan& scan) const;
  bool NextMarker(std::uint8_t& marker);

  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
  WideJpegTables& tables_;
  WideJpegFrame& frame_;
  bool started_ = false;
  bool hasFrame_ = false;
};

}  // namespace pixavue::platform::gdiplus
