// The codec lists as GdipGetImageEncoders and GdipGetImageDecoders hand
// them out.

#include <string>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

class GdiplusCodecList : public GdiplusTest {
 protected:
  // The whole block, checked for the documented size handshake.
  std::vector<ImageCodecInfo> Fetch(bool encoders, std::vector<std::uint8_t>& storage) {
    UINT32 count = 0;
    UINT32 size = 0;
    const GpStatus sized = encoders ? GdipGetImageEncodersSize(&count, &size) : GdipGetImageDecodersSize(&count, &size);
    EXPECT_EQ(sized, Ok);
    EXPECT_GE(size, count * sizeof(ImageCodecInfo));
    storage.assign(size + 16, 0xCD);
    auto* block = reinterpret_cast<ImageCodecInfo*>(storage.data());
    const auto fetch = [&](UINT32 n, UINT32 bytes) {
      return encoders ? GdipGetImageEncoders(n, bytes, block) : GdipGetImageDecoders(n, bytes, block);
    };
    EXPECT_EQ(fetch(count, size - 1), InvalidParameter);
    EXPECT_EQ(fetch(count + 1, size), InvalidParameter);
    EXPECT_EQ(fetch(count, size), Ok);
    // Nothing is written past the announced size.
    for (std::size_t i = size; i < storage.size(); ++i) EXPECT_EQ(storage[i], 0xCD);
    return std::vector<ImageCodecInfo>(block, block + count);
  }
};

TEST_F(GdiplusCodecList, EncodersInTheDocumentedOrderWithTheirPatterns) {
  std::vector<std::uint8_t> storage;
  const auto encoders = Fetch(true, storage);
  ASSERT_EQ(encoders.size(), 5u);
  const CLSID clsids[] = {CLSID_BmpCodec, CLSID_JpegCodec, CLSID_GifCodec, CLSID_TiffCodec, CLSID_PngCodec};
  const GUID formats[] = {ImageFormatBMP, ImageFormatJPEG, ImageFormatGIF, ImageFormatTIFF, ImageFormatPNG};
  const std::u16string extensions[] = {u"*.BMP;*.DIB;*.RLE", u"*.JPG;*.JPEG;*.JPE;*.JFIF", u"*.GIF", u"*.TIF;*.TIFF",
                                       u"*.PNG"};
  const std::u16string mimeTypes[] = {u"image/bmp", u"image/jpeg", u"image/gif", u"image/tiff", u"image/png"};
  for (std::size_t i = 0; i < encoders.size(); ++i) {
    EXPECT_EQ(encoders[i].Clsid, clsids[i]) << i;
    EXPECT_EQ(encoders[i].FormatID, formats[i]) << i;
    EXPECT_EQ(std::u16string(encoders[i].FilenameExtension), extensions[i]) << i;
    EXPECT_EQ(std::u16string(encoders[i].MimeType), mimeTypes[i]) << i;
    EXPECT_NE(encoders[i].Flags & ImageCodecFlagsEncoder, 0u);
    EXPECT_NE(encoders[i].Flags & ImageCodecFlagsBuiltin, 0u);
  }
  EXPECT_EQ(GuidToString(CLSID_PngCodec), "{557CF406-1A04-11D3-9A73-0000F81EF32E}");
}

TEST_F(GdiplusCodecList, DecodersCarryTheirSignatures) {
  std::vector<std::uint8_t> storage;
  const auto decoders = Fetch(false, storage);
  ASSERT_EQ(decoders.size(), 8u);
  const GUID formats[] = {ImageFormatBMP, ImageFormatJPEG, ImageFormatGIF, ImageFormatEMF,
                          ImageFormatWMF, ImageFormatTIFF, ImageFormatPNG, ImageFormatIcon};
  for (std::size_t i = 0; i < decoders.size(); ++i) {
    EXPECT_EQ(decoders[i].FormatID, formats[i]) << i;
    EXPECT_NE(decoders[i].Flags & ImageCodecFlagsDecoder, 0u);
    ASSERT_GE(decoders[i].SigCount, 1u);
    // The pattern block holds SigCount patterns of SigSize bytes.
    const BYTE* pattern = decoders[i].SigPattern;
    const BYTE* mask = decoders[i].SigMask;
    EXPECT_EQ(mask - pattern, static_cast<std::ptrdiff_t>(decoders[i].SigCount * decoders[i].SigSize));
  }
  const BYTE* png = decoders[6].SigPattern;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(png) + 1, 3), "PNG");
  EXPECT_EQ(decoders[2].SigCount, 2u);  // GIF87a and GIF89a
}

TEST_F(GdiplusCodecList, RawFormatGuidsHaveTheirDocumentedText) {
  EXPECT_EQ(GuidToString(ImageFormatMemoryBMP), "{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}");
  EXPECT_EQ(GuidToString(ImageFormatIcon), "{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}");
  EXPECT_EQ(GuidToString(FrameDimensionPage), "{7462DC86-6180-4C7E-8E3F-EE7333A7A483}");
  EXPECT_EQ(GuidToString(FrameDimensionTime), "{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}");
  EXPECT_EQ(GuidToString(EncoderCompression), "{E09D739D-CCD4-44EE-8EBA-3FBF8BE4FC58}");
  EXPECT_EQ(GuidToString(EncoderColorDepth), "{66087055-AD66-4C7C-9A18-38A2310B8337}");
}

}  // namespace
}  // namespace pixavue::platform::test
