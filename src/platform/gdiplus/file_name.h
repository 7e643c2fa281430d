#pragma once
// File names of the flat interface (UTF-16) and reading a whole file.

#include <filesystem>
#include <optional>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "codec.h"

namespace pixavue::platform::gdiplus {

// The file-system path of a null-terminated UTF-16 name (wide_file_name.h);
// nullopt for a null or empty name.
std::optional<std::filesystem::path> PathFromWide(const WCHAR* name);

// Reads the whole file through one descriptor, opened without waiting (a
// pipe has no writer to wait for) and read only once it is known to be a
// regular file, at most as many bytes as it had then. FileNotFound when it
// does not exist, AccessDenied when it cannot be opened for reading or is
// not a regular file (folder, device, pipe, socket), OutOfMemory above the
// size limit, Win32Error for other I/O failures.
GpStatus ReadWholeFile(const std::filesystem::path& path, EncodedBytes& out);

}  // namespace pixavue::platform::gdiplus
