#include "jpeg_wide_stream.h"

#include <algorithm>

#include "../image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;

// Position k of the zig-zag order holds the coefficient at this index of
// the block in row-major order.
constexpr std::array<std::uint8_t, 64> kZigZag{0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                               12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                               35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                               58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

// Markers without a length field.
bool Standalone(std::uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9); }

// Frame and table markers of processes this decoder does not read:
// progressive, hierarchical and arithmetic-coded frames and the arithmetic
// conditioning tables.
bool UnreadProcess(std::uint8_t marker) {
  return marker == 0xC2 || (marker >= 0xC5 && marker <= 0xC7) || (marker >= 0xC9 && marker <= 0xCB) ||
         (marker >= 0xCD && marker <= 0xCF) || marker == 0xCC || marker == 0xDC;
}

}  // namespace

std::span<const std::uint8_t> WideJpegZigZag() { return kZigZag; }

// Skips anything up to the next 0xFF that starts a marker, as libjpeg does
// with stray bytes between segments.
bool WideJpegStream::NextMarker(std::uint8_t& marker) {
  while (position_ + 1 < data_.size()) {
    if (data_[position_] == 0xFF && data_[position_ + 1] != 0xFF && data_[position_ + 1] != 0x00) {
      marker = data_[position_ + 1];
      position_ += 2;
      return true;
    }
    ++position_;
  }
  return false;
}

GpStatus WideJpegStream::ReadTables() {
  WideJpegScan scan;
  bool found = false;
  const GpStatus status = NextScan(scan, found);
  if (status != Ok) return status;
  return found || hasFrame_ ? InvalidParameter : Ok;
}

GpStatus WideJpegStream::NextScan(WideJpegScan& scan, bool& found) {
  found = false;
  if (!started_) {
    if (data_.size() < 2 || data_[0] != 0xFF || data_[1] != kSoi) return InvalidParameter;
    position_ = 2;
    started_ = true;
  }
  std::uint8_t marker = 0;
  while (NextMarker(marker)) {
    if (marker == kEoi) return Ok;
    if (marker == kSoi) return InvalidParameter;
    if (Standalone(marker)) continue;
    if (position_ + 2 > data_.size()) return InvalidParameter;
    const std::uint16_t length = Word(data_, position_);
    if (length < 2 || position_ + length > data_.size()) return InvalidParameter;
    const auto body = data_.subspan(position_ + 2, length - 2u);
    position_ += length;
    const GpStatus status = Segment(marker, body, scan, found);
    if (status != Ok || found) return status;
  }
  // The data ended without an EOI.
  return InvalidParameter;
}

GpStatus WideJpegStream::Segment(std::uint8_t marker, std::span<const std::uint8_t> body, WideJpegScan& scan,
                                 bool& found) {
  if (UnreadProcess(marker)) return UnknownImageFormat;
  switch (marker) {
    case 0xDB:
      return ReadQuant(body);
    case 0xC4:
      return ReadHuffman(body);
    case 0xDD:
      if (body.size() != 2) return InvalidParameter;
      tables_.restartInterval = Word(body, 0);
      return Ok;
    case 0xC0:
    case 0xC1:
    case 0xC3:
      return ReadFrame(marker, body);
    case 0xDA: {
      const GpStatus status = ReadScan(body, scan);
      found = status == Ok;
      return status;
    }
    case 0xC8:
      return InvalidParameter;
    default:
      return Ok;  // application data and comments
  }
}

GpStatus WideJpegStream::ReadQuant(std::span<const std::uint8_t> body) {
  std::size_t at = 0;
  while (at < body.size()) {
    const std::uint8_t precision = body[at] >> 4;
    const std::uint8_t id = body[at] & 0x0F;
    const std::size_t bytes = precision == 0 ? 64 : 128;
    if (precision > 1 || id > 3 || at + 1 + bytes > body.size()) return InvalidParameter;
    for (std::size_t k = 0; k < 64; ++k) {
      const std::size_t value = at + 1 + (precision == 0 ? k : 2 * k);
      tables_.quant[id][kZigZag[k]] = precision == 0 ? body[value] : Word(body, value);
    }
    tables_.quantDefined[id] = true;
    at += 1 + bytes;
  }
  return Ok;
}

GpStatus WideJpegStream::ReadHuffman(std::span<const std::uint8_t> body) {
  std::size_t at = 0;
  while (at < body.size()) {
    if (at + 17 > body.size()) return InvalidParameter;
    const std::uint8_t kind = body[at] >> 4;
    const std::uint8_t id = body[at] & 0x0F;
    if (kind > 1 || id > 3) return InvalidParameter;
    std::array<std::uint8_t, 16> counts{};
    std::size_t total = 0;
    for (std::size_t i = 0; i < 16; ++i) total += counts[i] = body[at + 1 + i];
    if (at + 17 + total > body.size()) return InvalidParameter;
    WideJpegHuffmanTable& table = kind == 0 ? tables_.dc[id] : tables_.ac[id];
    if (!table.Build(counts, body.subspan(at + 17, total))) return InvalidParameter;
    at += 17 + total;
  }
  return Ok;
}

GpStatus WideJpegStream::ReadFrame(std::uint8_t marker, std::span<const std::uint8_t> body) {
  if (hasFrame_ || body.size() < 6) return InvalidParameter;
  frame_ = WideJpegFrame{};
  frame_.process = marker == 0xC3 ? WideJpegProcess::Lossless : WideJpegProcess::Sequential;
  frame_.precision = body[0];
  frame_.height = Word(body, 1);
  frame_.width = Word(body, 3);
  const std::size_t count = body[5];
  if (frame_.process == WideJpegProcess::Sequential && frame_.precision != 8 && frame_.precision != 12) {
    return InvalidParameter;
  }
  if (frame_.process == WideJpegProcess::Lossless && (frame_.precision < 2 || frame_.precision > 16)) {
    return InvalidParameter;
  }
  // A height of 0 would come later in a DNL segment, which is not read.
  if (frame_.height == 0) return UnknownImageFormat;
  const GpStatus size = CheckImageSize(frame_.width, frame_.height);
  if (size != Ok) return size;
  if (count == 0 || count > kMaxWideJpegComponents || body.size() != 6 + 3 * count) return InvalidParameter;
  for (std::size_t i = 0; i < count; ++i) {
    WideJpegComponent component;
    component.id = body[6 + 3 * i];
    component.h = body[7 + 3 * i] >> 4;
    component.v = body[7 + 3 * i] & 0x0F;
    component.quantTable = body[8 + 3 * i];
    if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.quantTable > 3) {
      return InvalidParameter;
    }
    for (const WideJpegComponent& other : frame_.components) {
      if (other.id == component.id) return InvalidParameter;
    }
    frame_.maxH = std::max(frame_.maxH, component.h);
    frame_.maxV = std::max(frame_.maxV, component.v);
    frame_.components.push_back(component);
  }
  // Lossless data with subsampled components is not read here.
  if (frame_.process == WideJpegProcess::Lossless && (frame_.maxH != 1 || frame_.maxV != 1)) {
    return UnknownImageFormat;
  }
  hasFrame_ = true;
  return Ok;
}

GpStatus WideJpegStream::ReadScan(std::span<const std::uint8_t> body, WideJpegScan& scan) const {
  if (!hasFrame_ || body.empty()) return InvalidParameter;
  scan = WideJpegScan{};
  scan.count = body[0];
  if (scan.count < 1 || scan.count > 4 || body.size() != 4 + 2u * scan.count) return InvalidParameter;
  std::size_t next = 0;  // components come in frame order
  std::uint32_t blocks = 0;
  for (std::size_t i = 0; i < scan.count; ++i) {
    const std::uint8_t id = body[1 + 2 * i];
    while (next < frame_.components.size() && frame_.components[next].id != id) ++next;
    if (next == frame_.components.size()) return InvalidParameter;
    scan.component[i] = static_cast<std::uint8_t>(next);
    blocks += std::uint32_t{frame_.components[next].h} * frame_.components[next].v;
    ++next;
    scan.dcTable[i] = body[2 + 2 * i] >> 4;
    scan.acTable[i] = body[2 + 2 * i] & 0x0F;
    if (scan.dcTable[i] > 3 || scan.acTable[i] > 3 || !tables_.dc[scan.dcTable[i]].defined()) return InvalidParameter;
    if (frame_.process == WideJpegProcess::Sequential &&
        (!tables_.ac[scan.acTable[i]].defined() || !tables_.quantDefined[frame_.components[next - 1].quantTable])) {
      return InvalidParameter;
    }
  }
  const std::size_t tail = 1 + 2u * scan.count;
  scan.ss = body[tail];
  scan.se = body[tail + 1];
  scan.ah = body[tail + 2] >> 4;
  scan.al = body[tail + 2] & 0x0F;
  if (frame_.process == WideJpegProcess::Sequential) {
    if (scan.count > 1 && blocks > 10) return InvalidParameter;
    return scan.ss == 0 && scan.se == 63 && scan.ah == 0 && scan.al == 0 ? Ok : InvalidParameter;
  }
  return scan.ss >= 1 && scan.ss <= 7 && scan.ah == 0 && scan.al < frame_.precision ? Ok : InvalidParameter;
}

}  // namespace pixavue::platform::gdiplus
