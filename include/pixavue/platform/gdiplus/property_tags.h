#pragma once
// Property-item type codes and the tag ids the imaging layer itself
// produces or reads. The full EXIF tag-name table belongs to the metadata
// layer.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform {

inline constexpr WORD PropertyTagTypeByte = 1;
inline constexpr WORD PropertyTagTypeASCII = 2;
inline constexpr WORD PropertyTagTypeShort = 3;
inline constexpr WORD PropertyTagTypeLong = 4;
inline constexpr WORD PropertyTagTypeRational = 5;
inline constexpr WORD PropertyTagTypeUndefined = 7;
inline constexpr WORD PropertyTagTypeSLONG = 9;
inline constexpr WORD PropertyTagTypeSRational = 10;

// Image file directory (TIFF tags).
inline constexpr PROPID PropertyTagNewSubfileType = 0x00FE;
inline constexpr PROPID PropertyTagImageWidth = 0x0100;
inline constexpr PROPID PropertyTagImageHeight = 0x0101;
inline constexpr PROPID PropertyTagBitsPerSample = 0x0102;
inline constexpr PROPID PropertyTagCompression = 0x0103;
inline constexpr PROPID PropertyTagPhotometricInterp = 0x0106;
inline constexpr PROPID PropertyTagImageDescription = 0x010E;
inline constexpr PROPID PropertyTagEquipMake = 0x010F;
inline constexpr PROPID PropertyTagEquipModel = 0x0110;
inline constexpr PROPID PropertyTagStripOffsets = 0x0111;
inline constexpr PROPID PropertyTagOrientation = 0x0112;
inline constexpr PROPID PropertyTagSamplesPerPixel = 0x0115;
inline constexpr PROPID PropertyTagRowsPerStrip = 0x0116;
inline constexpr PROPID PropertyTagStripBytesCount = 0x0117;
inline constexpr PROPID PropertyTagXResolution = 0x011A;
inline constexpr PROPID PropertyTagYResolution = 0x011B;
inline constexpr PROPID PropertyTagPlanarConfig = 0x011C;
inline constexpr PROPID PropertyTagPageName = 0x011D;
inline constexpr PROPID PropertyTagResolutionUnit = 0x0128;
inline constexpr PROPID PropertyTagPageNumber = 0x0129;
inline constexpr PROPID PropertyTagSoftwareUsed = 0x0131;
inline constexpr PROPID PropertyTagDateTime = 0x0132;
inline constexpr PROPID PropertyTagArtist = 0x013B;
inline constexpr PROPID PropertyTagColorMap = 0x0140;
inline constexpr PROPID PropertyTagTileWidth = 0x0142;
inline constexpr PROPID PropertyTagTileLength = 0x0143;
inline constexpr PROPID PropertyTagTileOffset = 0x0144;
inline constexpr PROPID PropertyTagTileByteCounts = 0x0145;
inline constexpr PROPID PropertyTagExtraSamples = 0x0152;
inline constexpr PROPID PropertyTagSampleFormat = 0x0153;
inline constexpr PROPID PropertyTagJPEGInterFormat = 0x0201;
inline constexpr PROPID PropertyTagJPEGInterLength = 0x0202;
inline constexpr PROPID PropertyTagYCbCrSubsampling = 0x0212;
inline constexpr PROPID PropertyTagYCbCrPositioning = 0x0213;
inline constexpr PROPID PropertyTagCopyright = 0x8298;

// Sub-directories and EXIF tags.
inline constexpr PROPID PropertyTagExifIFD = 0x8769;
inline constexpr PROPID PropertyTagICCProfile = 0x8773;
inline constexpr PROPID PropertyTagGpsIFD = 0x8825;
inline constexpr PROPID PropertyTagExifVer = 0x9000;
inline constexpr PROPID PropertyTagExifDTOrig = 0x9003;
inline constexpr PROPID PropertyTagExifUserComment = 0x9286;
inline constexpr PROPID PropertyTagExifColorSpace = 0xA001;
inline constexpr PROPID PropertyTagExifPixXDim = 0xA002;
inline constexpr PROPID PropertyTagExifPixYDim = 0xA003;
inline constexpr PROPID PropertyTagExifInterop = 0xA005;
inline constexpr PROPID PropertyTagGpsVer = 0x0000;

// The library's private block.
inline constexpr PROPID PropertyTagResolutionXUnit = 0x5001;
inline constexpr PROPID PropertyTagResolutionYUnit = 0x5002;
inline constexpr PROPID PropertyTagJPEGQuality = 0x5010;
inline constexpr PROPID PropertyTagThumbnailFormat = 0x5012;
inline constexpr PROPID PropertyTagThumbnailData = 0x501B;
inline constexpr PROPID PropertyTagLuminanceTable = 0x5090;
inline constexpr PROPID PropertyTagChrominanceTable = 0x5091;
inline constexpr PROPID PropertyTagFrameDelay = 0x5100;
inline constexpr PROPID PropertyTagLoopCount = 0x5101;
inline constexpr PROPID PropertyTagGlobalPalette = 0x5102;
inline constexpr PROPID PropertyTagIndexBackground = 0x5103;
inline constexpr PROPID PropertyTagIndexTransparent = 0x5104;
inline constexpr PROPID PropertyTagPixelUnit = 0x5110;
inline constexpr PROPID PropertyTagPixelPerUnitX = 0x5111;
inline constexpr PROPID PropertyTagPixelPerUnitY = 0x5112;

}  // namespace pixavue::platform
