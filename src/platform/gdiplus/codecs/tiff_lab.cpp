#include "tiff_lab.h"

#include <lcms2.h>
#include <tiff.h>

#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

// ITU-T T.42 default ranges of L*, a* and b*.
constexpr double kItuRange[3][2] = {
    {0.0, 100.0}, {-21760.0 / 255.0, 21590.0 / 255.0}, {-19200.0 / 255.0, 31800.0 / 255.0}};

void IgnoreLcmsError(cmsContext, cmsUInt32Number, const char*) {}

std::uint32_t LoadUnsigned(const std::uint8_t* at, bool wide) {
  if (!wide) return *at;
  std::uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::int32_t LoadSigned(const std::uint8_t* at, bool wide) {
  if (!wide) return static_cast<std::int8_t>(*at);
  std::int16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

// Declared so that the lcms2 objects (our lcms2 context, then the
// transform made in it) are released in the right order.
struct TiffLabToSrgb::State final {
  ~State() {
    if (transform != nullptr) cmsDeleteTransform(transform);
    if (context != nullptr) cmsDeleteContext(context);
  }
  cmsContext context = nullptr;
  cmsHTRANSFORM transform = nullptr;
};

LabValue DecodeTiffLab(const TiffLabLayout& layout, const std::uint8_t* pixel) {
  const bool wide = layout.bitsPerSample == 16;
  const double full = wide ? 65535.0 : 255.0;
  const std::size_t step = wide ? 2 : 1;
  LabValue lab;
  const std::uint32_t storedL = LoadUnsigned(pixel, wide);
  if (layout.photometric == PHOTOMETRIC_ITULAB) {
    lab.l = kItuRange[0][0] + storedL * (kItuRange[0][1] - kItuRange[0][0]) / full;
  } else {
    lab.l = storedL * 100.0 / full;
  }
  if (layout.samplesPerPixel < 3) return lab;
  const double unit = wide ? 256.0 : 1.0;  // stored steps per a* or b* unit
  for (int c = 1; c <= 2; ++c) {
    const std::uint8_t* at = pixel + c * step;
    double value = 0.0;
    if (layout.photometric == PHOTOMETRIC_CIELAB) {
      value = LoadSigned(at, wide) / unit;
    } else if (layout.photometric == PHOTOMETRIC_ICCLAB) {
      value = LoadUnsigned(at, wide) / unit - 128.0;
    } else {
      value = kItuRange[c][0] + LoadUnsigned(at, wide) * (kItuRange[c][1] - kItuRange[c][0]) / full;
    }
    (c == 1 ? lab.a : lab.b) = value;
  }
  return lab;
}

std::unique_ptr<TiffLabToSrgb> TiffLabToSrgb::Create(const TiffLabLayout& layout) {
  auto state = std::make_unique<State>();
  state->context = cmsCreateContext(nullptr, nullptr);
  if (state->context == nullptr) return nullptr;
  cmsSetLogErrorHandlerTHR(state->context, IgnoreLcmsError);
  cmsHPROFILE lab = cmsCreateLab4ProfileTHR(state->context, cmsD50_xyY());
  cmsHPROFILE srgb = cmsCreate_sRGBProfileTHR(state->context);
  if (lab != nullptr && srgb != nullptr) {
    const cmsUInt32Number output = layout.bitsPerSample == 16 ? TYPE_BGR_16 : TYPE_BGR_8;
    state->transform = cmsCreateTransformTHR(state->context, lab, TYPE_Lab_DBL, srgb, output,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
  }
  if (lab != nullptr) cmsCloseProfile(lab);
  if (srgb != nullptr) cmsCloseProfile(srgb);
  if (state->transform == nullptr) return nullptr;
  return std::unique_ptr<TiffLabToSrgb>(new TiffLabToSrgb(layout, std::move(state)));
}

TiffLabToSrgb::TiffLabToSrgb(TiffLabLayout layout, std::unique_ptr<State> state)
    : layout_(layout), state_(std::move(state)) {}

TiffLabToSrgb::~TiffLabToSrgb() = default;

void TiffLabToSrgb::Convert(const std::uint8_t* in, std::uint32_t width, LabValue* line, std::uint8_t* out) const {
  const std::size_t pixelBytes = std::size_t{layout_.samplesPerPixel} * (layout_.bitsPerSample / 8);
  for (std::uint32_t x = 0; x < width; ++x, in += pixelBytes) line[x] = DecodeTiffLab(layout_, in);
  static_assert(sizeof(LabValue) == sizeof(cmsCIELab), "LabValue is laid out as lcms2's TYPE_Lab_DBL");
  cmsDoTransform(state_->transform, line, out, width);
}

}  // namespace pixavue::platform::gdiplus
