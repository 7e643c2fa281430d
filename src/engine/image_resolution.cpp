// Setting an image's resolution, with the rational resolution tags that the
// encoders write to files.

#include <pixavue/engine/image_resolution.h>

#include <cmath>
#include <cstdint>

#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/property_tags.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// A denominator of 10^9 is the largest power of ten a 32-bit field holds.
constexpr int kLargestDecimalExponent = 9;

// value as numerator / 10^e with the smallest e at which value * 10^e, in
// single precision, is a whole number.
std::uint32_t DecimalRational(float value, std::uint32_t& denominator) {
  double scale = 1.0;
  for (int e = 0; e < kLargestDecimalExponent; ++e, scale *= 10.0) {
    const float scaled = static_cast<float>(static_cast<double>(value) * scale);
    if (!std::isfinite(scaled) || std::floor(scaled) == scaled) break;
  }
  denominator = static_cast<std::uint32_t>(scale);
  const double numerator = std::nearbyint(static_cast<double>(value) * scale);
  if (!(numerator > 0.0)) return 0;
  return numerator >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(numerator);
}

void WriteResolutionTag(GpImage* image, PROPID tag, float value) {
  std::uint32_t rational[2] = {0, 1};
  rational[0] = DecimalRational(value, rational[1]);
  PropertyItem item{tag, sizeof(rational), PropertyTagTypeRational, rational};
  GdipSetPropertyItem(image, &item);
}

}  // namespace

QuorvexStatus SetResolution(ImageId id, float x, float y, bool doNotMark) {
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  GpImage* image = NativeHandle(id);
  GdipImageForceValidation(image);
  WriteResolutionTag(image, PropertyTagXResolution, x);
  WriteResolutionTag(image, PropertyTagYResolution, y);
  const GpStatus status = GdipBitmapSetResolution(image, x, y);
  if (status == Ok && !doNotMark) MarkModified(id);
  return FromImagingStatus(status);
}

}  // namespace pixavue::engine
