// Loading images from COM streams and saving them to streams. Loading reads
// the rest of the stream into memory and decodes it as a file would be, so
// the stream is not needed after the call.

#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "image.h"
#include "session.h"
#include "stream_bytes.h"

namespace pixavue::platform {
namespace {

GpStatus LoadStream(IStream* stream, bool useIcm, bool bitmapOnly, GpImage** image) {
  if (image == nullptr) return InvalidParameter;
  *image = nullptr;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (stream == nullptr) return InvalidParameter;
  gdiplus::EncodedBytes bytes;
  const GpStatus status = gdiplus::ReadRestOfStream(*stream, bytes);
  if (status != Ok) return status;
  return gdiplus::LoadImageFromBytes(bytes, useIcm, bitmapOnly, image);
}

}  // namespace

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap) {
  return LoadStream(stream, false, true, bitmap);
}

GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap) {
  return LoadStream(stream, true, true, bitmap);
}

GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image) { return LoadStream(stream, false, false, image); }

GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image) {
  return LoadStream(stream, true, false, image);
}

GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* clsidEncoder,
                               const EncoderParameters* encoderParams) {
  GpStatus status = clsidEncoder == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  if (stream == nullptr) return InvalidParameter;
  std::vector<std::uint8_t> bytes;
  status = gdiplus::EncodeImage(*image, *clsidEncoder, encoderParams, bytes);
  if (status != Ok) return status;
  return gdiplus::WriteToStream(*stream, bytes);
}

}  // namespace pixavue::platform
