#include "metafile_bitmap16.h"

#include <algorithm>

#include "metafile_bitmap.h"
#include "metafile_canvas.h"
#include "metafile_record.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

constexpr std::size_t kHeaderBytes = 10;
// Cairo's largest image side.
constexpr std::uint32_t kMaxSide = 32767;
// Work units of decoding one pixel, as for device-independent bitmaps.
constexpr std::uint64_t kDecodeCost = 4;

struct Bitmap16Header final {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t rowBytes = 0;
  std::uint32_t bitsPerPixel = 0;
};

std::optional<Bitmap16Header> ReadHeader(std::span<const std::uint8_t> bitmap) {
  const RecordView view(bitmap);
  if (!view.Has(0, kHeaderBytes) || view.U8(8) != 1) return std::nullopt;
  const std::int16_t width = view.I16(2), height = view.I16(4), rowBytes = view.I16(6);
  const std::uint8_t bits = view.U8(9);
  if (width <= 0 || height <= 0 || rowBytes <= 0) return std::nullopt;
  if (bits != 1 && bits != 24 && bits != 32) return std::nullopt;
  return Bitmap16Header{std::uint32_t(width), std::uint32_t(height), std::uint32_t(rowBytes), bits};
}

// 0x00BBGGRR as an opaque premultiplied pixel, stored blue first.
std::uint32_t PixelOf(ColorRef color) {
  return 0xFF000000u | (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

void DecodeRow(const std::uint8_t* in, const Bitmap16Header& header, std::uint32_t foreground,
               std::uint32_t background, std::uint32_t* out) {
  for (std::uint32_t x = 0; x < header.width; ++x) {
    if (header.bitsPerPixel == 1) {
      out[x] = (in[x / 8] >> (7 - x % 8) & 1) != 0 ? background : foreground;
    } else {
      const std::uint8_t* p = in + std::size_t{x} * (header.bitsPerPixel / 8);
      out[x] = 0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
  }
}

}  // namespace

std::optional<PixelBuffer> DecodeBitmap16(std::span<const std::uint8_t> bitmap, ColorRef foreground,
                                          ColorRef background, std::uint64_t maxPixels) {
  const auto header = ReadHeader(bitmap);
  if (!header || header->width > kMaxSide || header->height > kMaxSide) return std::nullopt;
  if (std::uint64_t{header->width} * header->height > maxPixels) return std::nullopt;
  const std::uint64_t neededRowBytes = (std::uint64_t{header->width} * header->bitsPerPixel + 7) / 8;
  if (header->rowBytes < neededRowBytes) return std::nullopt;
  const std::span<const std::uint8_t> bits = bitmap.subspan(std::min(bitmap.size(), kHeaderBytes));
  if (std::uint64_t{header->rowBytes} * header->height > bits.size()) return std::nullopt;
  auto pixels = PixelBuffer::Allocate(PixelFormat32bppPARGB, header->width, header->height);
  if (!pixels) return std::nullopt;
  const std::uint32_t fore = PixelOf(foreground), back = PixelOf(background);
  for (std::uint32_t y = 0; y < header->height; ++y) {
    DecodeRow(bits.data() + std::size_t{y} * header->rowBytes, *header, fore, back,
              reinterpret_cast<std::uint32_t*>(pixels->Row(y)));
  }
  return pixels;
}

void DrawBitmap16(MetafileCanvas& canvas, std::span<const std::uint8_t> bitmap, const RectD& source,
                  const RectD& dest, std::uint32_t rop) {
  const auto header = ReadHeader(bitmap);
  if (!header) return;
  const std::uint64_t pixels = std::uint64_t{header->width} * header->height;
  if (pixels > kMaxBlitPixels || !canvas.Charge(pixels * kDecodeCost)) return;
  const DeviceState& state = canvas.state();
  const auto decoded = DecodeBitmap16(bitmap, state.textColor, state.backgroundColor, kMaxBlitPixels);
  if (decoded) canvas.StretchBlt(*decoded, source, dest, rop);
}

}  // namespace pixavue::platform::gdiplus::metafile
