#pragma once
// The system's texts for its error numbers.

#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
inline constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;

// With FORMAT_MESSAGE_FROM_SYSTEM (no source, no arguments): copies the
// system's text for messageId, ending in "\r\n", and its terminating 0 into
// buffer; returns the characters copied without the 0. Returns 0 and sets
// the last error to ERROR_MR_MID_NOT_FOUND for a number the system has no
// text for (the internet error numbers among them), ERROR_INSUFFICIENT_BUFFER
// when the text does not fit, ERROR_INVALID_PARAMETER for other flags.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char* buffer, DWORD size,
                     void* arguments);

}  // namespace pixavue::platform
