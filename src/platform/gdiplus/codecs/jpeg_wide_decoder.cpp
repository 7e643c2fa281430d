#include "jpeg_wide_decoder.h"

#include <algorithm>

namespace pixavue::platform::gdiplus {
namespace {

GpStatus CheckFrame(const WideJpegFrame& frame, const WideJpegExpectation& expected) {
  for (const WideJpegComponent& component : frame.components) {
    // Sampling ratios that are not whole numbers (3:2) are not read.
    if (frame.maxH % component.h != 0 || frame.maxV % component.v != 0) return UnknownImageFormat;
  }
  const bool fits = frame.width >= expected.minWidth && frame.width <= expected.maxWidth &&
                    frame.height >= expected.minHeight && frame.height <= expected.maxHeight;
  if (!fits || frame.components.size() != expected.components) return InvalidParameter;
  return frame.precision <= expected.maxPrecision ? Ok : InvalidParameter;
}

GpStatus DecodeScans(WideJpegStream& stream, const WideJpegTables& tables, const WideJpegFrame& frame,
                     const WideJpegExpectation& expected, std::vector<WideJpegPlane>& planes) {
  for (;;) {
    WideJpegScan scan;
    bool found = false;
    GpStatus status = stream.NextScan(scan, found);
    if (status != Ok) return status;
    if (!found) return planes.empty() ? InvalidParameter : Ok;
    if (planes.empty()) {
      status = CheckFrame(frame, expected);
      if (status == Ok) status = AllocateWideJpegPlanes(frame, planes);
      if (status != Ok) return status;
    }
    // Sequential and lossless frames give each component one scan.
    for (std::size_t i = 0; i < scan.count; ++i) {
      if (planes[scan.component[i]].decoded) return InvalidParameter;
    }
    std::size_t consumed = 0;
    const WideJpegScanInput input{frame, tables, scan, stream.ScanData(), planes};
    status = frame.process == WideJpegProcess::Sequential ? DecodeWideJpegDctScan(input, consumed)
                                                          : DecodeWideJpegLosslessScan(input, consumed);
    if (status != Ok) return status;
    for (std::size_t i = 0; i < scan.count; ++i) planes[scan.component[i]].decoded = true;
    stream.Resume(consumed);
  }
}

// libjpeg's triangular upsampling of a 2:1 row: each output sample is
// three parts its own input and one part the nearer neighbour, with the
// library's alternating rounding.
std::uint32_t Fancy2(const std::uint16_t* in, std::uint32_t width, std::uint32_t x) {
  const std::uint32_t i = x / 2;
  if (x % 2 == 0) return i == 0 ? in[0] : (3u * in[i] + in[i - 1] + 1) >> 2;
  return i + 1 >= width ? in[i] : (3u * in[i] + in[i + 1] + 2) >> 2;
}

// Both directions at 2:1: column sums of the nearer input rows, then the
// same weighting across.
std::uint32_t Fancy22(const std::uint16_t* near, const std::uint16_t* far, std::uint32_t width, std::uint32_t x) {
  auto sum = [&](std::uint32_t i) { return 3u * near[i] + far[i]; };
  const std::uint32_t i = x / 2;
  if (x % 2 == 0) return i == 0 ? (4u * sum(0) + 8) >> 4 : (3u * sum(i) + sum(i - 1) + 8) >> 4;
  return i + 1 >= width ? (4u * sum(i) + 7) >> 4 : (3u * sum(i) + sum(i + 1) + 7) >> 4;
}

// The JPEG library's conversion, in its 16-bit fixed point with its
// rounding, so that colours come out as other decoders give them.
constexpr int kScaleBits = 16;
constexpr std::int64_t kHalf = std::int64_t{1} << (kScaleBits - 1);

constexpr std::int64_t Fixed(double value) { return static_cast<std::int64_t>(value * (1 << kScaleBits) + 0.5); }

void YcbcrToRgb(std::uint16_t* pixel, std::uint8_t precision) {
  const std::int64_t top = (std::int64_t{1} << precision) - 1;
  const std::int64_t centre = std::int64_t{1} << (precision - 1);
  const std::int64_t y = pixel[0];
  const std::int64_t cb = pixel[1] - centre;
  const std::int64_t cr = pixel[2] - centre;
  const std::int64_t red = y + ((Fixed(1.40200) * cr + kHalf) >> kScaleBits);
  const std::int64_t green = y + ((-Fixed(0.34414) * cb + kHalf - Fixed(0.71414) * cr) >> kScaleBits);
  const std::int64_t blue = y + ((Fixed(1.77200) * cb + kHalf) >> kScaleBits);
  pixel[0] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(red, 0, top));
  pixel[1] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(green, 0, top));
  pixel[2] = static_cast<std::uint16_t>(std::clamp<std::int64_t>(blue, 0, top));
}

}  // namespace

std::uint16_t WideJpegImage::Sample(std::size_t component, std::uint32_t x, std::uint32_t y) const {
  const WideJpegPlane& plane = planes_[component];
  const WideJpegComponent& sampling = frame_.components[component];
  const std::uint32_t ratioH = frame_.maxH / sampling.h;
  const std::uint32_t ratioV = frame_.maxV / sampling.v;
  std::uint32_t value = 0;
  if (ratioH == 2 && ratioV == 2 && plane.width > 2) {
    const std::uint32_t j = y / 2;
    const std::int64_t other = y % 2 == 0 ? std::int64_t{j} - 1 : std::int64_t{j} + 1;
    const auto clamped = static_cast<std::uint32_t>(std::clamp<std::int64_t>(other, 0, plane.height - 1));
    value = Fancy22(plane.Row(j), plane.Row(clamped), plane.width, x);
  } else if (ratioH == 2 && ratioV == 1 && plane.width > 2) {
    value = Fancy2(plane.Row(y), plane.width, x);
  } else {
    value = plane.Row(y / ratioV)[x / ratioH];
  }
  const std::uint32_t top = (1u << frame_.precision) - 1;
  value = (value << plane.pointTransform) & 0xFFFFu;
  return static_cast<std::uint16_t>(std::min(value, top));
}

void WideJpegImage::ReadRow(std::uint32_t y, std::uint32_t columns, bool ycbcr, std::uint16_t* out) const {
  const std::size_t count = planes_.size();
  const std::uint32_t top = (1u << frame_.precision) - 1;
  for (std::uint32_t x = 0; x < columns; ++x) {
    std::uint16_t* pixel = out + std::size_t{x} * count;
    for (std::size_t c = 0; c < count; ++c) pixel[c] = Sample(c, x, y);
    if (ycbcr && count == 3) YcbcrToRgb(pixel, frame_.precision);
    for (std::size_t c = 0; c < count; ++c) pixel[c] = static_cast<std::uint16_t>((pixel[c] * 65535u + top / 2) / top);
  }
}

GpStatus DecodeWideJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> stream,
                        const WideJpegExpectation& expected, WideJpegImage& image) {
  WideJpegTables state;
  WideJpegFrame frame;
  if (!tables.empty()) {
    WideJpegStream tableStream(tables, state, frame);
    const GpStatus status = tableStream.ReadTables();
    if (status != Ok) return status;
  }
  WideJpegStream imageStream(stream, state, frame);
  std::vector<WideJpegPlane> planes;
  const GpStatus status = DecodeScans(imageStream, state, frame, expected, planes);
  if (status != Ok) return status;
  for (const WideJpegPlane& plane : planes) {
    if (!plane.decoded) return InvalidParameter;
  }
  image.frame_ = std::move(frame);
  image.planes_ = std::move(planes);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
