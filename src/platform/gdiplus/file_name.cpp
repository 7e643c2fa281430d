#include "file_name.h"

#include <vector>

#include <pixavue/platform/gdiplus/wide_file_name.h>
#include <pixavue/platform/ole/file_stream.h>

#include "image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

// A folder, device, pipe or socket is not read at all (AccessDenied), so it
// can neither stall the load nor feed it without end.
GpStatus StatusOfRead(HRESULT result) {
  if (SUCCEEDED(result)) return Ok;
  if (result == STG_E_FILENOTFOUND) return FileNotFound;
  if (result == STG_E_ACCESSDENIED) return AccessDenied;
  if (result == STG_E_DOCFILETOOLARGE || result == E_OUTOFMEMORY) return OutOfMemory;
  return Win32Error;
}

}  // namespace

std::optional<std::filesystem::path> PathFromWide(const WCHAR* name) {
  if (name == nullptr || name[0] == 0) return std::nullopt;
  return std::filesystem::path(FileNameFromWide(name));
}

GpStatus ReadWholeFile(const std::filesystem::path& path, EncodedBytes& out) {
  try {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    const GpStatus status = StatusOfRead(ReadRegularFile(path, kMaxEncodedBytes, *bytes));
    if (status == Ok) out = std::move(bytes);
    return status;
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace pixavue::platform::gdiplus
