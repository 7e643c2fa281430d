#include <pixavue/platform/ole/picture_dib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdi/gdi_pixels.h>

namespace pixavue::platform {
namespace {

constexpr std::size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr std::size_t kMaskBytes = 3 * sizeof(DWORD);
// The most a BITMAPINFO can need: the largest header, masks, 256 colours.
constexpr std::size_t kMaxInfoBytes = 124 + kMaskBytes + 256 * sizeof(RGBQUAD);

std::size_t DibStride(int width, int bitCount) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

std::optional<std::size_t> PixelOffset(const BITMAPINFOHEADER& header, std::size_t dibSize) {
  if (header.biSize != 40 && header.biSize != 108 && header.biSize != 124) return std::nullopt;
  std::uint64_t colours = header.biClrUsed;
  if (header.biBitCount <= 8) {
    const std::uint64_t all = std::uint64_t{1} << header.biBitCount;
    if (colours > all) return std::nullopt;
    if (colours == 0) colours = all;
  }
  const bool separateMasks = header.biCompression == BI_BITFIELDS && header.biSize == kHeaderBytes;
  const std::uint64_t offset = header.biSize + (separateMasks ? kMaskBytes : 0) + colours * sizeof(RGBQUAD);
  if (offset > dibSize) return std::nullopt;
  return static_cast<std::size_t>(offset);
}

// Bytes of the rows a header describes, so that a DIB whose rows are not all
// there is refused before anything is allocated for it.
std::optional<std::uint64_t> RowBytes(const BITMAPINFOHEADER& header) {
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return std::nullopt;
  const std::uint64_t rows = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
  return DibStride(header.biWidth, header.biBitCount) * rows;
}

BITMAPINFOHEADER HeaderFor(const GdiPixels& pixels, std::size_t stride) {
  BITMAPINFOHEADER header;
  header.biWidth = pixels.width;
  header.biHeight = pixels.height;  // bottom-up
  header.biBitCount = static_cast<std::uint16_t>(pixels.bitsPerPixel);
  header.biCompression = pixels.compression;
  header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(pixels.height));
  header.biClrUsed = static_cast<DWORD>(pixels.colors.size());
  return header;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PackedDibFromBitmap(HBITMAP bitmap) {
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  if (!pixels) return std::nullopt;
  const std::size_t stride = DibStride(pixels->width, pixels->bitsPerPixel);
  const BITMAPINFOHEADER header = HeaderFor(*pixels, stride);
  const std::size_t masks = header.biCompression == BI_BITFIELDS ? kMaskBytes : 0;
  const std::size_t colours = pixels->colors.size() * sizeof(RGBQUAD);
  const std::size_t offset = kHeaderBytes + masks + colours;
  std::vector<std::uint8_t> dib;
  try {
    dib.resize(offset + header.biSizeImage);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  std::memcpy(dib.data(), &header, kHeaderBytes);
  std::memcpy(dib.data() + kHeaderBytes, pixels->masks, masks);
  if (colours != 0) std::memcpy(dib.data() + kHeaderBytes + masks, pixels->colors.data(), colours);
  const std::size_t rowBytes = std::min(stride, static_cast<std::size_t>(pixels->stride));
  for (int row = 0; row < pixels->height; ++row) {
    // Row `row` of the DIB is image row height - 1 - row.
    const int stored = pixels->bottomUp ? row : pixels->height - 1 - row;
    std::memcpy(dib.data() + offset + static_cast<std::size_t>(row) * stride,
                pixels->bits + static_cast<std::size_t>(stored) * static_cast<std::size_t>(pixels->stride), rowBytes);
  }
  return dib;
}

HBITMAP BitmapFromPackedDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < kHeaderBytes) return HBITMAP{};
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), kHeaderBytes);
  const std::optional<std::size_t> offset = PixelOffset(header, dib.size());
  const std::optional<std::uint64_t> rowBytes = RowBytes(header);
  if (!offset || !rowBytes || *rowBytes > dib.size() - *offset) return HBITMAP{};
  // CreateDIBSection reads the header, masks and colour table in place; a
  // copy keeps them aligned as a BITMAPINFO must be. (A table of more
  // bits a pixel is not read.)
  std::uint32_t info[kMaxInfoBytes / 4] = {};
  std::memcpy(info, dib.data(), std::min(*offset, kMaxInfoBytes));
  void* bits = nullptr;
  const HBITMAP bitmap =
      CreateDIBSection(HDC{}, reinterpret_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS, &bits, 0, 0);
  const std::optional<GdiPixels> pixels = BitmapPixels(bitmap);
  if (!pixels) return HBITMAP{};
  // Both keep the rows in the header's order, so they copy one to one.
  const std::size_t stride = DibStride(pixels->width, pixels->bitsPerPixel);
  const std::size_t rows = static_cast<std::size_t>(pixels->height);
  if (stride > static_cast<std::size_t>(pixels->stride) || (dib.size() - *offset) / stride < rows) {
    DeleteObject(ToGdiObject(bitmap));
    return HBITMAP{};
  }
  for (std::size_t row = 0; row < rows; ++row) {
    std::memcpy(pixels->bits + row * static_cast<std::size_t>(pixels->stride), dib.data() + *offset + row * stride,
                stride);
  }
  return bitmap;
}

}  // namespace pixavue::platform
