// Metafiles: the header gives the picture's bounds and resolution (see
// metafile_headers.h); the records are kept for playback by the drawing
// layer.

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "../byte_reader.h"
#include "../image_limits.h"
#include "metafile_headers.h"

namespace pixavue::platform::gdiplus {

GpStatus CheckMetafileBounds(const GpRect& bounds) {
  if (bounds.Width <= 0 || bounds.Height <= 0) return InvalidParameter;
  if (bounds.Width > static_cast<INT>(kMaxImageSide) || bounds.Height > static_cast<INT>(kMaxImageSide)) {
    return OutOfMemory;
  }
  return Ok;
}

GpStatus DecodeMetafile(const EncodedBytes& data, const DecodeOptions&, DecodedImage& out) {
  if (!data) return InvalidParameter;
  const auto firstRecord = ByteReader(*data).U32At(0);
  if (!firstRecord) return InvalidParameter;
  // An enhanced metafile starts with its header record (type 1); a WMF
  // with the placeable key or a standard header, whose first word is 1 or 2
  // followed by the header size 9.
  const bool enhanced = *firstRecord == 1;
  MetafileInfo info;
  GpStatus status = enhanced ? ReadEmfHeader(*data, info) : ReadWmfHeader(*data, info);
  if (status != Ok) return status;
  out.isMetafile = true;
  out.rawFormat = enhanced ? ImageFormatEMF : ImageFormatWMF;
  out.metafile = info;
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
