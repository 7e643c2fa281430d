#pragma once
// ICC profiles built with lcms2 for the colour-management tests: each makes
// a colour change that a test can see in the decoded pixels.

#include <cstdint>
#include <vector>

#include <lcms2.h>

namespace pixavue::platform::test {

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

// An RGB profile with sRGB primaries and a linear tone curve: level 64 is
// about sRGB 137.
inline std::vector<std::uint8_t> LinearRgbProfile() {
  cmsCIExyY white;
  cmsWhitePointFromTemp(&white, 6504);
  const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1}, {0.30, 0.60, 1}, {0.15, 0.06, 1}};
  cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
  cmsToneCurve* curves[3] = {linear, linear, linear};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(linear);
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

}  // namespace pixavue::platform::test
