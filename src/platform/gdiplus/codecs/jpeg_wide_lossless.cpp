// Lossless (predictive) Huffman-coded scans: each sample is a prediction
// from its decoded neighbours plus a coded difference, modulo 2^16, then
// shifted up by the point transform when the rows are read out.

#include "../load_budget.h"
#include "jpeg_wide_scans.h"

namespace pixavue::platform::gdiplus {
namespace {

// Work of one sample: a symbol decoded and a value written.
constexpr std::uint64_t kSampleWork = 4;

// Prediction `selector` (1..7) from the samples left (a), above (b) and
// above-left (c).
std::int32_t Predict(std::uint8_t selector, std::int32_t a, std::int32_t b, std::int32_t c) {
  switch (selector) {
    case 1:
      return a;
    case 2:
      return b;
    case 3:
      return c;
    case 4:
      return a + b - c;
    case 5:
      return a + ((b - c) >> 1);
    case 6:
      return b + ((a - c) >> 1);
    default:
      return (a + b) >> 1;
  }
}

class LosslessScanDecoder final {
 public:
  explicit LosslessScanDecoder(const WideJpegScanInput& input)
      : frame_(input.frame), tables_(input.tables), scan_(input.scan), reader_(input.data), planes_(input.planes) {}

  GpStatus Run(std::size_t& consumed) {
    const std::uint32_t interval = tables_.restartInterval;
    // Restarts come at the start of rows, so each interval starts afresh
    // with the first row's predictions.
    if (interval != 0 && interval % frame_.width != 0) return InvalidParameter;
    const std::uint32_t rowsPerInterval = interval == 0 ? frame_.height : interval / frame_.width;
    const auto initial = static_cast<std::int32_t>(1u << (frame_.precision - scan_.al - 1));
    for (std::uint32_t y = 0; y < frame_.height; ++y) {
      if (!ChargeLoadWork(kSampleWork * scan_.count * frame_.width)) return InvalidParameter;
      const bool first = y % rowsPerInterval == 0;
      if (first && y != 0 && !reader_.Restart(y / rowsPerInterval - 1)) return InvalidParameter;
      for (std::uint32_t x = 0; x < frame_.width; ++x) {
        for (std::size_t i = 0; i < scan_.count; ++i) {
          if (!DecodeSample(i, x, y, first, initial)) return InvalidParameter;
        }
      }
      if (reader_.overrun()) return InvalidParameter;
    }
    for (std::size_t i = 0; i < scan_.count; ++i) planes_[scan_.component[i]].pointTransform = scan_.al;
    consumed = reader_.position();
    return Ok;
  }

 private:
  bool DecodeSample(std::size_t slot, std::uint32_t x, std::uint32_t y, bool firstRow, std::int32_t initial) {
    const int size = reader_.Symbol(tables_.dc[scan_.dcTable[slot]]);
    if (size < 0 || size > 16) return false;
    // Size 16 is the difference 32768, with no further bits.
    const std::int32_t difference = size == 16 ? 32768 : reader_.Difference(size);
    const WideJpegPlane& plane = planes_[scan_.component[slot]];
    std::uint16_t* row = plane.Row(y);
    std::int32_t prediction = initial;
    if (firstRow) {
      if (x > 0) prediction = row[x - 1];
    } else if (x == 0) {
      prediction = plane.Row(y - 1)[0];
    } else {
      const std::uint16_t* above = plane.Row(y - 1);
      prediction = Predict(scan_.ss, row[x - 1], above[x], above[x - 1]);
    }
    row[x] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(prediction + difference) & 0xFFFFu);
    return true;
  }

  const WideJpegFrame& frame_;
  const WideJpegTables& tables_;
  const WideJpegScan& scan_;
  WideJpegBitReader reader_;
  std::vector<WideJpegPlane>& planes_;
};

}  // namespace

GpStatus DecodeWideJpegLosslessScan(const WideJpegScanInput& input, std::size_t& consumed) {
  return LosslessScanDecoder(input).Run(consumed);
}

}  // namespace pixavue::platform::gdiplus
