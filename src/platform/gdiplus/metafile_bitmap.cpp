#include "metafile_bitmap.h"

#include <cstdlib>
#include <vector>

#include "byte_reader.h"
#include "codecs/dib.h"
#include "frame.h"
#include "metafile_canvas.h"
#include "pixel_convert.h"

namespace pixavue::platform::gdiplus::metafile {
namespace {

constexpr std::uint32_t kCoreHeaderBytes = 12;
// Cairo's largest image side.
constexpr std::uint64_t kMaxSourceSide = 32767;
// Work units of decoding one source pixel, and of keeping one pattern pixel.
constexpr std::uint64_t kDecodeCost = 4;
constexpr std::uint64_t kPatternCost = 64;

}  // namespace

std::optional<std::uint64_t> DibPixelCount(std::span<const std::uint8_t> info) {
  const ByteReader reader(info);
  const auto headerBytes = reader.U32At(0);
  if (!headerBytes) return std::nullopt;
  if (*headerBytes == kCoreHeaderBytes) {
    const auto width = reader.U16At(4), height = reader.U16At(6);
    if (!width || !height) return std::nullopt;
    return std::uint64_t{*width} * *height;
  }
  const auto width = reader.U32At(4), height = reader.U32At(8);
  if (!width || !height) return std::nullopt;
  const auto magnitude = [](std::uint32_t v) {
    return static_cast<std::uint64_t>(std::llabs(static_cast<long long>(static_cast<std::int32_t>(v))));
  };
  return magnitude(*width) * magnitude(*height);
}

std::optional<BlitSource> DecodeBlitSource(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits,
                                           std::uint64_t maxPixels) {
  const auto pixels = DibPixelCount(info);
  if (!pixels || *pixels == 0 || *pixels > maxPixels) return std::nullopt;
  std::vector<std::uint8_t> joined;
  DibOptions options;
  std::span<const std::uint8_t> dib = info;
  if (!bits.empty()) {
    joined.reserve(info.size() + bits.size());
    joined.insert(joined.end(), info.begin(), info.end());
    joined.insert(joined.end(), bits.begin(), bits.end());
    dib = joined;
    options.bitsOffset = info.size();
  }
  Frame frame;
  DibLayout layout;
  if (DecodeDib(dib, options, frame, &layout) != Ok) return std::nullopt;
  if (layout.width > kMaxSourceSide || layout.height > kMaxSourceSide) return std::nullopt;
  Frame converted;
  const GpRect all{0, 0, static_cast<INT>(layout.width), static_cast<INT>(layout.height)};
  if (ConvertArea(frame, all, PixelFormat32bppPARGB, converted) != Ok) return std::nullopt;
  return BlitSource{std::move(converted.pixels), !layout.topDown};
}

void DrawDib(MetafileCanvas& canvas, const DibBlit& blit) {
  const auto pixels = DibPixelCount(blit.info);
  if (!pixels || *pixels > kMaxBlitPixels || !canvas.Charge(*pixels * kDecodeCost)) return;
  const auto source = DecodeBlitSource(blit.info, blit.bits, kMaxBlitPixels);
  if (!source) return;
  RectD from = blit.source;
  if (blit.yFromBottom && source->bottomUp) {
    const double height = source->pixels.height();
    from = RectD{from.left, height - blit.source.bottom, from.right, height - blit.source.top};
  }
  canvas.StretchBlt(source->pixels, from, blit.dest, blit.rop);
}

std::shared_ptr<const PixelBuffer> DecodePattern(MetafileCanvas& canvas, std::span<const std::uint8_t> info,
                                                 std::span<const std::uint8_t> bits) {
  const auto pixels = DibPixelCount(info);
  if (!pixels || *pixels > kMaxPatternPixels || !canvas.Charge(*pixels * kPatternCost)) return nullptr;
  auto source = DecodeBlitSource(info, bits, kMaxPatternPixels);
  if (!source) return nullptr;
  return std::make_shared<const PixelBuffer>(std::move(source->pixels));
}

}  // namespace pixavue::platform::gdiplus::metafile
