#pragma once
// The description GdipGetMetafileHeaderFromMetafile gives of a metafile
// image: its type (WMF, placeable WMF, EMF, EMF+ only or dual), size,
// version, resolution, bounds in device units and the file's own header.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "image.h"

namespace pixavue::platform::gdiplus {

// InvalidParameter when `image` is not a metafile with its bytes.
GpStatus DescribeMetafile(const GpImage& image, MetafileHeader& out);

}  // namespace pixavue::platform::gdiplus
