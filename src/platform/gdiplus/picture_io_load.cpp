// The picture loader: an image file decoded with this layer's codecs and
// handed out as an OLE picture owning a new handle.

#include <pixavue/platform/gdiplus/picture_io.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <span>
#include <tuple>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "byte_reader.h"
#include "codec_registry.h"
#include "codecs/metafile_headers.h"
#include "file_name.h"
#include "load_budget.h"
#include "picture_io_handles.h"
#include "picture_io_icon_file.h"
#include "stream_bytes.h"

namespace pixavue::platform {
namespace {

using gdiplus::ByteReader;
using gdiplus::DecodedImage;
using gdiplus::EncodedBytes;

constexpr std::size_t kPlaceableHeaderBytes = 22;
// The METAHEADER, and where in it are the file's size and its largest
// record's, in 16-bit words.
constexpr std::size_t kMetaHeaderBytes = 18;
constexpr std::size_t kMetaSizeField = 6;
constexpr std::size_t kMetaMaxRecordField = 12;
// SetWindowOrg and SetWindowExt records: 5 words each.
constexpr std::size_t kWindowRecordBytes = 10;
constexpr std::uint32_t kSetWindowOrg = 0x020B;
constexpr std::uint32_t kSetWindowExt = 0x020C;
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

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A handle for the metafile from its METAHEADER on. A handle has no
// placeable header: when the records set no window extent, the box becomes
// SetWindowOrg and SetWindowExt records in front of them, so that played
// without the box the picture keeps its window. The size in the METAHEADER
// becomes the size of what the handle holds, as the decoder plays the
// records up to the end record whatever the size says (some writers count
// the placeable header in it, claiming more than follows).
// SetWindowOrg and SetWindowExt of `box` at `at`: size in words, function,
// then y before x.
void PutWindowRecords(std::vector<std::uint8_t>& bytes, std::size_t at, const GpRect& box) {
  for (const auto& [function, x, y] : {std::tuple{kSetWindowOrg, box.X, box.Y}, {kSetWindowExt, box.Width, box.Height}}) {
    Put16(bytes, at, kWindowRecordBytes / 2);
    Put16(bytes, at + 2, 0);
    Put16(bytes, at + 4, function);
    Put16(bytes, at + 6, static_cast<std::uint32_t>(y));
    Put16(bytes, at + 8, static_cast<std::uint32_t>(x));
    at += kWindowRecordBytes;
  }
}

HMETAFILE MetafileHandle(const std::vector<std::uint8_t>& file, const gdiplus::MetafileInfo& info) {
  if (!info.placeable) return SetMetaFileBitsEx(static_cast<UINT>(file.size()), file.data());
  if (file.size() < kPlaceableHeaderBytes + kMetaHeaderBytes) return HMETAFILE{};
  const auto metafile = std::span(file).subspan(kPlaceableHeaderBytes);
  const bool addWindow = !gdiplus::WmfSetsWindowExtent(metafile);
  if (!addWindow && ByteReader(metafile).U32At(kMetaSizeField) <= metafile.size() / 2) {
    return SetMetaFileBitsEx(static_cast<UINT>(metafile.size()), metafile.data());
  }
  const std::size_t windowBytes = addWindow ? 2 * kWindowRecordBytes : 0;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(metafile.size() + windowBytes);
  } catch (const std::bad_alloc&) {
    return HMETAFILE{};  // no handle: out of memory
  }
  std::copy_n(metafile.begin(), kMetaHeaderBytes, bytes.begin());
  std::copy(metafile.begin() + kMetaHeaderBytes, metafile.end(),
            bytes.begin() + static_cast<std::ptrdiff_t>(kMetaHeaderBytes + windowBytes));
  const std::size_t words = bytes.size() / 2;
  Put16(bytes, kMetaSizeField, static_cast<std::uint32_t>(words & 0xFFFF));
  Put16(bytes, kMetaSizeField + 2, static_cast<std::uint32_t>(words >> 16));
  if (addWindow) {
    PutWindowRecords(bytes, kMetaHeaderBytes, info.boundsPixels);
    if (ByteReader(bytes).U32At(kMetaMaxRecordField).value_or(0) < kWindowRecordBytes / 2) {
      Put16(bytes, kMetaMaxRecordField, kWindowRecordBytes / 2);
      Put16(bytes, kMetaMaxRecordField + 2, 0);
    }
  }
  return SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
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
    description.wmf.hmeta = MetafileHandle(*bytes, info);
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
