#pragma once
// GUIDs of the imaging library: raw formats, frame dimensions, encoder
// parameters and codec class ids, with their documented values.

#include <pixavue/platform/ole/guid.h>

namespace pixavue::platform {

namespace detail {
// Raw formats share all but the first byte of their first field.
constexpr GUID ImageFormatGuid(std::uint32_t data1) noexcept {
  return GUID{data1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
}
// Built-in codecs likewise.
constexpr CLSID CodecClsid(std::uint32_t data1) noexcept {
  return GUID{data1, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
}
}  // namespace detail

inline constexpr GUID ImageFormatUndefined = detail::ImageFormatGuid(0xb96b3ca9);
inline constexpr GUID ImageFormatMemoryBMP = detail::ImageFormatGuid(0xb96b3caa);
inline constexpr GUID ImageFormatBMP = detail::ImageFormatGuid(0xb96b3cab);
inline constexpr GUID ImageFormatEMF = detail::ImageFormatGuid(0xb96b3cac);
inline constexpr GUID ImageFormatWMF = detail::ImageFormatGuid(0xb96b3cad);
inline constexpr GUID ImageFormatJPEG = detail::ImageFormatGuid(0xb96b3cae);
inline constexpr GUID ImageFormatPNG = detail::ImageFormatGuid(0xb96b3caf);
inline constexpr GUID ImageFormatGIF = detail::ImageFormatGuid(0xb96b3cb0);
inline constexpr GUID ImageFormatTIFF = detail::ImageFormatGuid(0xb96b3cb1);
inline constexpr GUID ImageFormatEXIF = detail::ImageFormatGuid(0xb96b3cb2);
inline constexpr GUID ImageFormatIcon = detail::ImageFormatGuid(0xb96b3cb5);

inline constexpr GUID FrameDimensionTime{0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
inline constexpr GUID FrameDimensionResolution{0x84236f7b, 0x3bd3, 0x428f, {0x8d, 0xab, 0x4e, 0xa1, 0x43, 0x9c, 0xa3, 0x15}};
inline constexpr GUID FrameDimensionPage{0x7462dc86, 0x6180, 0x4c7e, {0x8e, 0x3f, 0xee, 0x73, 0x33, 0xa7, 0xa4, 0x83}};

inline constexpr GUID EncoderCompression{0xe09d739d, 0xccd4, 0x44ee, {0x8e, 0xba, 0x3f, 0xbf, 0x8b, 0xe4, 0xfc, 0x58}};
inline constexpr GUID EncoderColorDepth{0x66087055, 0xad66, 0x4c7c, {0x9a, 0x18, 0x38, 0xa2, 0x31, 0x0b, 0x83, 0x37}};
inline constexpr GUID EncoderScanMethod{0x3a4e2661, 0x3109, 0x4e56, {0x85, 0x36, 0x42, 0xc1, 0x56, 0xe7, 0xdc, 0xfa}};
inline constexpr GUID EncoderVersion{0x24d18c76, 0x814a, 0x41a4, {0xbf, 0x53, 0x1c, 0x21, 0x9c, 0xcc, 0xf7, 0x97}};
inline constexpr GUID EncoderRenderMethod{0x6d42c53a, 0x229a, 0x4825, {0x8b, 0xb7, 0x5c, 0x99, 0xe2, 0xb9, 0xa8, 0xb8}};
inline constexpr GUID EncoderQuality{0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
inline constexpr GUID EncoderTransformation{0x8d0eb2d1, 0xa58e, 0x4ea8, {0xaa, 0x14, 0x10, 0x80, 0x74, 0xb7, 0xb6, 0xf9}};
inline constexpr GUID EncoderLuminanceTable{0xedb33bce, 0x0266, 0x4a77, {0xb9, 0x04, 0x27, 0x21, 0x60, 0x99, 0xe7, 0x17}};
inline constexpr GUID EncoderChrominanceTable{0xf2e455dc, 0x09b3, 0x4316, {0x82, 0x60, 0x67, 0x6a, 0xda, 0x32, 0x48, 0x1c}};
inline constexpr GUID EncoderSaveFlag{0x292266fc, 0xac40, 0x47bf, {0x8c, 0xfc, 0xa8, 0x5b, 0x89, 0xa6, 0x55, 0xde}};

inline constexpr CLSID CLSID_BmpCodec = detail::CodecClsid(0x557cf400);
inline constexpr CLSID CLSID_JpegCodec = detail::CodecClsid(0x557cf401);
inline constexpr CLSID CLSID_GifCodec = detail::CodecClsid(0x557cf402);
inline constexpr CLSID CLSID_EmfCodec = detail::CodecClsid(0x557cf403);
inline constexpr CLSID CLSID_WmfCodec = detail::CodecClsid(0x557cf404);
inline constexpr CLSID CLSID_TiffCodec = detail::CodecClsid(0x557cf405);
inline constexpr CLSID CLSID_PngCodec = detail::CodecClsid(0x557cf406);
inline constexpr CLSID CLSID_IconCodec = detail::CodecClsid(0x557cf407);

}  // namespace pixavue::platform
