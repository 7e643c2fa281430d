#pragma once
// JPEG files and ICC profiles made in the tests themselves: libjpeg writes
// the files (so that CMYK, progressive and hand-made markers are possible)
// and lcms2 builds the profiles.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <lcms2.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {

struct TestJpeg final {
  std::uint32_t width = 16;
  std::uint32_t height = 16;
  J_COLOR_SPACE input = JCS_RGB;  // layout of `samples`
  int components = 3;
  std::vector<std::uint8_t> samples;  // rows of width * components bytes
  J_COLOR_SPACE stored = JCS_UNKNOWN;  // JCS_UNKNOWN keeps libjpeg's default
  bool adobeMarker = false;            // only for CMYK and YCCK
  bool jfif = true;
  int densityUnit = 0;
  int xDensity = 1;
  int yDensity = 1;
  bool progressive = false;
  bool arithmetic = false;
  bool subsampled = false;  // libjpeg's 2x2 chroma; else every component at full size
  int quality = 100;
  std::vector<std::pair<int, std::vector<std::uint8_t>>> markers;  // written after the header
};

inline std::vector<std::uint8_t> WriteTestJpeg(const TestJpeg& spec) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = spec.width;
  cinfo.image_height = spec.height;
  cinfo.input_components = spec.components;
  cinfo.in_color_space = spec.input;
  jpeg_set_defaults(&cinfo);
  if (spec.stored != JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, spec.stored);
  jpeg_set_quality(&cinfo, spec.quality, TRUE);
  for (int c = 0; c < cinfo.num_components && !spec.subsampled; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  cinfo.write_Adobe_marker = spec.adobeMarker ? TRUE : FALSE;
  cinfo.write_JFIF_header = spec.jfif ? TRUE : FALSE;
  cinfo.density_unit = static_cast<UINT8>(spec.densityUnit);
  cinfo.X_density = static_cast<UINT16>(spec.xDensity);
  cinfo.Y_density = static_cast<UINT16>(spec.yDensity);
  cinfo.arith_code = spec.arithmetic ? TRUE : FALSE;
  if (spec.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  for (const auto& [marker, data] : spec.markers) {
    jpeg_write_marker(&cinfo, marker, data.data(), static_cast<unsigned int>(data.size()));
  }
  const std::size_t rowBytes = std::size_t{spec.width} * static_cast<std::size_t>(spec.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(spec.samples.data() + cinfo.next_scanline * rowBytes);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return file;
}

// Samples of a picture made of 8x8 blocks of flat colour, cycling through
// `colours` (each of `components` bytes), so that even 4:2:0 chroma keeps
// every block's colour.
inline std::vector<std::uint8_t> BlockSamples(std::uint32_t width, std::uint32_t height, int components,
                                              const std::vector<std::vector<std::uint8_t>>& colours) {
  std::vector<std::uint8_t> samples;
  const std::uint32_t blocksAcross = (width + 15) / 16;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const auto& colour = colours[((y / 16) * blocksAcross + x / 16) % colours.size()];
      samples.insert(samples.end(), colour.begin(), colour.begin() + components);
    }
  }
  return samples;
}

// Serialises an lcms2 profile and closes it.
inline std::vector<std::uint8_t> SaveProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<std::uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

// An RGB profile whose red primary is sRGB's blue and whose blue primary
// is sRGB's red, with the sRGB tone curve: red pixels show as blue.
inline std::vector<std::uint8_t> SwappedPrimariesProfile() {
  cmsCIExyY white;
  cmsWhitePointFromTemp(&white, 6504);
  const cmsCIExyYTRIPLE primaries{{0.1500, 0.0600, 1.0}, {0.3000, 0.6000, 1.0}, {0.6400, 0.3300, 1.0}};
  const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  return SaveProfile(profile);
}

// A grey profile with a linear tone curve: level 128 is sRGB 188.
inline std::vector<std::uint8_t> LinearGreyProfile() {
  cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
  cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), linear);
  cmsFreeToneCurve(linear);
  return SaveProfile(profile);
}

// A CMYK profile that ignores C, M and Y: colours are neutral greys whose
// lightness falls with K alone, so cyan ink shows as white.
inline std::vector<std::uint8_t> BlackOnlyCmykProfile() {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 2.1);  // lut16Type, 16-bit Lab as L * 0xFF00 / 100, a and b + 0x8000
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 4, 3);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, 2, 4, 3, nullptr);
  cmsStageSampleCLut16bit(
      table,
      [](const cmsUInt16Number in[], cmsUInt16Number out[], void*) -> cmsInt32Number {
        out[0] = static_cast<cmsUInt16Number>((0xFFFFu - in[3]) * 0xFF00u / 0xFFFFu);
        out[1] = 0x8000;
        out[2] = 0x8000;
        return TRUE;
      },
      nullptr, 0);
  cmsPipelineInsertStage(pipeline, cmsAT_BEGIN, table);
  cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsPipelineFree(pipeline);
  return SaveProfile(profile);
}

// APP2 "ICC_PROFILE" chunks of `profile`, split into `count` pieces.
inline std::vector<std::vector<std::uint8_t>> IccChunks(const std::vector<std::uint8_t>& profile, int count) {
  std::vector<std::vector<std::uint8_t>> chunks;
  const std::size_t piece = (profile.size() + static_cast<std::size_t>(count) - 1) / static_cast<std::size_t>(count);
  for (int i = 0; i < count; ++i) {
    std::vector<std::uint8_t> chunk{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
    chunk.push_back(static_cast<std::uint8_t>(i + 1));
    chunk.push_back(static_cast<std::uint8_t>(count));
    const std::size_t begin = piece * static_cast<std::size_t>(i);
    const std::size_t end = std::min(profile.size(), begin + piece);
    chunk.insert(chunk.end(), profile.begin() + static_cast<std::ptrdiff_t>(begin),
                 profile.begin() + static_cast<std::ptrdiff_t>(end));
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

// The channel of 0xAARRGGBB at `shift`.
inline int Channel(ARGB colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

// Writes JPEG bytes into the test's folder and loads them.
class JpegFileTest : public GdiplusTest {
 protected:
  GpImage* Load(const std::vector<std::uint8_t>& file, bool icm = false) {
    const auto path = temp_dir() / ("f" + std::to_string(++files_) + ".jpg");
    WriteFile(path, file);
    GpImage* image = nullptr;
    const GpStatus status = icm ? GdipLoadImageFromFileICM(Wide(path).c_str(), &image)
                                : GdipLoadImageFromFile(Wide(path).c_str(), &image);
    EXPECT_EQ(status, Ok);
    return image;
  }
  GpStatus LoadStatus(const std::vector<std::uint8_t>& file) {
    const auto path = temp_dir() / ("s" + std::to_string(++files_) + ".jpg");
    WriteFile(path, file);
    GpImage* image = nullptr;
    const GpStatus status = GdipLoadImageFromFile(Wide(path).c_str(), &image);
    if (image != nullptr) GdipDisposeImage(image);
    return status;
  }

 private:
  int files_ = 0;
};

}  // namespace pixavue::platform::test
