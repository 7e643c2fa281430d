#include "icon_directory.h"

#include <algorithm>

#include "../byte_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kDirectoryHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPng(std::span<const std::uint8_t> image) {
  return image.size() >= sizeof kPngSignature && std::equal(kPngSignature, kPngSignature + 8, image.begin());
}

// Bit depth times channels, from the IHDR chunk that follows the signature.
std::uint32_t PngBitsPerPixel(std::span<const std::uint8_t> image) {
  constexpr std::size_t kDepthAt = 24, kColourTypeAt = 25;
  if (image.size() <= kColourTypeAt) return 0;
  const std::uint32_t depth = image[kDepthAt];
  switch (image[kColourTypeAt]) {
    case 0: return depth;      // grey
    case 2: return depth * 3;  // RGB
    case 3: return depth;      // palette
    case 4: return depth * 2;  // grey and alpha
    case 6: return depth * 4;  // RGBA
    default: return 0;
  }
}

// biBitCount of a BITMAPINFOHEADER or its successors, bcBitCount of the
// 12-byte core header.
std::uint32_t DibBitsPerPixel(std::span<const std::uint8_t> image) {
  const ByteReader reader(image);
  const auto headerSize = reader.U32At(0);
  if (!headerSize) return 0;
  const auto bits = reader.U16At(*headerSize == 12 ? 10 : 14);
  return bits ? *bits : 0;
}

std::optional<IconEntry> ReadEntry(ByteReader& reader, std::span<const std::uint8_t> file) {
  const auto width = reader.U8();
  const auto height = reader.U8();
  if (!reader.Skip(6)) return std::nullopt;  // colour count, reserved, planes / hotspot, bit count / hotspot
  const auto size = reader.U32();
  const auto offset = reader.U32();
  if (!width || !height || !size || !offset) return std::nullopt;
  if (*offset > file.size() || *size > file.size() - *offset || *size == 0) return std::nullopt;
  IconEntry entry;
  entry.width = *width == 0 ? 256 : *width;
  entry.height = *height == 0 ? 256 : *height;
  entry.bytes = file.subspan(*offset, *size);
  entry.png = IsPng(entry.bytes);
  entry.bitsPerPixel = entry.png ? PngBitsPerPixel(entry.bytes) : DibBitsPerPixel(entry.bytes);
  return entry;
}

bool Better(const IconEntry& candidate, const IconEntry& best) {
  const std::uint64_t candidateArea = std::uint64_t{candidate.width} * candidate.height;
  const std::uint64_t bestArea = std::uint64_t{best.width} * best.height;
  if (candidateArea != bestArea) return candidateArea > bestArea;
  return candidate.bitsPerPixel > best.bitsPerPixel;
}

}  // namespace

GpStatus ChooseIconEntry(std::span<const std::uint8_t> file, IconEntry& best) {
  ByteReader reader(file);
  const auto reserved = reader.U16();
  const auto type = reader.U16();
  const auto count = reader.U16();
  if (!count || *reserved != 0 || (*type != 1 && *type != 2)) return InvalidParameter;
  if (*count == 0 || *count > kMaxIconEntries || file.size() < kDirectoryHeaderBytes + *count * kEntryBytes) {
    return InvalidParameter;
  }
  std::optional<IconEntry> chosen;
  for (std::uint16_t i = 0; i < *count; ++i) {
    if (!reader.Seek(kDirectoryHeaderBytes + i * kEntryBytes)) return InvalidParameter;
    const std::optional<IconEntry> entry = ReadEntry(reader, file);
    if (entry && (!chosen || Better(*entry, *chosen))) chosen = entry;
  }
  if (!chosen) return InvalidParameter;
  best = *chosen;
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
