#pragma once
// Types, constants and structure layouts of the imaging library's flat C
// interface. Values and field orders are those of the documented library,
// so that code written against it reads and behaves the same here.

#include <cstdint>

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/ole/guid.h>

namespace pixavue::platform {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using INT = std::int32_t;
using INT16 = std::int16_t;
using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using BOOL = std::int32_t;
using REAL = float;
using ARGB = std::uint32_t;
using PROPID = std::uint32_t;
using WCHAR = char16_t;
using GDIP_ULONG = std::uint32_t;
using GDIP_ULONG_PTR = std::uintptr_t;

// Status of every flat function (0 to 21).
enum GpStatus : std::int32_t {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
  ProfileNotFound = 21,
};

// Pixel formats. Bits 8-15 hold the bits per pixel; the flags say whether
// the format is indexed, has alpha, is premultiplied, is extended (16 bits
// a channel) or can be drawn on with a graphics context (GDI flag).
using PixelFormat = std::int32_t;

inline constexpr PixelFormat PixelFormatIndexed = 0x00010000;
inline constexpr PixelFormat PixelFormatGDI = 0x00020000;
inline constexpr PixelFormat PixelFormatAlpha = 0x00040000;
inline constexpr PixelFormat PixelFormatPAlpha = 0x00080000;
inline constexpr PixelFormat PixelFormatExtended = 0x00100000;
inline constexpr PixelFormat PixelFormatCanonical = 0x00200000;

inline constexpr PixelFormat PixelFormatUndefined = 0;
inline constexpr PixelFormat PixelFormatDontCare = 0;
inline constexpr PixelFormat PixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat PixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat PixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat PixelFormat16bppGrayScale = 0x00101004;
inline constexpr PixelFormat PixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat PixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat PixelFormat16bppARGB1555 = 0x00061007;
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;
inline constexpr PixelFormat PixelFormat48bppRGB = 0x0010300C;
inline constexpr PixelFormat PixelFormat64bppARGB = 0x0034400D;
inline constexpr PixelFormat PixelFormat64bppPARGB = 0x001A400E;
inline constexpr PixelFormat PixelFormat32bppCMYK = 0x0000200F;

constexpr UINT32 GetPixelFormatSize(PixelFormat format) noexcept {
  return (static_cast<UINT32>(format) >> 8) & 0xFF;
}
constexpr bool IsIndexedPixelFormat(PixelFormat format) noexcept {
  return (format & PixelFormatIndexed) != 0;
}
constexpr bool IsAlphaPixelFormat(PixelFormat format) noexcept {
  return (format & PixelFormatAlpha) != 0;
}
constexpr bool IsCanonicalPixelFormat(PixelFormat format) noexcept {
  return (format & PixelFormatCanonical) != 0;
}
constexpr bool IsExtendedPixelFormat(PixelFormat format) noexcept {
  return (format & PixelFormatExtended) != 0;
}

enum ImageType : std::int32_t { ImageTypeUnknown = 0, ImageTypeBitmap = 1, ImageTypeMetafile = 2 };

enum ImageLockMode : UINT32 {
  ImageLockModeRead = 0x0001,
  ImageLockModeWrite = 0x0002,
  ImageLockModeUserInputBuf = 0x0004,
};

enum RotateFlipType : std::int32_t {
  RotateNoneFlipNone = 0,
  Rotate90FlipNone = 1,
  Rotate180FlipNone = 2,
  Rotate270FlipNone = 3,
  RotateNoneFlipX = 4,
  Rotate90FlipX = 5,
  Rotate180FlipX = 6,
  Rotate270FlipX = 7,
  RotateNoneFlipY = Rotate180FlipX,
  Rotate90FlipY = Rotate270FlipX,
  Rotate180FlipY = RotateNoneFlipX,
  Rotate270FlipY = Rotate90FlipX,
  RotateNoneFlipXY = Rotate180FlipNone,
  Rotate90FlipXY = Rotate270FlipNone,
  Rotate180FlipXY = RotateNoneFlipNone,
  Rotate270FlipXY = Rotate90FlipNone,
};

// GdipGetImageFlags bits.
enum ImageFlags : UINT32 {
  ImageFlagsNone = 0,
  ImageFlagsScalable = 0x0001,
  ImageFlagsHasAlpha = 0x0002,
  ImageFlagsHasTranslucent = 0x0004,
  ImageFlagsPartiallyScalable = 0x0008,
  ImageFlagsColorSpaceRGB = 0x0010,
  ImageFlagsColorSpaceCMYK = 0x0020,
  ImageFlagsColorSpaceGRAY = 0x0040,
  ImageFlagsColorSpaceYCBCR = 0x0080,
  ImageFlagsColorSpaceYCCK = 0x0100,
  ImageFlagsHasRealDPI = 0x1000,
  ImageFlagsHasRealPixelSize = 0x2000,
  ImageFlagsReadOnly = 0x00010000,
  ImageFlagsCaching = 0x00020000,
};

enum PaletteFlags : UINT32 {
  PaletteFlagsHasAlpha = 0x0001,
  PaletteFlagsGrayScale = 0x0002,
  PaletteFlagsHalftone = 0x0004,
};

struct GpRect {
  INT X = 0;
  INT Y = 0;
  INT Width = 0;
  INT Height = 0;
};

struct GpRectF {
  REAL X = 0;
  REAL Y = 0;
  REAL Width = 0;
  REAL Height = 0;
};

// Variable-length: Count entries follow the header. Callers size the block
// with GdipGetImagePaletteSize.
struct ColorPalette {
  UINT32 Flags;
  UINT32 Count;
  ARGB Entries[1];
};

struct BitmapData {
  UINT32 Width = 0;
  UINT32 Height = 0;
  INT Stride = 0;
  platform::PixelFormat PixelFormat = 0;
  void* Scan0 = nullptr;
  GDIP_ULONG_PTR Reserved = 0;
};

struct PropertyItem {
  PROPID id;
  GDIP_ULONG length;  // bytes of value
  WORD type;          // PropertyTagType*
  void* value;
};

struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  UINT32 Flags;
  UINT32 Version;
  UINT32 SigCount;
  UINT32 SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

enum ImageCodecFlags : UINT32 {
  ImageCodecFlagsEncoder = 0x00000001,
  ImageCodecFlagsDecoder = 0x00000002,
  ImageCodecFlagsSupportBitmap = 0x00000004,
  ImageCodecFlagsSupportVector = 0x00000008,
  ImageCodecFlagsSeekableEncode = 0x00000010,
  ImageCodecFlagsBlockingDecode = 0x00000020,
  ImageCodecFlagsBuiltin = 0x00010000,
  ImageCodecFlagsSystem = 0x00020000,
  ImageCodecFlagsUser = 0x00040000,
};

enum EncoderParameterValueType : UINT32 {
  EncoderParameterValueTypeByte = 1,
  EncoderParameterValueTypeASCII = 2,
  EncoderParameterValueTypeShort = 3,
  EncoderParameterValueTypeLong = 4,
  EncoderParameterValueTypeRational = 5,
  EncoderParameterValueTypeLongRange = 6,
  EncoderParameterValueTypeUndefined = 7,
  EncoderParameterValueTypeRationalRange = 8,
};

// Values of the compression, save-flag and transform parameters.
enum EncoderValue : std::int32_t {
  EncoderValueColorTypeCMYK = 0,
  EncoderValueColorTypeYCCK = 1,
  EncoderValueCompressionLZW = 2,
  EncoderValueCompressionCCITT3 = 3,
  EncoderValueCompressionCCITT4 = 4,
  EncoderValueCompressionRle = 5,
  EncoderValueCompressionNone = 6,
  EncoderValueScanMethodInterlaced = 7,
  EncoderValueScanMethodNonInterlaced = 8,
  EncoderValueVersionGif87 = 9,
  EncoderValueVersionGif89 = 10,
  EncoderValueRenderProgressive = 11,
  EncoderValueRenderNonProgressive = 12,
  EncoderValueTransformRotate90 = 13,
  EncoderValueTransformRotate180 = 14,
  EncoderValueTransformRotate270 = 15,
  EncoderValueTransformFlipHorizontal = 16,
  EncoderValueTransformFlipVertical = 17,
  EncoderValueMultiFrame = 18,
  EncoderValueLastFrame = 19,
  EncoderValueFlush = 20,
  EncoderValueFrameDimensionTime = 21,
  EncoderValueFrameDimensionResolution = 22,
  EncoderValueFrameDimensionPage = 23,
};

struct EncoderParameter {
  GUID Guid;
  GDIP_ULONG NumberOfValues;
  GDIP_ULONG Type;  // EncoderParameterValueType
  void* Value;
};

// Variable-length: Count parameters follow the header.
struct EncoderParameters {
  UINT32 Count;
  EncoderParameter Parameter[1];
};

struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = 0;
  BOOL SuppressExternalCodecs = 0;
};

struct GdiplusStartupOutput {
  void* NotificationHook = nullptr;
  void* NotificationUnhook = nullptr;
};

// Opaque image object. Bitmaps and metafiles are both images; the aliases
// keep the documented parameter names.
class GpImage;
using GpBitmap = GpImage;
using GpMetafile = GpImage;

// Drawing. A graphics object draws into a bitmap (GdipGetImageGraphicsContext)
// or into the bitmap selected into a device context (GdipCreateFromHDC).
class GpGraphics;
// Colour adjustments applied while drawing an image.
class GpImageAttributes;

enum GpUnit : std::int32_t {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6
};

enum QualityMode : std::int32_t { QualityModeInvalid = -1, QualityModeDefault = 0, QualityModeLow = 1, QualityModeHigh = 2 };

enum InterpolationMode : std::int32_t {
  InterpolationModeInvalid = -1,
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7
};

enum SmoothingMode : std::int32_t {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4
};

enum PixelOffsetMode : std::int32_t {
  PixelOffsetModeInvalid = -1,
  PixelOffsetModeDefault = 0,
  PixelOffsetModeHighSpeed = 1,
  PixelOffsetModeHighQuality = 2,
  PixelOffsetModeNone = 3,
  PixelOffsetModeHalf = 4
};

enum CompositingQuality : std::int32_t {
  CompositingQualityInvalid = -1,
  CompositingQualityDefault = 0,
  CompositingQualityHighSpeed = 1,
  CompositingQualityHighQuality = 2,
  CompositingQualityGammaCorrected = 3,
  CompositingQualityAssumeLinear = 4
};

enum ColorAdjustType : std::int32_t {
  ColorAdjustTypeDefault = 0,
  ColorAdjustTypeBitmap = 1,
  ColorAdjustTypeBrush = 2,
  ColorAdjustTypePen = 3,
  ColorAdjustTypeText = 4,
  ColorAdjustTypeCount = 5,
  ColorAdjustTypeAny = 6
};

struct ColorMap {
  ARGB oldColor;
  ARGB newColor;
};

// Abort callbacks of the drawing and thumbnail calls: a non-zero return
// stops the work with Aborted.
using DrawImageAbort = BOOL (*)(void* callbackData);
using GetThumbnailImageAbort = DrawImageAbort;

// Metafiles.
enum MetafileType : std::int32_t {
  MetafileTypeInvalid = 0,
  MetafileTypeWmf = 1,
  MetafileTypeWmfPlaceable = 2,
  MetafileTypeEmf = 3,
  MetafileTypeEmfPlusOnly = 4,
  MetafileTypeEmfPlusDual = 5
};

// The placeable header that may open a Windows metafile (22 bytes on file).
#pragma pack(push, 2)
struct WmfPlaceableFileHeader {
  UINT32 Key = 0x9AC6CDD7;
  INT16 Hmf = 0;
  INT16 BoundingBoxLeft = 0;
  INT16 BoundingBoxTop = 0;
  INT16 BoundingBoxRight = 0;
  INT16 BoundingBoxBottom = 0;
  INT16 Inch = 0;  // units per inch
  UINT32 Reserved = 0;
  INT16 Checksum = 0;
};
#pragma pack(pop)
static_assert(sizeof(WmfPlaceableFileHeader) == 22);

struct MetafileHeader {
  MetafileType Type = MetafileTypeInvalid;
  UINT32 Size = 0;     // bytes of the metafile
  UINT32 Version = 0;
  UINT32 EmfPlusFlags = 0;
  REAL DpiX = 0;
  REAL DpiY = 0;
  INT X = 0;  // bounds in device units
  INT Y = 0;
  INT Width = 0;
  INT Height = 0;
  union {
    METAHEADER WmfHeader;
    ENHMETAHEADER EmfHeader;
  };
  INT EmfPlusHeaderSize = 0;
  INT LogicalDpiX = 0;
  INT LogicalDpiY = 0;

  MetafileHeader() : EmfHeader{} {}
};

}  // namespace pixavue::platform
