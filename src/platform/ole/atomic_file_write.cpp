#include <pixavue/platform/ole/atomic_file_write.h>

#include <cerrno>

#include <pixavue/platform/gdi/file_replacement.h>

#include "posix_error.h"

namespace pixavue::platform {

HRESULT ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) noexcept {
  const int error = ReplaceFileContent(target, content);
  if (error == 0) return S_OK;
  // A name that is empty or holds a null character is not a file name at all.
  if (error == EINVAL) return STG_E_INVALIDPARAMETER;
  return ole_detail::PathErrorStatus(error);
}

}  // namespace pixavue::platform
