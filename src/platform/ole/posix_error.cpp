#include "posix_error.h"

#include <cerrno>

namespace pixavue::platform::ole_detail {
namespace {

bool IsOutOfSpace(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

}  // namespace

HRESULT PathErrorStatus(int error) noexcept {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return STG_E_FILENOTFOUND;
    case EEXIST:
      return STG_E_FILEALREADYEXISTS;
    case EMFILE:
    case ENFILE:
      return STG_E_TOOMANYOPENFILES;
    case ENAMETOOLONG:
      return STG_E_INVALIDPARAMETER;
    case ENOMEM:
      return E_OUTOFMEMORY;
    default:
      return IsOutOfSpace(error) ? STG_E_MEDIUMFULL : STG_E_ACCESSDENIED;
  }
}

HRESULT ReadErrorStatus(int error) noexcept { return error == ENOMEM ? E_OUTOFMEMORY : STG_E_READFAULT; }

HRESULT WriteErrorStatus(int error) noexcept {
  if (IsOutOfSpace(error)) return STG_E_MEDIUMFULL;
  if (error == ENOMEM) return E_OUTOFMEMORY;
  if (error == EACCES || error == EPERM || error == EROFS) return STG_E_ACCESSDENIED;
  return STG_E_WRITEFAULT;
}

}  // namespace pixavue::platform::ole_detail
