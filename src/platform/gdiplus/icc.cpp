// Colour management through lcms2. Every call works in a private lcms2
// context whose error log is silent, so hostile profiles neither print nor
// touch the process-wide handler; a profile lcms2 refuses leaves the pixels
// as they are.

#include "icc.h"

#include <lcms2.h>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace pixavue::platform::gdiplus {
namespace {

void IgnoreLcmsError(cmsContext, cmsUInt32Number, const char*) {}

class LcmsContext final {
 public:
  LcmsContext() : context_(cmsCreateContext(nullptr, nullptr)) {
    if (context_ != nullptr) cmsSetLogErrorHandlerTHR(context_, IgnoreLcmsError);
  }
  ~LcmsContext() {
    if (context_ != nullptr) cmsDeleteContext(context_);
  }
  LcmsContext(const LcmsContext&) = delete;
  LcmsContext& operator=(const LcmsContext&) = delete;

  cmsContext get() const noexcept { return context_; }

 private:
  cmsContext context_;
};

struct ProfileCloser {
  void operator()(void* profile) const noexcept { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
  void operator()(void* transform) const noexcept { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

// A transform from `profile` (which must describe `space`) to sRGB, or
// null when the profile cannot be used.
Transform MakeTransform(const LcmsContext& context, std::span<const std::uint8_t> profile,
                        cmsColorSpaceSignature space, cmsUInt32Number inputFormat, cmsUInt32Number outputFormat) {
  if (context.get() == nullptr || profile.empty() || profile.size() > std::numeric_limits<cmsUInt32Number>::max()) {
    return nullptr;
  }
  Profile input(cmsOpenProfileFromMemTHR(context.get(), profile.data(), static_cast<cmsUInt32Number>(profile.size())));
  if (!input || cmsGetColorSpace(input.get()) != space) return nullptr;
  Profile srgb(cmsCreate_sRGBProfileTHR(context.get()));
  if (!srgb) return nullptr;
  const cmsUInt32Number flags = T_EXTRA(inputFormat) != 0 ? cmsFLAGS_COPY_ALPHA : 0;
  return Transform(cmsCreateTransformTHR(context.get(), input.get(), inputFormat, srgb.get(), outputFormat,
                                         INTENT_PERCEPTUAL, flags));
}

// The lcms2 layout of a direct pixel format, or nullopt for formats colour
// management leaves alone.
std::optional<cmsUInt32Number> LcmsFormatFor(PixelFormat format) {
  switch (format) {
    case PixelFormat24bppRGB:
      return TYPE_BGR_8;
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
      return TYPE_BGRA_8;
    case PixelFormat32bppPARGB:
      return TYPE_BGRA_8_PREMUL;
    case PixelFormat48bppRGB:
      return TYPE_BGR_16;
    case PixelFormat64bppARGB:
    case PixelFormat64bppPARGB:  // un-premultiplied around the transform
      return TYPE_BGRA_16;
    default:
      return std::nullopt;
  }
}

bool IsGrey(ARGB color) {
  const std::uint32_t r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
  return r == g && g == b;
}

// Palette entries are 0xAARRGGBB in machine order: B, G, R, A bytes.
bool TransformRgbPalette(const LcmsContext& context, Frame& frame, std::span<const std::uint8_t> profile) {
  Transform transform = MakeTransform(context, profile, cmsSigRgbData, TYPE_BGRA_8, TYPE_BGRA_8);
  if (!transform) return false;
  cmsDoTransform(transform.get(), frame.palette.data(), frame.palette.data(),
                 static_cast<cmsUInt32Number>(frame.palette.size()));
  return true;
}

// A grey profile describes grey data only: each grey entry's level goes
// through it to an sRGB colour, keeping the entry's alpha.
void TransformGreyPalette(const LcmsContext& context, Frame& frame, std::span<const std::uint8_t> profile) {
  if (!std::all_of(frame.palette.begin(), frame.palette.end(), IsGrey)) return;
  Transform transform = MakeTransform(context, profile, cmsSigGrayData, TYPE_GRAY_8, TYPE_BGR_8);
  if (!transform) return;
  for (ARGB& entry : frame.palette) {
    const std::uint8_t level = static_cast<std::uint8_t>(entry & 0xFF);
    std::uint8_t bgr[3] = {};
    cmsDoTransform(transform.get(), &level, bgr, 1);
    entry = (entry & 0xFF000000u) | (ARGB{bgr[2]} << 16) | (ARGB{bgr[1]} << 8) | bgr[0];
  }
}

void TransformPalette(const LcmsContext& context, Frame& frame, std::span<const std::uint8_t> profile) {
  if (frame.palette.empty()) return;
  if (!TransformRgbPalette(context, frame, profile)) TransformGreyPalette(context, frame, profile);
  if (!std::all_of(frame.palette.begin(), frame.palette.end(), IsGrey)) frame.paletteFlags &= ~PaletteFlagsGrayScale;
}

// lcms2's premultiplied layouts are exact for 8-bit channels only, so
// 64-bit premultiplied rows are un-premultiplied into a copy, converted and
// premultiplied back.
void TransformPremultiplied64(void* transform, const PixelBuffer& pixels) {
  std::vector<std::uint16_t> line(std::size_t{pixels.width()} * 4);
  const std::size_t rowBytes = line.size() * sizeof(std::uint16_t);
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    std::memcpy(line.data(), pixels.Row(y), rowBytes);
    for (std::size_t i = 0; i < line.size(); i += 4) {
      const std::uint32_t alpha = line[i + 3];
      for (std::size_t c = i; c < i + 3 && alpha != 0; ++c) {
        line[c] = static_cast<std::uint16_t>(std::min<std::uint32_t>(0xFFFF, (line[c] * 0xFFFFu + alpha / 2) / alpha));
      }
    }
    cmsDoTransform(transform, line.data(), line.data(), pixels.width());
    for (std::size_t i = 0; i < line.size(); i += 4) {
      const std::uint32_t alpha = line[i + 3];
      for (std::size_t c = i; c < i + 3; ++c) line[c] = static_cast<std::uint16_t>((line[c] * alpha + 0x7FFF) / 0xFFFF);
    }
    std::memcpy(pixels.Row(y), line.data(), rowBytes);
  }
}

void TransformPixels(const LcmsContext& context, Frame& frame, std::span<const std::uint8_t> profile) {
  const std::optional<cmsUInt32Number> format = LcmsFormatFor(frame.pixels.format());
  if (!format) return;
  Transform transform = MakeTransform(context, profile, cmsSigRgbData, *format, *format);
  if (!transform) return;
  const PixelBuffer& pixels = frame.pixels;
  if (pixels.format() == PixelFormat64bppPARGB) {
    TransformPremultiplied64(transform.get(), pixels);
    return;
  }
  for (std::uint32_t y = 0; y < pixels.height(); ++y) {
    cmsDoTransform(transform.get(), pixels.Row(y), pixels.Row(y), pixels.width());
  }
}

}  // namespace

GpStatus ApplyIccProfile(Frame& frame, std::span<const std::uint8_t> profile) {
  if (profile.empty() || frame.pixels.empty()) return Ok;
  const LcmsContext context;
  if (IsIndexedPixelFormat(frame.pixels.format())) {
    TransformPalette(context, frame, profile);
  } else {
    TransformPixels(context, frame, profile);
  }
  return Ok;
}

struct CmykToSrgb::State final {
  LcmsContext context;  // declared first: outlives the transform
  Transform transform;
};

CmykToSrgb::CmykToSrgb(std::unique_ptr<State> state) : state_(std::move(state)) {}
CmykToSrgb::~CmykToSrgb() = default;

std::unique_ptr<CmykToSrgb> CmykToSrgb::Create(std::span<const std::uint8_t> profile, bool inverted) {
  auto state = std::make_unique<State>();
  const cmsUInt32Number input = inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8;
  state->transform = MakeTransform(state->context, profile, cmsSigCmykData, input, TYPE_BGR_8);
  if (!state->transform) return nullptr;
  return std::unique_ptr<CmykToSrgb>(new CmykToSrgb(std::move(state)));
}

void CmykToSrgb::Convert(const std::uint8_t* cmyk, std::uint8_t* bgr, std::uint32_t count) const {
  cmsDoTransform(state_->transform.get(), cmyk, bgr, count);
}

}  // namespace pixavue::platform::gdiplus
