// Saving images as PNG and as TIFF files, as page files of split documents
// are stored.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_resolution.h>
#include <pixavue/engine/image_session.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "wide_path.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// The EXIF time-zone offset item, which TIFF files do not take.
constexpr PROPID kTimeZoneOffsetTag = 34858;
constexpr float kSmallestTiffResolution = 0.5f;

struct Resolution {
  float x = 0;
  float y = 0;
};

Resolution ReadResolution(ImageId id) {
  Resolution r;
  GetHorizontalResolution(id, r.x);
  GetVerticalResolution(id, r.y);
  return r;
}

// Written again so that the resolution items match the resolution saved.
void RestateResolution(ImageId id) {
  const Resolution r = ReadResolution(id);
  if (r.x != 0 && r.y != 0) SetResolution(id, r.x, r.y, true);
}

// Resolutions below 0.5 dpi are raised, keeping their ratio, by the smallest
// factor 1 + 0.1k that brings the smaller to 0.5.
void RaiseTinyResolution(ImageId id) {
  const Resolution r = ReadResolution(id);
  const double smaller = std::min(r.x, r.y);
  if (!(r.x > 0 && r.y > 0) || !(smaller < kSmallestTiffResolution)) return;
  // k is computed, then corrected by a step either way for rounding, so that
  // very small resolutions need no long walk.
  const auto reaches = [smaller](double k) { return smaller * (1.0 + 0.1 * k) >= kSmallestTiffResolution; };
  double k = std::max(0.0, std::ceil((kSmallestTiffResolution / smaller - 1.0) * 10.0));
  for (int step = 0; step < 2 && k > 0 && reaches(k - 1); ++step) k -= 1;
  for (int step = 0; step < 2 && !reaches(k); ++step) k += 1;
  const double factor = 1.0 + 0.1 * k;
  SetResolution(id, static_cast<float>(r.x * factor), static_cast<float>(r.y * factor), false);
}

void RemoveAllItems(GpImage* image, PROPID tag) {
  while (GdipRemovePropertyItem(image, tag) == Ok) {
  }
}

// Up to two LONG parameters, laid out as an EncoderParameters block.
struct TiffParameters {
  UINT32 Count = 0;
  EncoderParameter Parameter[2]{};
  std::uint32_t values[2]{};

  TiffParameters() = default;
  TiffParameters(const TiffParameters&) = delete;  // the parameters point into the block
  TiffParameters& operator=(const TiffParameters&) = delete;

  void Add(const GUID& guid, std::int32_t value) {
    values[Count] = static_cast<std::uint32_t>(value);
    Parameter[Count] = EncoderParameter{guid, 1, EncoderParameterValueTypeLong, &values[Count]};
    ++Count;
  }
  const EncoderParameters* Get() const {
    return Count == 0 ? nullptr : reinterpret_cast<const EncoderParameters*>(this);
  }
};
static_assert(offsetof(TiffParameters, Parameter) == offsetof(EncoderParameters, Parameter));

QuorvexStatus SaveWith(ImageId id, const std::string& path, const CLSID& encoder, const EncoderParameters* params) {
  const std::u16string name = WidePath(path);
  return FromImagingStatus(GdipSaveImageToFile(NativeHandle(id), name.c_str(), &encoder, params));
}

bool IsFaxCompression(std::int32_t compression) {
  return compression == EncoderValueCompressionCCITT3 || compression == EncoderValueCompressionCCITT4 ||
         compression == EncoderValueCompressionRle;
}

}  // namespace

QuorvexStatus SaveAsPng(ImageId id, const std::string& path) {
  const CLSID* encoder = EncoderFor("*.png");
  if (encoder == nullptr) return QuorvexStatus::UnknownImageFormat;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  RestateResolution(id);
  return SaveWith(id, path, *encoder, nullptr);
}

QuorvexStatus SaveAsTiff(ImageId id, const std::string& path, std::int32_t compression, std::int32_t depth) {
  const CLSID* encoder = EncoderFor("*.tif");
  if (encoder == nullptr) return QuorvexStatus::UnknownImageFormat;
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  RaiseTinyResolution(id);
  RemoveAllItems(NativeHandle(id), kTimeZoneOffsetTag);
  RestateResolution(id);

  if (depth == 16) depth = 24;
  if (GdiplusMajorVersion() < 6 && depth >= 1 && depth <= 23) depth = 0;
  PixelFormat format = PixelFormatUndefined;
  GetPixelFormat(id, format);
  // The fax compressions take one bit per pixel only.
  if (IsFaxCompression(compression) && (depth != 0 ? depth : BitsPerPixel(format)) > 1) {
    compression = EncoderValueCompressionLZW;
  }
  TiffParameters params;
  if (compression != 0) params.Add(EncoderCompression, compression);
  if (depth != 0) params.Add(EncoderColorDepth, depth);
  return SaveWith(id, path, *encoder, params.Get());
}

}  // namespace pixavue::engine
