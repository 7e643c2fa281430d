#include "codec_registry.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint32_t kBuiltinBitmap = ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin;
constexpr std::uint32_t kBuiltinVector = ImageCodecFlagsSupportVector | ImageCodecFlagsBuiltin;
constexpr std::uint32_t kBoth = ImageCodecFlagsEncoder | ImageCodecFlagsDecoder;

constexpr std::array<std::uint8_t, 2> kBmpPattern{'B', 'M'};
constexpr std::array<std::uint8_t, 2> kBmpMask{0xFF, 0xFF};
constexpr std::array<std::uint8_t, 2> kJpegPattern{0xFF, 0xD8};
constexpr std::array<std::uint8_t, 2> kJpegMask{0xFF, 0xFF};
constexpr std::array<std::uint8_t, 6> kGif89Pattern{'G', 'I', 'F', '8', '9', 'a'};
constexpr std::array<std::uint8_t, 6> kGif87Pattern{'G', 'I', 'F', '8', '7', 'a'};
constexpr std::array<std::uint8_t, 6> kGifMask{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 44> kEmfPattern{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ' ', 'E', 'M', 'F'};
constexpr std::array<std::uint8_t, 44> kEmfMask{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 4> kWmfPlaceablePattern{0xD7, 0xCD, 0xC6, 0x9A};
constexpr std::array<std::uint8_t, 4> kWmfPlainPattern{0x01, 0x00, 0x09, 0x00};
constexpr std::array<std::uint8_t, 4> kWmfDiskPattern{0x02, 0x00, 0x09, 0x00};
constexpr std::array<std::uint8_t, 4> kMask4{0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 4> kTiffLittlePattern{'I', 'I', 42, 0};
constexpr std::array<std::uint8_t, 4> kTiffBigPattern{'M', 'M', 0, 42};
// BigTIFF: the same format in a container with 64-bit offsets.
constexpr std::array<std::uint8_t, 4> kBigTiffLittlePattern{'I', 'I', 43, 0};
constexpr std::array<std::uint8_t, 4> kBigTiffBigPattern{'M', 'M', 0, 43};
constexpr std::array<std::uint8_t, 8> kPngPattern{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<std::uint8_t, 8> kPngMask{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 4> kIconPattern{0, 0, 1, 0};
constexpr std::array<std::uint8_t, 4> kCursorPattern{0, 0, 2, 0};

const std::array kBmpSignatures{CodecSignature{kBmpPattern, kBmpMask}};
const std::array kJpegSignatures{CodecSignature{kJpegPattern, kJpegMask}};
const std::array kGifSignatures{CodecSignature{kGif89Pattern, kGifMask}, CodecSignature{kGif87Pattern, kGifMask}};
const std::array kEmfSignatures{CodecSignature{kEmfPattern, kEmfMask}};
const std::array kWmfSignatures{CodecSignature{kWmfPlaceablePattern, kMask4}, CodecSignature{kWmfPlainPattern, kMask4},
                                CodecSignature{kWmfDiskPattern, kMask4}};
const std::array kTiffSignatures{CodecSignature{kTiffLittlePattern, kMask4}, CodecSignature{kTiffBigPattern, kMask4},
                                 CodecSignature{kBigTiffLittlePattern, kMask4},
                                 CodecSignature{kBigTiffBigPattern, kMask4}};
const std::array kPngSignatures{CodecSignature{kPngPattern, kPngMask}};
const std::array kIconSignatures{CodecSignature{kIconPattern, kMask4}, CodecSignature{kCursorPattern, kMask4}};

const CodecEntry kBmp{CLSID_BmpCodec, ImageFormatBMP, u"Built-in BMP Codec", u"BMP", u"*.BMP;*.DIB;*.RLE",
                      u"image/bmp", kBoth | kBuiltinBitmap, kBmpSignatures, DecodeBmp, EncodeBmp};
const CodecEntry kJpeg{CLSID_JpegCodec, ImageFormatJPEG, u"Built-in JPEG Codec", u"JPEG", u"*.JPG;*.JPEG;*.JPE;*.JFIF",
                       u"image/jpeg", kBoth | kBuiltinBitmap, kJpegSignatures, DecodeJpeg, EncodeJpeg};
const CodecEntry kGif{CLSID_GifCodec, ImageFormatGIF, u"Built-in GIF Codec", u"GIF", u"*.GIF",
                      u"image/gif", kBoth | kBuiltinBitmap, kGifSignatures, DecodeGif, EncodeGif};
const CodecEntry kEmf{CLSID_EmfCodec, ImageFormatEMF, u"Built-in EMF Codec", u"EMF", u"*.EMF",
                      u"image/x-emf", ImageCodecFlagsDecoder | kBuiltinVector, kEmfSignatures, DecodeMetafile, nullptr};
const CodecEntry kWmf{CLSID_WmfCodec, ImageFormatWMF, u"Built-in WMF Codec", u"WMF", u"*.WMF",
                      u"image/x-wmf", ImageCodecFlagsDecoder | kBuiltinVector, kWmfSignatures, DecodeMetafile, nullptr};
const CodecEntry kTiff{CLSID_TiffCodec, ImageFormatTIFF, u"Built-in TIFF Codec", u"TIFF", u"*.TIF;*.TIFF",
                       u"image/tiff", kBoth | kBuiltinBitmap, kTiffSignatures, DecodeTiff, EncodeTiff};
const CodecEntry kPng{CLSID_PngCodec, ImageFormatPNG, u"Built-in PNG Codec", u"PNG", u"*.PNG",
                      u"image/png", kBoth | kBuiltinBitmap, kPngSignatures, DecodePng, EncodePng};
const CodecEntry kIcon{CLSID_IconCodec, ImageFormatIcon, u"Built-in ICO Codec", u"ICO", u"*.ICO",
                       u"image/x-icon", ImageCodecFlagsDecoder | kBuiltinBitmap, kIconSignatures, DecodeIcon, nullptr};

const std::array<const CodecEntry*, 5> kEncoders{&kBmp, &kJpeg, &kGif, &kTiff, &kPng};
const std::array<const CodecEntry*, 8> kDecoders{&kBmp, &kJpeg, &kGif, &kEmf, &kWmf, &kTiff, &kPng, &kIcon};

bool Matches(const CodecSignature& signature, std::span<const std::uint8_t> data) {
  if (data.size() < signature.pattern.size()) return false;
  for (std::size_t i = 0; i < signature.pattern.size(); ++i) {
    if ((data[i] & signature.mask[i]) != signature.pattern[i]) return false;
  }
  return true;
}

std::uint32_t StringBytes(std::u16string_view text) {
  return static_cast<std::uint32_t>((text.size() + 1) * sizeof(WCHAR));
}

std::uint32_t TrailingBytes(const CodecEntry& entry) {
  std::uint32_t bytes = StringBytes(entry.codecName) + StringBytes(entry.description) +
                        StringBytes(entry.extensions) + StringBytes(entry.mimeType);
  for (const CodecSignature& signature : entry.signatures) {
    bytes += static_cast<std::uint32_t>(signature.pattern.size() + signature.mask.size());
  }
  return bytes;
}

// Copies a string into the block and returns where it went.
const WCHAR* PlaceString(std::uint8_t*& cursor, std::u16string_view text) {
  auto* start = reinterpret_cast<WCHAR*>(cursor);
  std::memcpy(cursor, text.data(), text.size() * sizeof(WCHAR));
  std::memset(cursor + text.size() * sizeof(WCHAR), 0, sizeof(WCHAR));
  cursor += StringBytes(text);
  return start;
}

}  // namespace

std::span<const CodecEntry* const> EncoderEntries() { return kEncoders; }
std::span<const CodecEntry* const> DecoderEntries() { return kDecoders; }

const CodecEntry* EncoderByClsid(const CLSID& clsid) {
  auto found = std::find_if(kEncoders.begin(), kEncoders.end(), [&](const CodecEntry* e) { return e->clsid == clsid; });
  return found == kEncoders.end() ? nullptr : *found;
}

DecodeFunction DecoderFor(std::span<const std::uint8_t> data) {
  for (const CodecEntry* entry : kDecoders) {
    for (const CodecSignature& signature : entry->signatures) {
      if (Matches(signature, data)) return entry->decode;
    }
  }
  return nullptr;
}

std::uint32_t CodecInfoBlockSize(std::span<const CodecEntry* const> entries) {
  std::uint32_t bytes = static_cast<std::uint32_t>(entries.size() * sizeof(ImageCodecInfo));
  for (const CodecEntry* entry : entries) bytes += TrailingBytes(*entry);
  return bytes;
}

void FillCodecInfoBlock(std::span<const CodecEntry* const> entries, ImageCodecInfo* block) {
  auto* cursor = reinterpret_cast<std::uint8_t*>(block + entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const CodecEntry& entry = *entries[i];
    ImageCodecInfo& info = block[i];
    info.Clsid = entry.clsid;
    info.FormatID = entry.format;
    info.CodecName = PlaceString(cursor, entry.codecName);
    info.DllName = nullptr;
    info.FormatDescription = PlaceString(cursor, entry.description);
    info.FilenameExtension = PlaceString(cursor, entry.extensions);
    info.MimeType = PlaceString(cursor, entry.mimeType);
    info.Flags = entry.flags;
    info.Version = 1;
    info.SigCount = static_cast<std::uint32_t>(entry.signatures.size());
    info.SigSize = entry.signatures.empty() ? 0 : static_cast<std::uint32_t>(entry.signatures[0].pattern.size());
    info.SigPattern = cursor;
    for (const CodecSignature& signature : entry.signatures) {
      std::memcpy(cursor, signature.pattern.data(), signature.pattern.size());
      cursor += signature.pattern.size();
    }
    info.SigMask = cursor;
    for (const CodecSignature& signature : entry.signatures) {
      std::memcpy(cursor, signature.mask.data(), signature.mask.size());
      cursor += signature.mask.size();
    }
  }
}

}  // namespace pixavue::platform::gdiplus
