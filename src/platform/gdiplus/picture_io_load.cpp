// The picture loader: an image file decoded with this layer's codecs and
// handed out as an OLE picture owning a new handle.

#include <pixavue/platform/gdiplus/picture_io.h>

#include <cmath>
#include <new>
#include <span>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "byte_reader.h"
#include "codec_registry.h"
#include "file_name.h"
#include "load_budget.h"
#include "picture_io_handles.h"
#include "picture_io_icon_file.h"
#include "stream_bytes.h"

namespace pixavue::platform {
namespace {

using gdiplus::DecodedImage;
using gdiplus::EncodedBytes;

constexpr std::size_t kPlaceableHeaderBytes = 22;
// The METAHEADER, and where in it the file's size in 16-bit words is.
constexpr std::size_t kMetaHeaderBytes = 18;
constexpr std::size_t kMetaSizeField = 6;
constexpr double kHimetricPerInch = 2540.0;

HRESULT ResultOfRead(GpStatus status) {
  switch (status) {
    case Ok:
      return S_OK;
    case FileNotFound:
      return CTL_E_FILENOTFOUND;
    case OutOfMemory:
      return E_OUTOFMEMORY;
    default:
      return CTL_E_PATHFILEACCESSERROR;
  }
}

HRESULT ResultOfDecode(GpStatus status) {
  if (status == Ok) return S_OK;
  return status == OutOfMemory ? E_OUTOFMEMORY : CTL_E_INVALIDPICTURE;
}

// The formats that are pictures; PNG and TIFF are not.
bool IsPictureDecoder(gdiplus::DecodeFunction decode) {
  for (gdiplus::DecodeFunction picture : {gdiplus::DecodeBmp, gdiplus::DecodeJpeg, gdiplus::DecodeGif,
                                          gdiplus::DecodeIcon, gdiplus::DecodeMetafile}) {
    if (decode == picture) return true;
  }
  return false;
}

LONG Himetric(INT units, float unitsPerInch) {
  return static_cast<LONG>(std::lround(units * kHimetricPerInch / unitsPerInch));
}

// A handle for the metafile from its METAHEADER on. Some writers count the
// placeable header in the METAHEADER's size, which then claims more than
// follows it; the decoder plays the records up to the end record whatever
// the size says, and so does the handle: the size is cut to what is there.
HMETAFILE MetafileHandle(const std::vector<std::uint8_t>& file, bool placeable) {
  const std::size_t skip = placeable ? kPlaceableHeaderBytes : 0;
  if (file.size() < skip + kMetaHeaderBytes) return HMETAFILE{};
  const std::span<const std::uint8_t> metafile = std::span(file).subspan(skip);
  const auto declaredWords = gdiplus::ByteReader(metafile).U32At(kMetaSizeField);
  const std::size_t words = metafile.size() / 2;
  if (!declaredWords || *declaredWords <= words) {
    return SetMetaFileBitsEx(static_cast<UINT>(metafile.size()), metafile.data());
  }
  std::vector<std::uint8_t> corrected;
  try {
    corrected.assign(metafile.begin(), metafile.end());
  } catch (const std::bad_alloc&) {
    return HMETAFILE{};  // no handle: out of memory
  }
  const auto size = static_cast<std::uint32_t>(words);
  for (std::size_t i = 0; i < 4; ++i) corrected[kMetaSizeField + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return SetMetaFileBitsEx(static_cast<UINT>(corrected.size()), corrected.data());
}

// A new handle for the decoded image, with its description. The handle is
// 0 when it could not be made.
PICTDESC Describe(const EncodedBytes& bytes, const DecodedImage& decoded) {
  PICTDESC description;
  if (decoded.rawFormat == ImageFormatIcon) {
    const std::optional<gdiplus::IconKind> kind = gdiplus::ReadIconKind(*bytes);
    description.picType = PICTYPE_ICON;
    if (kind) {
      description.icon.hicon = gdiplus::IconFromFrame(decoded.frame, kind->isIcon, kind->hotspotX, kind->hotspotY);
    }
  } else if (decoded.rawFormat == ImageFormatEMF) {
    description.picType = PICTYPE_ENHMETAFILE;
    description.emf.hemf = SetEnhMetaFileBits(static_cast<UINT>(bytes->size()), bytes->data());
  } else if (decoded.rawFormat == ImageFormatWMF) {
    const gdiplus::MetafileInfo& info = decoded.metafile;
    description.picType = PICTYPE_METAFILE;
    description.wmf.hmeta = MetafileHandle(*bytes, info.placeable);
    description.wmf.xExt = Himetric(info.boundsPixels.Width, info.dpiX);
    description.wmf.yExt = Himetric(info.boundsPixels.Height, info.dpiY);
  } else {
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = gdiplus::DibSectionFromFrame(decoded.frame);
  }
  return description;
}

OLE_HANDLE HandleOf(const PICTDESC& description) {
  switch (static_cast<SHORT>(description.picType)) {
    case PICTYPE_ICON:
      return HandleBits(description.icon.hicon);
    case PICTYPE_METAFILE:
      return HandleBits(description.wmf.hmeta);
    case PICTYPE_ENHMETAFILE:
      return HandleBits(description.emf.hemf);
    default:
      return HandleBits(description.bmp.hbitmap);
  }
}

HRESULT Decode(const EncodedBytes& bytes, DecodedImage& decoded) {
  const gdiplus::DecodeFunction decode = gdiplus::DecoderFor(*bytes);
  if (decode == nullptr || !IsPictureDecoder(decode)) return CTL_E_INVALIDPICTURE;
  try {
    gdiplus::LoadBudgetScope budget;
    return ResultOfDecode(decode(bytes, gdiplus::DecodeOptions{}, decoded));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT PictureFromBytes(const EncodedBytes& bytes, IPicture** picture) {
  DecodedImage decoded;
  HRESULT result = Decode(bytes, decoded);
  if (FAILED(result)) return result;
  const PICTDESC description = Describe(bytes, decoded);
  const OLE_HANDLE handle = HandleOf(description);
  // The decoder accepted the file, so a missing handle means memory ran out.
  if (handle == 0) return E_OUTOFMEMORY;
  result = OleCreatePictureIndirect(&description, true, picture);
  if (FAILED(result)) DeletePictureHandle(static_cast<SHORT>(description.picType), handle);
  return result;
}

}  // namespace

HRESULT LoadPictureFile(const std::string& path, IPicture** picture) {
  if (picture == nullptr) return E_POINTER;
  *picture = nullptr;
  EncodedBytes bytes;
  const HRESULT result = ResultOfRead(gdiplus::ReadWholeFile(path, bytes));
  if (FAILED(result)) return result;
  return PictureFromBytes(bytes, picture);
}

HRESULT LoadPictureStream(IStream* stream, IPicture** picture) {
  if (picture == nullptr) return E_POINTER;
  *picture = nullptr;
  if (stream == nullptr) return E_POINTER;
  EncodedBytes bytes;
  const HRESULT result = ResultOfRead(gdiplus::ReadRestOfStream(*stream, bytes));
  if (FAILED(result)) return result;
  return PictureFromBytes(bytes, picture);
}

}  // namespace pixavue::platform
