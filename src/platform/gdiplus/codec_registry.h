#pragma once
// The built-in codecs: their descriptions as GdipGetImageEncoders and
// GdipGetImageDecoders list them, their signatures, and the functions that
// decode and encode them.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "codec.h"

namespace pixavue::platform::gdiplus {

struct CodecSignature final {
  std::span<const std::uint8_t> pattern;
  std::span<const std::uint8_t> mask;
};

struct CodecEntry final {
  CLSID clsid;
  GUID format;
  std::u16string_view codecName;
  std::u16string_view description;
  std::u16string_view extensions;
  std::u16string_view mimeType;
  std::uint32_t flags;
  std::span<const CodecSignature> signatures;
  DecodeFunction decode;  // null for formats only encoded
  EncodeFunction encode;  // null for formats only decoded
};

// In the documented library's order: BMP, JPEG, GIF, TIFF, PNG.
std::span<const CodecEntry* const> EncoderEntries();
// BMP, JPEG, GIF, EMF, WMF, TIFF, PNG, ICO.
std::span<const CodecEntry* const> DecoderEntries();

const CodecEntry* EncoderByClsid(const CLSID& clsid);

// The decoder whose signature matches the start of `data`, or null.
DecodeFunction DecoderFor(std::span<const std::uint8_t> data);

// Bytes of the block GdipGetImage{En,De}coders fills for `entries`.
std::uint32_t CodecInfoBlockSize(std::span<const CodecEntry* const> entries);
// Fills the block; the caller has checked count and size.
void FillCodecInfoBlock(std::span<const CodecEntry* const> entries, ImageCodecInfo* block);

}  // namespace pixavue::platform::gdiplus
