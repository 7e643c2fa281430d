#pragma once
// Maps errno values of file operations to the storage status codes that the
// stream callers expect (see file_stream.h for the table).

#include <pixavue/platform/ole/hresult.h>

namespace pixavue::platform::ole_detail {

// Failures of open and rename, which concern the path.
HRESULT PathErrorStatus(int error) noexcept;
HRESULT ReadErrorStatus(int error) noexcept;
HRESULT WriteErrorStatus(int error) noexcept;

}  // namespace pixavue::platform::ole_detail
