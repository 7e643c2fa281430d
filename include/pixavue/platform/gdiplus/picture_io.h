#pragma once
// The platform's picture loader and saver: OLE picture objects (picture.h)
// from image files and back, decoded with this layer's codecs. They need
// no imaging session.
//
// Loading: BMP, JPEG and GIF (its first frame) become bitmap pictures over a
// bottom-up DIB section (1, 4 and 8 bits keep their indices and colour
// table; every other format becomes 24 bits, alpha dropped); ICO and CUR
// become icon pictures (the decoder's best image, 32 bits with alpha and a
// mask; a cursor keeps its hotspot); WMF becomes a metafile picture whose
// size is its bounds in HIMETRIC (the placeable header's box and units per
// inch, or the window extent at 96 dpi); EMF becomes an enhanced metafile
// picture. The picture owns its handle. Other formats (PNG, TIFF) are not
// pictures.
//
// Saving: a bitmap picture as a BMP file in the bitmap's own format; an
// icon picture as an ICO (or CUR) file with one 32-bit image and its mask;
// a metafile picture as a placeable WMF whose box is the picture's HIMETRIC
// size (units per inch scaled down when a side would not fit 16 bits); an
// enhanced metafile as its bytes. The file is replaced only once everything
// is written.

#include <string>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

// The run-time errors that the documented picture functions report.
inline constexpr HRESULT CTL_E_FILENOTFOUND = MakeHresult(0x800A0035u);
inline constexpr HRESULT CTL_E_PATHFILEACCESSERROR = MakeHresult(0x800A004Bu);
inline constexpr HRESULT CTL_E_INVALIDPICTURE = MakeHresult(0x800A01E1u);

// S_OK with a new picture; E_POINTER for a null `picture`;
// CTL_E_FILENOTFOUND for a missing file; CTL_E_PATHFILEACCESSERROR when it
// cannot be read; CTL_E_INVALIDPICTURE for a format that is not a picture
// or a corrupt file; E_OUTOFMEMORY above the image limits or when memory
// runs out.
HRESULT LoadPictureFile(const std::string& path, IPicture** picture);

// As LoadPictureFile, from the stream's position to its end. E_POINTER for
// a null stream; CTL_E_PATHFILEACCESSERROR when it cannot be read.
HRESULT LoadPictureStream(IStream* stream, IPicture** picture);

// S_OK; E_POINTER for a null picture; CTL_E_INVALIDPICTURE for an empty or
// uninitialised picture or a handle that is gone; CTL_E_PATHFILEACCESSERROR
// when the file cannot be written; E_OUTOFMEMORY.
HRESULT SavePictureFile(IPicture* picture, const std::string& path);

}  // namespace pixavue::platform
