#include <pixavue/platform/ole/file_property_bag.h>

#include <algorithm>
#include <new>
#include <string>

#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/file_stream.h>

#include <pixavue/platform/ole/atomic_file_write.h>

namespace pixavue::platform {
namespace {

// Reads the whole file, refusing one above the text limit before reading it,
// and one that grew beyond the limit while being read.
HRESULT ReadWholeFile(const std::filesystem::path& path, std::string& content) {
  ComPtr<IStream> stream;
  if (const HRESULT status = CreateStreamOnFile(path, FileStreamMode::Read, stream.ReleaseAndGetAddressOf());
      FAILED(status)) {
    return status;
  }
  STATSTG stat;
  if (const HRESULT status = stream->Stat(&stat, STATFLAG_NONAME); FAILED(status)) return status;
  if (stat.cbSize > kMaxPropertyBagTextBytes) return STG_E_DOCFILETOOLARGE;

  content.resize(static_cast<std::size_t>(stat.cbSize) + 1);  // one more byte notices growth
  std::size_t total = 0;
  for (;;) {
    if (total == content.size()) {
      if (total > kMaxPropertyBagTextBytes) return STG_E_DOCFILETOOLARGE;
      content.resize(std::min(total * 2, kMaxPropertyBagTextBytes + 1));
    }
    ULONG read = 0;
    const HRESULT status = stream->Read(content.data() + total, static_cast<ULONG>(content.size() - total), &read);
    if (FAILED(status)) return status;
    if (read == 0) break;
    total += read;
  }
  content.resize(total);
  return S_OK;
}

}  // namespace

HRESULT FilePropertyBag::Load(PropertyBagTextError* error) noexcept {
  if (error != nullptr) *error = {};
  try {
    std::string content;
    if (const HRESULT status = ReadWholeFile(path_, content); FAILED(status)) return status;
    return ParsePropertyBagText(content, contents_, error);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT FilePropertyBag::Save() const noexcept {
  try {
    std::string content;
    if (const HRESULT status = FormatPropertyBagText(contents_, content); FAILED(status)) return status;
    return ReplaceFileAtomically(path_, content);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT FilePropertyBag::Read(std::string_view name, Variant& value) noexcept { return contents_.Read(name, value); }

HRESULT FilePropertyBag::Write(std::string_view name, const Variant& value) noexcept {
  if (!IsPropertyNameRepresentable(name)) return E_INVALIDARG;
  return contents_.Write(name, value);
}

HRESULT FilePropertyBag::Remove(std::string_view name) noexcept { return contents_.Remove(name); }

}  // namespace pixavue::platform
