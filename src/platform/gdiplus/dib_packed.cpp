#include "dib_packed.h"

#include <cstring>
#include <vector>

#include "codecs/dib.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr DWORD kMinHeaderSize = 40;
constexpr DWORD kMaxHeaderSize = 124;
constexpr DWORD kAlphaBitfields = 6;
constexpr std::size_t kClrUsedOffset = 32;

// The caller's header, trailing masks and colour table as one DIB prefix.
// biClrUsed is bounded to the entries an image of that depth can use, so no
// more of the caller's memory is read than that; a table after a 16, 24 or
// 32-bit header is not needed and not read.
GpStatus CopyHeaderAndTable(const BITMAPINFO& info, std::vector<std::uint8_t>& out) {
  const BITMAPINFOHEADER& header = info.bmiHeader;
  if (header.biSize < kMinHeaderSize || header.biSize > kMaxHeaderSize) return InvalidParameter;
  std::size_t maskBytes = 0;
  if (header.biSize == kMinHeaderSize && header.biCompression == BI_BITFIELDS) maskBytes = 12;
  if (header.biSize == kMinHeaderSize && header.biCompression == kAlphaBitfields) maskBytes = 16;
  DWORD entries = 0;
  if (header.biBitCount <= 8) {
    const DWORD full = DWORD{1} << header.biBitCount;
    entries = (header.biClrUsed == 0 || header.biClrUsed > full) ? full : header.biClrUsed;
  }
  const std::size_t prefix = header.biSize + maskBytes;
  out.resize(prefix + std::size_t{entries} * 4);
  const auto* source = reinterpret_cast<const std::uint8_t*>(&info);
  std::memcpy(out.data(), source, out.size());
  std::memcpy(out.data() + kClrUsedOffset, &entries, sizeof entries);
  return Ok;
}

// Stored bytes of the pixels that must be decoded: biSizeImage for RLE, the
// padded rows otherwise.
std::size_t StoredBitsSize(const BITMAPINFOHEADER& header, const DibDescription& description) {
  if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) return header.biSizeImage;
  return description.rowBytes * description.height;
}

GpStatus DecodeCopy(const BITMAPINFOHEADER& header, const DibDescription& description,
                    std::vector<std::uint8_t>& prefix, const std::uint8_t* bits, Frame& out) {
  const std::size_t bitsSize = StoredBitsSize(header, description);
  if (bitsSize == 0) return InvalidParameter;
  prefix.insert(prefix.end(), bits, bits + bitsSize);
  return DecodeDib(prefix, DibOptions{}, out);
}

}  // namespace

GpStatus FrameFromPackedDib(const BITMAPINFO& info, std::uint8_t* bits, Frame& out) {
  std::vector<std::uint8_t> prefix;
  GpStatus status = CopyHeaderAndTable(info, prefix);
  DibDescription description;
  if (status == Ok) status = DescribeDib(prefix, description);
  if (status != Ok) return status;
  if (!description.rowsAsStored) return DecodeCopy(info.bmiHeader, description, prefix, bits, out);

  const auto rowBytes = static_cast<std::int32_t>(description.rowBytes);
  std::uint8_t* scan0 = bits;
  std::int32_t stride = rowBytes;
  if (!description.topDown) {
    scan0 += static_cast<std::ptrdiff_t>(description.height - 1) * rowBytes;
    stride = -rowBytes;
  }
  out = std::move(description.frame);
  out.pixels = PixelBuffer::Wrap(description.format, description.width, description.height, stride, scan0);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
