#pragma once
// Metafiles: Windows metafiles (plain or with a placeable header) and
// enhanced metafiles, from files, streams or metafile handles (gdi.h). A
// metafile is an image: its width, height and resolution are those of its
// bounds, and drawing it plays its records.

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

GpStatus GdipCreateMetafileFromFile(const WCHAR* file, GpMetafile** metafile);
// From the stream's position to its end, read during the call.
GpStatus GdipCreateMetafileFromStream(IStream* stream, GpMetafile** metafile);
// The metafile handle's records are copied; with deleteWmf (deleteEmf) the
// handle is deleted when the metafile image is disposed.
GpStatus GdipCreateMetafileFromWmf(HMETAFILE hWmf, BOOL deleteWmf, const WmfPlaceableFileHeader* wmfPlaceableFileHeader,
                                   GpMetafile** metafile);
GpStatus GdipCreateMetafileFromEmf(HENHMETAFILE hEmf, BOOL deleteEmf, GpMetafile** metafile);
GpStatus GdipGetMetafileHeaderFromMetafile(GpMetafile* metafile, MetafileHeader* header);

}  // namespace pixavue::platform
