#pragma once
// Loading and saving images through the COM stream interface. The image
// reads everything it needs during the call, so the caller may release the
// stream as soon as the call returns.

#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap);
GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image);
GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image);
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* clsidEncoder,
                               const EncoderParameters* encoderParams);

}  // namespace pixavue::platform
