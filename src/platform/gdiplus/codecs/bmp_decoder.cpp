// BMP files: a 14-byte file header ("BM", file size, reserved, offset of the
// pixel bits) in front of a DIB.
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "../byte_reader.h"
#include "../codec.h"
#include "dib.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kBitsOffsetField = 10;

}  // namespace

GpStatus DecodeBmp(const EncodedBytes& data, const DecodeOptions&, DecodedImage& out) {
  if (!data) return InvalidParameter;
  const std::span<const std::uint8_t> bytes(*data);
  const ByteReader reader(bytes);
  auto bitsOffset = reader.U32At(kBitsOffsetField);
  if (bytes.size() <= kFileHeaderSize || !bitsOffset || bytes[0] != 'B' || bytes[1] != 'M') return InvalidParameter;
  // An offset of 0 (some writers) means the bits follow the colour table,
  // and so does one at the end of the info header: writers that forget the
  // table (or masks) put it there, and other readers take it so. Any other
  // is taken as given, as other readers do, even when it points into the
  // colour table (which is still read whole, as they read it); one inside
  // the file or info header cannot be where the bits are and is refused.
  DibOptions options;
  if (*bitsOffset != 0) {
    const auto infoHeaderBytes = reader.U32At(kFileHeaderSize);
    if (!infoHeaderBytes) return InvalidParameter;
    const std::uint64_t infoEnd = std::uint64_t{kFileHeaderSize} + *infoHeaderBytes;
    if (*bitsOffset < infoEnd) return InvalidParameter;
    if (*bitsOffset > infoEnd) {
      options.bitsOffset = *bitsOffset - kFileHeaderSize;
      options.tableMayOverlapBits = true;
    }
  }
  Frame frame;
  const GpStatus status = DecodeDib(bytes.subspan(kFileHeaderSize), options, frame);
  if (status != Ok) return status;
  out.rawFormat = ImageFormatBMP;
  out.frame = std::move(frame);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
