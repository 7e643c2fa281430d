#include "tiff_page_layout.h"

#include <algorithm>

#include "../image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

// More samples than any colour model needs plus a few extra channels.
constexpr std::uint16_t kMaxSamplesPerPixel = 16;

constexpr ARGB Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

std::vector<ARGB> GreyRamp(std::uint32_t levels, bool minIsWhite) {
  std::vector<ARGB> ramp(levels);
  for (std::uint32_t i = 0; i < levels; ++i) {
    std::uint32_t value = i * 255 / (levels - 1);
    if (minIsWhite) value = 255 - value;
    ramp[i] = Opaque(value, value, value);
  }
  return ramp;
}

bool IsGrey(const std::vector<ARGB>& palette) {
  return std::all_of(palette.begin(), palette.end(), [](ARGB c) {
    return (c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == ((c >> 16) & 0xFF);
  });
}

// TIFF colour maps hold 16-bit values; some old writers put 8-bit values in
// them, which shows as a map without any value above 255.
std::vector<ARGB> ColourMapPalette(const std::uint16_t* r, const std::uint16_t* g, const std::uint16_t* b,
                                   std::uint32_t entries) {
  bool eightBit = true;
  for (std::uint32_t i = 0; i < entries && eightBit; ++i) eightBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
  auto narrow = [eightBit](std::uint16_t v) -> std::uint32_t {
    return eightBit ? v : (std::uint32_t{v} * 255 + 32767) / 65535;
  };
  std::vector<ARGB> palette(entries);
  for (std::uint32_t i = 0; i < entries; ++i) palette[i] = Opaque(narrow(r[i]), narrow(g[i]), narrow(b[i]));
  return palette;
}

// 1-, 2-, 4- and 8-bit indices: the stored depth, 2-bit widened to 4-bit.
void PlanIndexed(std::uint16_t bits, std::vector<ARGB> palette, TiffPixelPlan& plan) {
  plan.format = bits == 1 ? PixelFormat1bppIndexed : bits == 8 ? PixelFormat8bppIndexed : PixelFormat4bppIndexed;
  plan.row.kind = bits == 2 ? TiffRowKind::Expand2To4 : TiffRowKind::CopyBits;
  plan.row.bitsPerPixel = bits;
  plan.paletteFlags = IsGrey(palette) ? std::uint32_t{PaletteFlagsGrayScale} : 0u;
  plan.palette = std::move(palette);
}

bool PlanGrey(const TiffPageInfo& info, TiffPixelPlan& plan) {
  const std::uint16_t bits = info.bitsPerSample;
  if (info.samplesPerPixel != 1 || (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)) return false;
  const bool minIsWhite = info.photometric == PHOTOMETRIC_MINISWHITE;
  plan.imageFlags = ImageFlagsColorSpaceGRAY;
  if (bits == 16) {
    plan.format = PixelFormat48bppRGB;
    plan.row.kind = TiffRowKind::Grey16;
    plan.row.invertGrey = minIsWhite;
    return true;
  }
  PlanIndexed(bits, GreyRamp(1u << bits, minIsWhite), plan);
  return true;
}

bool PlanPalette(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan) {
  const std::uint16_t bits = info.bitsPerSample;
  if (info.samplesPerPixel != 1 || (bits != 1 && bits != 2 && bits != 4 && bits != 8)) return false;
  std::uint16_t* r = nullptr;
  std::uint16_t* g = nullptr;
  std::uint16_t* b = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || r == nullptr || g == nullptr || b == nullptr) return false;
  plan.imageFlags = ImageFlagsColorSpaceRGB;
  PlanIndexed(bits, ColourMapPalette(r, g, b, 1u << bits), plan);
  return true;
}

bool PlanRgb(const TiffPageInfo& info, TiffPixelPlan& plan) {
  if (info.samplesPerPixel < 3 || (info.bitsPerSample != 8 && info.bitsPerSample != 16)) return false;
  const bool alpha = info.hasAlpha && info.samplesPerPixel >= 4;
  const bool wide = info.bitsPerSample == 16;
  plan.imageFlags = ImageFlagsColorSpaceRGB | (alpha ? std::uint32_t{ImageFlagsHasAlpha} : 0u);
  if (!alpha) {
    plan.format = wide ? PixelFormat48bppRGB : PixelFormat24bppRGB;
    plan.row.kind = wide ? TiffRowKind::Rgb16 : TiffRowKind::Rgb8;
  } else if (wide) {
    plan.format = info.associatedAlpha ? PixelFormat64bppPARGB : PixelFormat64bppARGB;
    plan.row.kind = TiffRowKind::Rgba16;
  } else {
    plan.format = info.associatedAlpha ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
    plan.row.kind = TiffRowKind::Rgba8;
  }
  return true;
}

bool PlanCmyk(const TiffPageInfo& info, TiffPixelPlan& plan) {
  const bool wide = info.bitsPerSample == 16;
  if (info.inkSet != INKSET_CMYK || info.samplesPerPixel < 4 || (info.bitsPerSample != 8 && !wide)) return false;
  plan.format = wide ? PixelFormat48bppRGB : PixelFormat24bppRGB;
  plan.row.kind = wide ? TiffRowKind::Cmyk16 : TiffRowKind::Cmyk8;
  plan.imageFlags = ImageFlagsColorSpaceCMYK;
  return true;
}

// Whether the strip and tile reader can hand rows of this page over.
bool RowsReadable(const TiffPageInfo& info) {
  if (info.compression == COMPRESSION_OJPEG) return false;
  const bool separate = info.planarConfig == PLANARCONFIG_SEPARATE && info.samplesPerPixel > 1;
  if (separate && info.bitsPerSample % 8 != 0) return false;
  const std::uint32_t samplesPerChunk = separate ? 1 : info.samplesPerPixel;
  return !info.tiled || (std::uint64_t{info.tileWidth} * info.bitsPerSample * samplesPerChunk) % 8 == 0;
}

bool PlanDirect(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan) {
  if (!RowsReadable(info)) return false;
  switch (info.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
      return PlanGrey(info, plan);
    case PHOTOMETRIC_PALETTE:
      return PlanPalette(tif, info, plan);
    case PHOTOMETRIC_RGB:
      return PlanRgb(info, plan);
    case PHOTOMETRIC_SEPARATED:
      return PlanCmyk(info, plan);
    default:
      return false;
  }
}

bool IsGreyPhotometric(std::uint16_t photometric) {
  return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

bool IsLabPhotometric(std::uint16_t photometric) {
  return photometric == PHOTOMETRIC_CIELAB || photometric == PHOTOMETRIC_ICCLAB || photometric == PHOTOMETRIC_ITULAB;
}

// Floating-point grey or RGB becomes 16 bits a channel, as 16-bit integer
// grey and RGB do.
bool PlanFloat(const TiffPageInfo& info, TiffPixelPlan& plan) {
  const std::uint16_t bits = info.bitsPerSample;
  if ((bits != 16 && bits != 32 && bits != 64) || !RowsReadable(info)) return false;
  const bool grey = IsGreyPhotometric(info.photometric);
  if (!grey && (info.photometric != PHOTOMETRIC_RGB || info.samplesPerPixel < 3)) return false;
  plan.coding = TiffSampleCoding::Float;
  plan.format = PixelFormat48bppRGB;
  plan.imageFlags = grey ? ImageFlagsColorSpaceGRAY : ImageFlagsColorSpaceRGB;
  return true;
}

// L*a*b* (or L* alone) of 8 or 16 bits becomes sRGB of the same depth.
bool PlanLab(const TiffPageInfo& info, TiffPixelPlan& plan) {
  const std::uint16_t bits = info.bitsPerSample;
  if ((bits != 8 && bits != 16) || !RowsReadable(info)) return false;
  if (info.samplesPerPixel != 1 && info.samplesPerPixel < 3) return false;
  plan.coding = TiffSampleCoding::Lab;
  plan.format = bits == 16 ? PixelFormat48bppRGB : PixelFormat24bppRGB;
  plan.imageFlags = ImageFlagsColorSpaceRGB;
  return true;
}

// Signed grey and RGB samples of 8 or 16 bits; other signed pages are
// read as unsigned, as libtiff reads them.
bool PlanSigned(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan) {
  const bool greyOrRgb = IsGreyPhotometric(info.photometric) || info.photometric == PHOTOMETRIC_RGB;
  if (!greyOrRgb || (info.bitsPerSample != 8 && info.bitsPerSample != 16)) return false;
  if (!PlanDirect(tif, info, plan)) return false;
  plan.coding = TiffSampleCoding::SignedFlip;
  return true;
}

// JPEG data of 2 to 16 bits comes from the layer's own decoder as 16-bit
// samples, and is then read as 16-bit grey, RGB and CMYK pages are.
bool PlanWideJpeg(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan) {
  if (info.bitsPerSample < 2 || info.bitsPerSample > 16 || info.sampleFormat != SAMPLEFORMAT_UINT) return false;
  const bool separate = info.planarConfig == PLANARCONFIG_SEPARATE && info.samplesPerPixel > 1;
  // Separate YCbCr planes would each be a JPEG stream of their own size.
  if (separate && info.ycbcrJpeg) return false;
  TiffPageInfo wide = info;
  wide.bitsPerSample = 16;
  if (!PlanDirect(tif, wide, plan)) return false;
  plan.coding = TiffSampleCoding::WideJpeg;
  return true;
}

std::uint32_t FallbackColourSpace(std::uint16_t photometric) {
  switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
      return ImageFlagsColorSpaceGRAY;
    case PHOTOMETRIC_SEPARATED:
      return ImageFlagsColorSpaceCMYK;
    case PHOTOMETRIC_YCBCR:
      return ImageFlagsColorSpaceYCBCR;
    default:
      return ImageFlagsColorSpaceRGB;
  }
}

}  // namespace

GpStatus ReadTiffPageInfo(TIFF* tif, TiffPageInfo& info) {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &info.width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &info.height)) {
    return InvalidParameter;
  }
  const GpStatus status = CheckImageSize(info.width, info.height);
  if (status != Ok) return status;
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &info.photometric)) return InvalidParameter;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &info.bitsPerSample);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &info.samplesPerPixel);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &info.planarConfig);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &info.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &info.sampleFormat);
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &info.inkSet);
  if (info.bitsPerSample == 0 || info.samplesPerPixel == 0) return InvalidParameter;
  std::uint16_t extraCount = 0;
  std::uint16_t* extraKinds = nullptr;
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraCount > 0 && extraKinds != nullptr) {
    info.hasAlpha = true;
    info.associatedAlpha = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
  }
  info.tiled = TIFFIsTiled(tif) != 0;
  if (info.tiled) {
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &info.tileWidth) ||
        !TIFFGetField(tif, TIFFTAG_TILELENGTH, &info.tileLength) || info.tileWidth == 0 || info.tileLength == 0) {
      return InvalidParameter;
    }
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &info.rowsPerStrip);
    if (info.rowsPerStrip == 0) return InvalidParameter;
  }
  if (info.compression == COMPRESSION_JPEG && info.photometric == PHOTOMETRIC_YCBCR &&
      TIFFIsCODECConfigured(COMPRESSION_JPEG)) {
    // libjpeg converts to RGB and undoes the chroma subsampling.
    if (!TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB)) return InvalidParameter;
    info.photometric = PHOTOMETRIC_RGB;
    info.ycbcrJpeg = true;
  }
  return Ok;
}

GpStatus PlanTiffPixels(TIFF* tif, const TiffPageInfo& info, TiffPixelPlan& plan) {
  if (!TIFFIsCODECConfigured(info.compression)) return UnknownImageFormat;
  if (info.samplesPerPixel > kMaxSamplesPerPixel) return UnknownImageFormat;
  if (info.sampleFormat == SAMPLEFORMAT_COMPLEXINT || info.sampleFormat == SAMPLEFORMAT_COMPLEXIEEEFP) {
    return UnknownImageFormat;
  }
  plan.row.samplesPerPixel = info.samplesPerPixel;
  // libjpeg-turbo as built here decodes 8-bit JPEG only; libtiff would
  // accept the page and fail on its first strip.
  if (info.compression == COMPRESSION_JPEG && info.bitsPerSample != 8) {
    return PlanWideJpeg(tif, info, plan) ? Ok : UnknownImageFormat;
  }
  if (info.sampleFormat == SAMPLEFORMAT_IEEEFP) return PlanFloat(info, plan) ? Ok : UnknownImageFormat;
  if (IsLabPhotometric(info.photometric) && PlanLab(info, plan)) return Ok;
  if (info.sampleFormat == SAMPLEFORMAT_INT && PlanSigned(tif, info, plan)) return Ok;
  plan = TiffPixelPlan{};
  plan.row.samplesPerPixel = info.samplesPerPixel;
  if (PlanDirect(tif, info, plan)) return Ok;
  plan = TiffPixelPlan{};
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif, message)) return UnknownImageFormat;
  // libtiff's RGBA raster is premultiplied whenever the page has alpha.
  plan.rgbaFallback = true;
  plan.format = info.hasAlpha ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
  plan.imageFlags = FallbackColourSpace(info.photometric) | (info.hasAlpha ? std::uint32_t{ImageFlagsHasAlpha} : 0u);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
