// Metafile handles: the table keeps the bytes of a Windows metafile (from its
// METAHEADER on, without a placeable header) or of an enhanced metafile, after
// checking their headers. Playing them back is the imaging layer's work.

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include <pixavue/platform/gdi/file_replacement.h>
#include <pixavue/platform/gdi/gdi.h>

#include "object_table.h"

namespace pixavue::platform {
namespace {

constexpr DWORD kEmfSignature = 0x464D4520;  // " EMF"
constexpr DWORD kEmrHeader = 1;

// The metafile's own length in bytes, or 0 when the header is not a
// memory or disk metafile's header that fits in `size`.
std::size_t WmfLength(UINT size, const BYTE* data) {
  if (data == nullptr || size < sizeof(METAHEADER)) return 0;
  METAHEADER header;
  std::memcpy(&header, data, sizeof header);
  const bool known = (header.mtType == 1 || header.mtType == 2) && header.mtHeaderSize == 9 &&
                     (header.mtVersion == 0x100 || header.mtVersion == 0x300);
  const std::uint64_t length = std::uint64_t{header.mtSize} * 2;
  if (!known || length < sizeof header || length > size) return 0;
  return static_cast<std::size_t>(length);
}

// nBytes of an enhanced metafile whose header record fits in `size`, or 0.
std::size_t EmfLength(UINT size, const BYTE* data) {
  if (data == nullptr || size < sizeof(ENHMETAHEADER)) return 0;
  ENHMETAHEADER header;
  std::memcpy(&header, data, sizeof header);
  const bool known = header.iType == kEmrHeader && header.dSignature == kEmfSignature &&
                     header.nSize >= sizeof header && header.nSize % 4 == 0;
  if (!known || header.nBytes < header.nSize || header.nBytes > size) return 0;
  return header.nBytes;
}

std::uintptr_t AddMetafile(const BYTE* data, std::size_t length, bool enhanced) {
  if (length == 0) return 0;
  gdi::Metafile metafile;
  metafile.enhanced = enhanced;
  try {
    metafile.bytes.assign(data, data + length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  gdi::TableAccess access;
  return access.Add(std::move(metafile));
}

const gdi::Metafile* FindMetafile(const gdi::TableAccess& access, std::uintptr_t key, bool enhanced) {
  const gdi::Metafile* metafile = access.Find<gdi::Metafile>(key);
  return metafile != nullptr && metafile->enhanced == enhanced ? metafile : nullptr;
}

// Size 0 or null data: the size needed; otherwise the bytes when they fit.
UINT CopyBytes(std::uintptr_t key, bool enhanced, UINT size, void* data) {
  gdi::TableAccess access;
  const gdi::Metafile* metafile = FindMetafile(access, key, enhanced);
  if (metafile == nullptr) return 0;
  const auto length = static_cast<UINT>(metafile->bytes.size());
  if (size == 0 || data == nullptr) return length;
  if (size < length) return 0;
  std::memcpy(data, metafile->bytes.data(), length);
  return length;
}

BOOL DeleteMetafile(std::uintptr_t key, bool enhanced) {
  gdi::TableAccess access;
  if (FindMetafile(access, key, enhanced) == nullptr) return 0;
  access.Remove(key);
  return 1;
}

bool WriteFile(const char* fileName, const std::vector<std::uint8_t>& bytes) {
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return ReplaceFileContent(fileName, content) == 0;
}

}  // namespace

HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data) {
  return HMETAFILE{AddMetafile(data, WmfLength(size, data), false)};
}

UINT GetMetaFileBitsEx(HMETAFILE metafile, UINT size, void* data) {
  return CopyBytes(HandleBits(metafile), false, size, data);
}

BOOL DeleteMetaFile(HMETAFILE metafile) { return DeleteMetafile(HandleBits(metafile), false); }

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data) {
  return HENHMETAFILE{AddMetafile(data, EmfLength(size, data), true)};
}

UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* data) {
  return CopyBytes(HandleBits(metafile), true, size, data);
}

UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header) {
  gdi::TableAccess access;
  const gdi::Metafile* found = FindMetafile(access, HandleBits(metafile), true);
  if (found == nullptr) return 0;
  ENHMETAHEADER stored;
  std::memcpy(&stored, found->bytes.data(), sizeof stored);
  if (header == nullptr) return stored.nSize;
  const UINT copied = std::min<UINT>(size, sizeof stored);
  std::memcpy(header, &stored, copied);
  return copied;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE metafile) { return DeleteMetafile(HandleBits(metafile), true); }

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile, const char* fileName) {
  std::vector<std::uint8_t> bytes;
  {
    gdi::TableAccess access;
    const gdi::Metafile* found = FindMetafile(access, HandleBits(metafile), true);
    if (found == nullptr) return HENHMETAFILE{};
    try {
      bytes = found->bytes;
    } catch (const std::bad_alloc&) {
      return HENHMETAFILE{};
    }
  }
  if (fileName != nullptr && !WriteFile(fileName, bytes)) return HENHMETAFILE{};
  return HENHMETAFILE{AddMetafile(bytes.data(), bytes.size(), true)};
}

}  // namespace pixavue::platform
