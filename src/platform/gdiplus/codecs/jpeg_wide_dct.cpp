// Sequential Huffman-coded DCT scans of 8- or 12-bit precision. Each block
// is dequantised and transformed as soon as it is decoded, so no
// coefficients are kept.

#include <algorithm>
#include <array>

#include "../load_budget.h"
#include "jpeg_wide_scans.h"

namespace pixavue::platform::gdiplus {
namespace {

// Work of one block: its 64 samples written and about 200 products.
constexpr std::uint64_t kBlockWork = 256;

// Dequantised coefficients in row-major order. 64-bit: a hostile stream may
// make products that 32 bits cannot hold.
using Block = std::array<std::int64_t, 64>;

// The JPEG library's accurate integer inverse DCT (Loeffler, Ligtenberg and
// Moschytz, 13 fraction bits), so that 12-bit data decodes to the values
// other decoders give, not merely to values near them.
constexpr int kConstBits = 13;
constexpr std::int64_t k0_298631336 = 2446;
constexpr std::int64_t k0_390180644 = 3196;
constexpr std::int64_t k0_541196100 = 4433;
constexpr std::int64_t k0_765366865 = 6270;
constexpr std::int64_t k0_899976223 = 7373;
constexpr std::int64_t k1_175875602 = 9633;
constexpr std::int64_t k1_501321110 = 12299;
constexpr std::int64_t k1_847759065 = 15137;
constexpr std::int64_t k1_961570560 = 16069;
constexpr std::int64_t k2_053119869 = 16819;
constexpr std::int64_t k2_562915447 = 20995;
constexpr std::int64_t k3_072711026 = 25172;

std::int64_t Descale(std::int64_t value, int bits) { return (value + (std::int64_t{1} << (bits - 1))) >> bits; }

// One 8-point pass over in[0], in[step], ... in[7 * step]; the outputs are
// descaled by `bits` and written out[0], out[step], ...
void Idct8(const std::int64_t* in, std::size_t step, int bits, std::int64_t* out) {
  std::int64_t z2 = in[2 * step];
  std::int64_t z3 = in[6 * step];
  std::int64_t z1 = (z2 + z3) * k0_541196100;
  std::int64_t tmp2 = z1 - z3 * k1_847759065;
  std::int64_t tmp3 = z1 + z2 * k0_765366865;
  z2 = in[0];
  z3 = in[4 * step];
  std::int64_t tmp0 = (z2 + z3) * (std::int64_t{1} << kConstBits);
  std::int64_t tmp1 = (z2 - z3) * (std::int64_t{1} << kConstBits);
  const std::int64_t tmp10 = tmp0 + tmp3;
  const std::int64_t tmp13 = tmp0 - tmp3;
  const std::int64_t tmp11 = tmp1 + tmp2;
  const std::int64_t tmp12 = tmp1 - tmp2;

  tmp0 = in[7 * step];
  tmp1 = in[5 * step];
  tmp2 = in[3 * step];
  tmp3 = in[step];
  z1 = tmp0 + tmp3;
  z2 = tmp1 + tmp2;
  z3 = tmp0 + tmp2;
  std::int64_t z4 = tmp1 + tmp3;
  const std::int64_t z5 = (z3 + z4) * k1_175875602;
  tmp0 *= k0_298631336;
  tmp1 *= k2_053119869;
  tmp2 *= k3_072711026;
  tmp3 *= k1_501321110;
  z1 *= -k0_899976223;
  z2 *= -k2_562915447;
  z3 = z3 * -k1_961570560 + z5;
  z4 = z4 * -k0_390180644 + z5;
  tmp0 += z1 + z3;
  tmp1 += z2 + z4;
  tmp2 += z2 + z3;
  tmp3 += z1 + z4;

  out[0] = Descale(tmp10 + tmp3, bits);
  out[7 * step] = Descale(tmp10 - tmp3, bits);
  out[step] = Descale(tmp11 + tmp2, bits);
  out[6 * step] = Descale(tmp11 - tmp2, bits);
  out[2 * step] = Descale(tmp12 + tmp1, bits);
  out[5 * step] = Descale(tmp12 - tmp1, bits);
  out[3 * step] = Descale(tmp13 + tmp0, bits);
  out[4 * step] = Descale(tmp13 - tmp0, bits);
}

// Writes the 8x8 samples of `coefficients` at `out` (rows `stride` apart),
// level-shifted and clamped to the precision. Columns first, then rows,
// with the library's intermediate precision (2 extra bits for 8-bit data,
// 1 for 12-bit).
void InverseDct(const Block& coefficients, std::uint8_t precision, std::uint16_t* out, std::uint32_t stride) {
  const int pass1Bits = precision == 8 ? 2 : 1;
  Block columns{};
  for (std::size_t x = 0; x < 8; ++x) Idct8(coefficients.data() + x, 8, kConstBits - pass1Bits, columns.data() + x);
  const std::int64_t centre = std::int64_t{1} << (precision - 1);
  const std::int64_t top = (std::int64_t{1} << precision) - 1;
  std::array<std::int64_t, 8> row{};
  for (std::size_t y = 0; y < 8; ++y) {
    Idct8(columns.data() + y * 8, 1, kConstBits + pass1Bits + 3, row.data());
    for (std::size_t x = 0; x < 8; ++x) {
      out[y * stride + x] = static_cast<std::uint16_t>(std::clamp(row[x] + centre, std::int64_t{0}, top));
    }
  }
}

class DctScanDecoder final {
 public:
  explicit DctScanDecoder(const WideJpegScanInput& input)
      : frame_(input.frame), tables_(input.tables), scan_(input.scan), reader_(input.data), planes_(input.planes) {}

  GpStatus Run(std::size_t& consumed) {
    const GpStatus status = scan_.count == 1 ? RunSingle() : RunInterleaved();
    if (status != Ok) return status;
    consumed = reader_.position();
    return Ok;
  }

 private:
  // One component alone: its blocks in rows across what it covers.
  GpStatus RunSingle() {
    const WideJpegPlane& plane = planes_[scan_.component[0]];
    const std::uint32_t across = (plane.width + 7) / 8;
    const std::uint32_t down = (plane.height + 7) / 8;
    for (std::uint32_t by = 0; by < down; ++by) {
      if (!ChargeLoadWork(kBlockWork * across)) return InvalidParameter;
      for (std::uint32_t bx = 0; bx < across; ++bx) {
        if (!StartUnit(std::uint64_t{by} * across + bx) || !DecodeBlock(0, bx, by)) return InvalidParameter;
      }
      if (reader_.overrun()) return InvalidParameter;
    }
    return Ok;
  }

  // Several components: MCUs of h x v blocks of each, in scan order.
  GpStatus RunInterleaved() {
    const std::uint32_t across = (frame_.width + 8u * frame_.maxH - 1) / (8u * frame_.maxH);
    const std::uint32_t down = (frame_.height + 8u * frame_.maxV - 1) / (8u * frame_.maxV);
    std::uint64_t blocksPerMcu = 0;
    for (std::size_t i = 0; i < scan_.count; ++i) {
      const WideJpegComponent& component = frame_.components[scan_.component[i]];
      blocksPerMcu += std::uint64_t{component.h} * component.v;
    }
    for (std::uint32_t my = 0; my < down; ++my) {
      if (!ChargeLoadWork(kBlockWork * blocksPerMcu * across)) return InvalidParameter;
      for (std::uint32_t mx = 0; mx < across; ++mx) {
        if (!StartUnit(std::uint64_t{my} * across + mx)) return InvalidParameter;
        for (std::size_t i = 0; i < scan_.count; ++i) {
          const WideJpegComponent& component = frame_.components[scan_.component[i]];
          for (std::uint32_t by = 0; by < component.v; ++by) {
            for (std::uint32_t bx = 0; bx < component.h; ++bx) {
              if (!DecodeBlock(i, mx * component.h + bx, my * component.v + by)) return InvalidParameter;
            }
          }
        }
      }
      if (reader_.overrun()) return InvalidParameter;
    }
    return Ok;
  }

  // Before MCU `index`: at every restart interval the marker must follow
  // and the DC predictions start again.
  bool StartUnit(std::uint64_t index) {
    const std::uint32_t interval = tables_.restartInterval;
    if (interval == 0 || index == 0 || index % interval != 0) return true;
    predictions_.fill(0);
    return reader_.Restart(static_cast<std::uint32_t>(index / interval - 1));
  }

  bool DecodeBlock(std::size_t slot, std::uint32_t bx, std::uint32_t by) {
    const WideJpegComponent& component = frame_.components[scan_.component[slot]];
    const auto& quant = tables_.quant[component.quantTable];
    const auto zigzag = WideJpegZigZag();
    Block coefficients{};
    const int dcSize = reader_.Symbol(tables_.dc[scan_.dcTable[slot]]);
    if (dcSize < 0 || dcSize > 15) return false;
    // Unsigned sums: a hostile stream may add differences without bound.
    predictions_[slot] = static_cast<std::int32_t>(static_cast<std::uint32_t>(predictions_[slot]) +
                                                   static_cast<std::uint32_t>(reader_.Difference(dcSize)));
    coefficients[0] = std::int64_t{predictions_[slot]} * quant[0];
    for (int k = 1; k < 64;) {
      const int symbol = reader_.Symbol(tables_.ac[scan_.acTable[slot]]);
      if (symbol < 0) return false;
      const int run = symbol >> 4;
      const int size = symbol & 0x0F;
      if (size == 0) {
        if (run != 15) break;  // end of block
        k += 16;
        continue;
      }
      k += run;
      if (k > 63) return false;
      const std::size_t at = zigzag[static_cast<std::size_t>(k)];
      coefficients[at] = std::int64_t{reader_.Difference(size)} * quant[at];
      ++k;
    }
    const WideJpegPlane& plane = planes_[scan_.component[slot]];
    InverseDct(coefficients, frame_.precision, plane.Row(by * 8) + std::size_t{bx} * 8, plane.stride);
    return true;
  }

  const WideJpegFrame& frame_;
  const WideJpegTables& tables_;
  const WideJpegScan& scan_;
  WideJpegBitReader reader_;
  std::vector<WideJpegPlane>& planes_;
  std::array<std::int32_t, 4> predictions_{};
};

}  // namespace

GpStatus AllocateWideJpegPlanes(const WideJpegFrame& frame, std::vector<WideJpegPlane>& planes) {
  const bool lossless = frame.process == WideJpegProcess::Lossless;
  const std::uint32_t unitWidth = lossless ? frame.maxH : 8u * frame.maxH;
  const std::uint32_t unitHeight = lossless ? frame.maxV : 8u * frame.maxV;
  const std::uint32_t across = (frame.width + unitWidth - 1) / unitWidth;
  const std::uint32_t down = (frame.height + unitHeight - 1) / unitHeight;
  planes = std::vector<WideJpegPlane>(frame.components.size());
  for (std::size_t i = 0; i < planes.size(); ++i) {
    const WideJpegComponent& component = frame.components[i];
    WideJpegPlane& plane = planes[i];
    plane.width = static_cast<std::uint32_t>((std::uint64_t{frame.width} * component.h + frame.maxH - 1) / frame.maxH);
    plane.height =
        static_cast<std::uint32_t>((std::uint64_t{frame.height} * component.v + frame.maxV - 1) / frame.maxV);
    plane.stride = across * (unitWidth / frame.maxH) * component.h;
    plane.rows = down * (unitHeight / frame.maxV) * component.v;
    if (!plane.samples.Allocate(std::uint64_t{plane.stride} * plane.rows)) return OutOfMemory;
  }
  return Ok;
}

GpStatus DecodeWideJpegDctScan(const WideJpegScanInput& input, std::size_t& consumed) {
  return DctScanDecoder(input).Run(consumed);
}

}  // namespace pixavue::platform::gdiplus
