#pragma once
// Temporary files of the engine (page files, byte-array and download files)
// and of the control (its temporary copy), and a check that a name is a
// readable regular file. (A load checks the file through the descriptor it
// reads: OpenForLoading, image_loaders.h.)

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <pixavue/platform/window/types.h>

namespace pixavue::engine {

// A new, empty file in the temporary folder under a random decimal name
// below 100,000,000, without extension, created exclusively with mode 0600
// so that no file prepared by someone else under that name is ever used;
// another name is drawn while the name is taken. Its path, or "" when no
// file could be created.
std::string MakeTempFileName();

// The control's temporary-copy path: the temporary folder followed by the
// absolute value of the window handle in decimal, no extension.
std::string ControlTempFilePath(platform::HWND window);

// path when it names a readable regular file below 2 GiB, else "".
std::string FileExists(std::string_view path);

// A new temporary file (MakeTempFileName) holding exactly bytes; its path,
// or "" (and no file left) when it could not be created or written.
std::string WriteBytesToTempFile(std::span<const std::uint8_t> bytes);

// A copy of the file source, created exclusively at preferredPath, or under
// a new MakeTempFileName when something already has that name; the copy's
// path, or "" (and no file left) when the copy failed or source is no
// regular file below 2 GiB (checked through the descriptor the copy reads,
// opened without waiting on a pipe).
std::string CopyToTempFile(std::string_view source, std::string_view preferredPath);

// Deletes the file; a missing or undeletable file is ignored.
void DeleteFileIgnoringErrors(std::string_view path) noexcept;

}  // namespace pixavue::engine
