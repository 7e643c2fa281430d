#pragma once
// File names of the flat interface (UTF-16) and reading a whole file.

#include <filesystem>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "codec.h"

namespace pixavue::platform::gdiplus {

// UTF-8 path from a null-terminated UTF-16 name; nullopt for a null or
// empty name. Unpaired surrogates become U+FFFD.
std::optional<std::filesystem::path> PathFromWide(const WCHAR* name);

// Reads the whole file. FileNotFound when it does not exist, AccessDenied
// when it cannot be opened for reading, OutOfMemory above the size limit,
// Win32Error for other I/O failures.
GpStatus ReadWholeFile(const std::filesystem::path& path, EncodedBytes& out);

}  // namespace pixavue::platform::gdiplus
