// The picture saver: the file form of each kind of picture (see
// picture_io.h), written in one piece.

#include <pixavue/platform/gdiplus/picture_io.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/atomic_file_write.h>
#include <pixavue/platform/ole/picture_dib.h>

#include "picture_io_icon_file.h"

namespace pixavue::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kBmpFileHeaderBytes = 14;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kMaxPlaceableUnits = 32767;

void Put16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// BITMAPFILEHEADER and the packed DIB; the rows follow the colour table.
std::optional<Bytes> BmpFile(HBITMAP bitmap) {
  const std::optional<Bytes> dib = PackedDibFromBitmap(bitmap);
  if (!dib) return std::nullopt;
  BITMAPINFOHEADER header;
  std::copy_n(dib->begin(), sizeof(header), reinterpret_cast<std::uint8_t*>(&header));
  const std::size_t bitsOffset = dib->size() - header.biSizeImage;
  Bytes file;
  file.reserve(kBmpFileHeaderBytes + dib->size());
  Put16(file, 0x4D42);  // "BM"
  Put32(file, static_cast<std::uint32_t>(kBmpFileHeaderBytes + dib->size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(kBmpFileHeaderBytes + bitsOffset));
  file.insert(file.end(), dib->begin(), dib->end());
  return file;
}

// The placeable header's box is the HIMETRIC size at 2540 units an inch,
// both scaled down to fit 16 bits when needed.
std::optional<Bytes> PlaceableWmfFile(HMETAFILE metafile, LONG width, LONG height) {
  const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
  if (size == 0) return std::nullopt;
  width = std::max<LONG>(width, 1);
  height = std::max<LONG>(height, 1);
  const LONG largest = std::max(width, height);
  LONG unitsPerInch = kHimetricPerInch;
  if (largest > kMaxPlaceableUnits) {
    unitsPerInch = std::max<LONG>(1, static_cast<LONG>(std::int64_t{kHimetricPerInch} * kMaxPlaceableUnits / largest));
  }
  const auto scale = [unitsPerInch](LONG value) {
    return static_cast<std::uint32_t>(std::int64_t{value} * unitsPerInch / kHimetricPerInch);
  };
  Bytes file;
  Put32(file, kPlaceableKey);
  for (std::uint32_t word : {0u, 0u, 0u, scale(width), scale(height), static_cast<std::uint32_t>(unitsPerInch)}) {
    Put16(file, word);  // handle, left, top, right, bottom, units per inch
  }
  Put32(file, 0);
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) checksum ^= static_cast<std::uint16_t>(file[i] | file[i + 1] << 8);
  Put16(file, checksum);
  const std::size_t header = file.size();
  file.resize(header + size);
  if (GetMetaFileBitsEx(metafile, size, file.data() + header) != size) return std::nullopt;
  return file;
}

std::optional<Bytes> EmfFile(HENHMETAFILE metafile) {
  const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
  if (size == 0) return std::nullopt;
  Bytes file(size);
  if (GetEnhMetaFileBits(metafile, size, file.data()) != size) return std::nullopt;
  return file;
}

std::optional<Bytes> FileOf(IPicture& picture) {
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  LONG width = 0, height = 0;
  if (FAILED(picture.get_Type(&type)) || FAILED(picture.get_Handle(&handle)) || FAILED(picture.get_Width(&width)) ||
      FAILED(picture.get_Height(&height))) {
    return std::nullopt;
  }
  switch (type) {
    case PICTYPE_BITMAP:
      return BmpFile(HBITMAP{handle});
    case PICTYPE_ICON:
      return gdiplus::IconFileBytes(HICON{handle});
    case PICTYPE_METAFILE:
      return PlaceableWmfFile(HMETAFILE{handle}, width, height);
    case PICTYPE_ENHMETAFILE:
      return EmfFile(HENHMETAFILE{handle});
    default:
      return std::nullopt;
  }
}

}  // namespace

HRESULT SavePictureFile(IPicture* picture, const std::string& path) {
  if (picture == nullptr) return E_POINTER;
  std::optional<Bytes> file;
  try {
    file = FileOf(*picture);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (!file) return CTL_E_INVALIDPICTURE;
  const std::string_view content(reinterpret_cast<const char*>(file->data()), file->size());
  return ReplaceFileAtomically(path, content) == S_OK ? S_OK : CTL_E_PATHFILEACCESSERROR;
}

}  // namespace pixavue::platform
